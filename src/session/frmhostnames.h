#pragma once

#include <QDialog>

#include <memory>

class QListWidgetItem;

namespace Ui {
class FrmHostNames;
}

// The names a host can give its session. Only "Save and Close" writes them
// back, and then the hosting options reload their list.
class FrmHostNames final : public QDialog
{
    Q_OBJECT

public:
    explicit FrmHostNames(QWidget *owner = nullptr);
    ~FrmHostNames() override;

    // Opens the single window, owned by owner and centred on the screen, or
    // raises it.
    static FrmHostNames *showFor(QWidget *owner);

private:
    void entryChosen(QListWidgetItem *item);
    void addOrChange();
    void removeSelected();
    void saveAndClose();
    void clearEdit();

    std::unique_ptr<Ui::FrmHostNames> m_ui;
    // The row being changed, -1 while adding.
    int m_editIndex = -1;
};
