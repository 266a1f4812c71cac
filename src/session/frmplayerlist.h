#pragma once

#include <QDialog>
#include <QList>

#include <memory>

class FrmSession;

namespace Ui {
class FrmPlayerList;
}

// "Velkor - Player List": picks the players that receive the chat box's
// line privately (Send to...). Lists every other player of the session; each
// entry remembers its slot.
class FrmPlayerList final : public QDialog
{
    Q_OBJECT

public:
    explicit FrmPlayerList(FrmSession *session);
    ~FrmPlayerList() override;

    // The slots of the selected entries, in list order.
    [[nodiscard]] QList<int> selectedSlots() const;

private:
    void fill();
    void send();

    std::unique_ptr<Ui::FrmPlayerList> m_ui;
    FrmSession *m_session;
};
