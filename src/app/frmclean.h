#pragma once

#include <QDialog>

#include <memory>

class QCloseEvent;

namespace Ui {
class FrmClean;
}

// Erases every stored setting of this version of the program, so that the
// next start is a first run.
class FrmClean : public QDialog
{
    Q_OBJECT

public:
    explicit FrmClean(QWidget *parent = nullptr);
    ~FrmClean() override;

public slots:
    // Escape: as Exit.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void clean();

    std::unique_ptr<Ui::FrmClean> m_ui;
};
