#pragma once

#include <QDialog>

#include <memory>

class PlayerTable;

namespace Ui {
class FrmPlayerDetails;
}

// "Velkor - Session Players" (host only): the profile and network details
// of every active player, read-only.
class FrmPlayerDetails final : public QDialog
{
    Q_OBJECT

public:
    explicit FrmPlayerDetails(const PlayerTable &players, QWidget *parent = nullptr);
    ~FrmPlayerDetails() override;

private:
    void fill();
    void showSlot(int slot);

    std::unique_ptr<Ui::FrmPlayerDetails> m_ui;
    const PlayerTable &m_players;
};
