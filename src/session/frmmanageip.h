#pragma once

#include <QDialog>
#include <QPointer>

#include <memory>

class QTreeWidgetItem;

namespace Ui {
class FrmManageIP;
}

// The saved hosts offered by the join window: name, address and port of
// each. Only "Save and Close" writes them back.
class FrmManageIP final : public QDialog
{
    Q_OBJECT

public:
    // The owner is disabled by its caller while this window is open; it is
    // enabled again when this window goes. The owner is no Qt parent, as a
    // disabled parent would disable this window too.
    explicit FrmManageIP(QWidget *owner = nullptr);
    ~FrmManageIP() override;

    // Opens the single window centred on the screen, or raises it.
    static FrmManageIP *showFor(QWidget *owner);

private:
    void entryChosen(QTreeWidgetItem *item);
    void addOrUpdate();
    void removeEntry();
    void saveAndClose();
    void clearEdit();
    void releaseOwner();

    std::unique_ptr<Ui::FrmManageIP> m_ui;
    QPointer<QWidget> m_owner;
    // The row whose fields are being edited, -1 while adding.
    int m_editIndex = -1;
};
