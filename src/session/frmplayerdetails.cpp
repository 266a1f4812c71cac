#include "frmplayerdetails.h"

#include "paths.h"
#include "sessioncodec.h"
#include "sessionicons.h"
#include "sessionplayers.h"
#include "tables.h"

#include "ui_frmplayerdetails.h"

#include <QListWidget>
#include <QPushButton>

FrmPlayerDetails::FrmPlayerDetails(const PlayerTable &players, QWidget *parent)
    : QDialog { parent }
    , m_ui { std::make_unique<Ui::FrmPlayerDetails>() }
    , m_players { players }
{
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("FrmPlayerDetails"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_ui->lblBandwidth->hide();
    m_ui->txtBandwidth->hide();
    m_ui->layMain->setStretch(0, 2);
    m_ui->layMain->setStretch(1, 5);

    connect(m_ui->lstPlayers, &QListWidget::currentItemChanged, this,
            [this](const QListWidgetItem *item) {
                if (item)
                    showSlot(item->data(Qt::UserRole).toInt());
            });
    connect(m_ui->cmdOK, &QPushButton::clicked, this, &QDialog::close);
    fill();
}

FrmPlayerDetails::~FrmPlayerDetails() = default;

void FrmPlayerDetails::fill()
{
    for (int slot = 0; slot < qMin(m_players.size(), session::SlotCount); ++slot) {
        const SessionPlayers &player = m_players.at(slot);
        if (!player.IsActive)
            continue;
        auto *item
            = new QListWidgetItem(sessionIcon(slot == 0 ? SessionIcon::Host : SessionIcon::Player),
                                  FixedName(player.PlayerName), m_ui->lstPlayers);
        item->setData(Qt::UserRole, slot);
    }
    if (m_ui->lstPlayers->count() > 0)
        m_ui->lstPlayers->setCurrentRow(0);
}

void FrmPlayerDetails::showSlot(int slot)
{
    if (slot < 0 || slot >= m_players.size())
        return;
    const SessionPlayers &player = m_players.at(slot);
    Ui::FrmPlayerDetails &ui = *m_ui;
    ui.txtFullName->setText(player.FullName);
    // The location travels as an index into the country table.
    bool numeric = false;
    const int country = player.Location.toInt(&numeric);
    const QString name = numeric ? tables::Countries(country) : QString();
    ui.txtLocation->setText(name);
    ui.txtAge->setText(QString::number(player.Age));
    ui.txtEmail->setText(player.Email);
    ui.txtWebsite->setText(player.WebsiteURL);
    ui.txtComments->setPlainText(player.Comments);
    ui.txtBandwidth->setText(QString::number(player.Bandwidth));
    ui.txtLocalIP->setText(player.LocalIP);
    ui.txtLocalPort->setText(player.LocalPortNumber);
    ui.txtIPAddress->setText(player.IPAddress);
    ui.txtPortNum->setText(player.PortNumber);
    for (QLineEdit *box : { ui.txtFullName, ui.txtLocation, ui.txtEmail, ui.txtWebsite,
                            ui.txtLocalIP, ui.txtIPAddress })
        box->setCursorPosition(0);
}
