#pragma once

#include <QDialog>

#include <memory>

class QListWidget;

namespace Ui {
class FrmNames;
}

// The player's other nick names: those "Previous Names" offers and those it
// does not. Only "Save && Close" writes; closing otherwise discards.
class FrmNames final : public QDialog
{
    Q_OBJECT

public:
    explicit FrmNames(QWidget *owner = nullptr);
    ~FrmNames() override;

    // Opens the single window, owned by owner and centred on the screen, or
    // raises it.
    static FrmNames *showFor(QWidget *owner);

private:
    void addName();
    void saveAndClose();
    static void moveSelected(QListWidget *from, QListWidget *to);

    std::unique_ptr<Ui::FrmNames> m_ui;
};
