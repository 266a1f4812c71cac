#include "frmplayerlist.h"

#include "frmsession.h"
#include "paths.h"
#include "sessioncodec.h"
#include "sessionicons.h"
#include "sessionplayers.h"
#include "vlsession.h"

#include "ui_frmplayerlist.h"

#include <QListWidget>
#include <QPushButton>

FrmPlayerList::FrmPlayerList(FrmSession *session)
    : QDialog { session }
    , m_ui { std::make_unique<Ui::FrmPlayerList>() }
    , m_session { session }
{
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("FrmPlayerList"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowModality(Qt::WindowModal);

    connect(m_ui->lstPlayers, &QListWidget::itemSelectionChanged, this,
            [this] { m_ui->cmdSend->setEnabled(!m_ui->lstPlayers->selectedItems().isEmpty()); });
    connect(m_ui->cmdSend, &QPushButton::clicked, this, &FrmPlayerList::send);
    connect(m_ui->cmdClose, &QPushButton::clicked, this, &QDialog::close);
    fill();
}

FrmPlayerList::~FrmPlayerList() = default;

void FrmPlayerList::fill()
{
    const SessionEndpoint &endpoint = m_session->endpoint();
    const VLSession &session = endpoint.session();
    const PlayerTable &players = endpoint.players();
    // The host knows who is active; a client knows only the names the host
    // sent.
    for (int slot = 0; slot < qMin(players.size(), session::SlotCount); ++slot) {
        if (slot == session.MyIndex)
            continue;
        const SessionPlayers &player = players.at(slot);
        if (session.isHost ? !player.IsActive : player.PlayerName.isEmpty())
            continue;
        auto *item
            = new QListWidgetItem(sessionIcon(slot == 0 ? SessionIcon::Host : SessionIcon::Player),
                                  FixedName(player.PlayerName), m_ui->lstPlayers);
        item->setData(Qt::UserRole, slot);
    }
}

QList<int> FrmPlayerList::selectedSlots() const
{
    QList<int> targets;
    for (int row = 0; row < m_ui->lstPlayers->count(); ++row) {
        const QListWidgetItem *item = m_ui->lstPlayers->item(row);
        if (item->isSelected())
            targets.append(item->data(Qt::UserRole).toInt());
    }
    return targets;
}

void FrmPlayerList::send()
{
    const QList<int> targets = selectedSlots();
    if (!targets.isEmpty())
        m_session->SendTo(targets);
    close();
}
