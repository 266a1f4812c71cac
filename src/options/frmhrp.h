#pragma once

#include <QDialog>

#include <memory>

class QCloseEvent;

namespace Ui {
class FrmHRP;
}

// The file names of the two high-resolution packs, for every port. Closing
// it while no first pack is set unticks the options window's HRP support.
class FrmHRP final : public QDialog
{
    Q_OBJECT

public:
    explicit FrmHRP(QWidget *owner = nullptr);
    ~FrmHRP() override;

    // Opens the single window, owned by and centred on owner, or raises it.
    static FrmHRP *showFor(QWidget *owner);

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void setDefaults();
    void saveAndClose();

    std::unique_ptr<Ui::FrmHRP> m_ui;
};
