#pragma once

#include <QWidget>

#include <memory>

class QPaintEvent;
class QTimer;

namespace Ui {
class FrmSplash;
}

// The picture shown while the program loads. Its load prepares everything
// the windows rely on; its end timer then opens the main window, or the
// options on a first run, and closes the splash.
class FrmSplash : public QWidget
{
    Q_OBJECT

public:
    explicit FrmSplash(QWidget *parent = nullptr);
    ~FrmSplash() override;

    // The load, in order: player table, first-run defaults and message,
    // the end timer, the program-wide values, port paths, tables, the own
    // details, the current port and its paths.
    void Load();

    // The end timer's interval for splashes created from now on (500 ms
    // unless tests shorten it). Returns the interval before.
    static int setEndInterval(int milliseconds);
    [[nodiscard]] static int endInterval();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void splashEnd();

    std::unique_ptr<Ui::FrmSplash> m_ui;
    QTimer *m_tmrEnd = nullptr;
};
