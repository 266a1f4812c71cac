#pragma once

#include <QMainWindow>

#include <memory>

class QCloseEvent;
class QLabel;
class QStandardItemModel;

namespace Ui {
class FrmMain;
}

// The browser window: the tool bar and menus that start everything else, the
// category tree, the server and player lists and the lobby counts.
class FrmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit FrmMain(QWidget *parent = nullptr);
    ~FrmMain() override;

    // Opens the hosting options, unless a session window is open.
    void StartMP();
    // Opens the join window, unless this peer hosts or a session is open.
    void StartJoin();

signals:
    // "Exit" was chosen: the program ends at once, without the closing
    // question. The start-up sequence connects this to the program's end.
    void exitRequested();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void setUpViews();
    void setUpStatusBar();
    void setUpActions();

    std::unique_ptr<Ui::FrmMain> m_ui;
};
