#include "frmserveroptions.h"

#include "addresshelpers.h"
#include "forms.h"
#include "frmhostnames.h"
#include "frmsession.h"
#include "joinattempt.h"
#include "messagebox.h"
#include "portsetup.h"
#include "separators.h"
#include "sessionplayers.h"
#include "settings.h"
#include "storedlists.h"
#include "tables.h"
#include "ui_frmserveroptions.h"
#include "vl.h"
#include "vlsession.h"
#include "windowplacement.h"

namespace {

const QString kError = QStringLiteral("Error");
constexpr int kPortCount = 4;
constexpr int kGameType = 0;
constexpr int kAdvertiseYes = 0;
constexpr int kAdvertiseNo = 1;

LobbySource &lobbySource()
{
    static LobbySource source;
    return source;
}

// An index into a list of count entries; values from the session or the
// settings that fall outside it take the first entry.
int listIndex(int value, int count)
{
    return value >= 0 && value < count ? value : 0;
}

int countPlayers()
{
    const FrmSession *session = FrmSession::running();
    return session != nullptr ? session->endpoint().CountPlayers() : 1;
}

// The running session's settings, or those a new one starts from.
VLSession shownSession()
{
    if (const FrmSession *running = FrmSession::running())
        return running->endpoint().session();
    VLSession fresh;
    fresh.CurrentPort = VL::instance().CurrentPort;
    return fresh;
}

} // namespace

void setLobbySource(LobbySource source)
{
    lobbySource() = std::move(source);
}

QList<LobbyChoice> GetLobbyListArray()
{
    const LobbySource &source = lobbySource();
    return source.lobbies ? source.lobbies() : QList<LobbyChoice>();
}

FrmServerOptions::FrmServerOptions(QWidget *owner)
    : QDialog { owner }
    , m_ui { std::make_unique<Ui::FrmServerOptions>() }
{
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("FrmServerOptions"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    connect(m_ui->cboSessionType, &QComboBox::currentIndexChanged, this,
            &FrmServerOptions::sessionTypeChanged);
    connect(m_ui->cboAdvertise, &QComboBox::currentIndexChanged, this,
            &FrmServerOptions::advertiseChanged);
    connect(m_ui->cmdManage, &QPushButton::clicked, this, [this] { FrmHostNames::showFor(this); });
    connect(m_ui->cmdReset, &QPushButton::clicked, this, &FrmServerOptions::NewValues);
    connect(m_ui->cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(m_ui->cmdRefresh, &QPushButton::clicked, this, &FrmServerOptions::refreshLobbies);
    connect(m_ui->cmdCreate, &QPushButton::clicked, this, &FrmServerOptions::createSession);
    connect(m_ui->cmdUpdate, &QPushButton::clicked, this, &FrmServerOptions::updateSession);

    if (FrmSession::running() != nullptr) {
        m_ui->cboSessionType->setEnabled(false);
        m_ui->cboNetworkMode->setEnabled(false);
        m_ui->cboMaxConnections->setEnabled(false);
        m_ui->txtPort->setEnabled(false);
        m_ui->cmdCreate->hide();
        m_ui->cmdCreate->setDefault(false);
        m_ui->cmdUpdate->show();
        m_ui->cmdUpdate->setEnabled(true);
        m_ui->cmdUpdate->setDefault(true);
        GetValues();
    } else {
        m_ui->cmdCreate->setDefault(true);
        NewValues();
    }
}

FrmServerOptions::~FrmServerOptions() = default;

FrmServerOptions *ShowServerOptions(QWidget *owner)
{
    return options::ShowSingle<FrmServerOptions>(owner, QStringLiteral("FrmServerOptions"), owner);
}

QString FrmServerOptions::hostName() const
{
    return m_ui->cboHostName->currentText();
}

void FrmServerOptions::NewValues()
{
    m_ui->cboSessionType->setCurrentIndex(kGameType);
    sessionTypeChanged(kGameType);
    m_ui->cboNetworkMode->setCurrentIndex(0);
    m_ui->cboMaxConnections->setCurrentIndex(0);

    UpdateHosts();
    m_ui->cboHostName->setEditText(settings::hostName());
    if (hostName().isEmpty() && m_ui->cboHostName->count() > 0) {
        m_ui->cboHostName->setCurrentIndex(0);
        m_ui->cboHostName->setEditText(m_ui->cboHostName->itemText(0));
    }

    fillPorts();
    m_ui->cboDukePort->setCurrentIndex(listIndex(VL::instance().GetDefaultPort(), kPortCount));
    m_ui->cboTCMod->setCurrentIndex(0);
    m_ui->cboMaxPlayers->setCurrentIndex(3);
    m_ui->cboAdvertise->setCurrentIndex(kAdvertiseYes);

    GetLobbies();
}

void FrmServerOptions::GetValues()
{
    const VLSession session = shownSession();
    GetLobbies();

    const int type = listIndex(session.OverallMode - 1, m_ui->cboSessionType->count());
    m_ui->cboSessionType->setCurrentIndex(type);
    sessionTypeChanged(type);
    m_ui->cboNetworkMode->setCurrentIndex(
        listIndex(VL::instance().NetworkType - 1, m_ui->cboNetworkMode->count()));
    m_ui->cboMaxConnections->setCurrentIndex(0);

    UpdateHosts();
    m_ui->cboHostName->setEditText(session.HostName);

    fillPorts();
    m_ui->cboDukePort->setCurrentIndex(listIndex(session.CurrentPort - 1, kPortCount));
    m_ui->cboDukePort->setEnabled(true);
    m_ui->cboTCMod->setCurrentIndex(0);
    m_ui->cboMaxPlayers->setCurrentIndex(
        listIndex(session.MaxPlayers - 1, m_ui->cboMaxPlayers->count()));

    if (session.Advertise) {
        m_ui->cboAdvertise->setCurrentIndex(kAdvertiseYes);
        for (int i = 0; i < m_lobbies.size(); ++i) {
            if (m_lobbies.at(i).UID == session.LobbyUID) {
                m_ui->cboLobbies->setCurrentIndex(i);
                break;
            }
        }
    } else {
        m_ui->cboAdvertise->setCurrentIndex(kAdvertiseNo);
    }
    advertiseChanged();

    m_shownLobby = session.LobbyUID;
    m_ui->txtPort->setText(QString::number(session.VLPort));
    m_ui->txtPassword->setText(session.Password);
}

void FrmServerOptions::sessionTypeChanged(int index)
{
    const bool game = index == kGameType;
    m_ui->cboDukePort->setEnabled(game);
    m_ui->cboTCMod->setEnabled(game);
    m_ui->lblMaxPlayers->setText(game ? tr("Max Pla&yers:") : tr("Max &Users:"));
}

void FrmServerOptions::advertiseChanged()
{
    // With no lobby known there is nothing to choose, whatever the answer.
    m_ui->cboLobbies->setEnabled(m_ui->cboAdvertise->currentIndex() == kAdvertiseYes
                                 && !m_lobbies.isEmpty());
}

void FrmServerOptions::GetLobbies()
{
    m_lobbies = GetLobbyListArray();
    m_ui->cboLobbies->clear();
    if (m_lobbies.isEmpty()) {
        m_ui->cboLobbies->addItem(QStringLiteral("No Lobbies found"));
        m_ui->cboLobbies->setCurrentIndex(0);
        m_ui->cboAdvertise->setCurrentIndex(kAdvertiseNo);
        m_ui->cboAdvertise->setEnabled(false);
    } else {
        for (const LobbyChoice &lobby : std::as_const(m_lobbies))
            m_ui->cboLobbies->addItem(lobby.Name);
        m_ui->cboLobbies->setCurrentIndex(0);
        m_ui->cboAdvertise->setEnabled(true);
    }
    advertiseChanged();
}

void FrmServerOptions::refreshLobbies()
{
    if (lobbySource().refresh)
        lobbySource().refresh();
    GetLobbies();
}

void FrmServerOptions::UpdateHosts()
{
    const QString name = hostName();
    const QSignalBlocker blocker(m_ui->cboHostName);
    m_ui->cboHostName->clear();
    m_ui->cboHostName->addItems(SplitList(settings::hostNames(), sep::ListSep));
    m_ui->cboHostName->setEditText(name);
}

void FrmServerOptions::fillPorts()
{
    m_ui->cboDukePort->clear();
    for (int port = 0; port < kPortCount; ++port) {
        const QString mark
            = VL::IsPortSetup(port) ? QStringLiteral("O - ") : QStringLiteral("\u00D8 - ");
        m_ui->cboDukePort->addItem(mark + tables::PortNames(port + 1));
    }
}

void FrmServerOptions::SetDetails(bool FirstTime, VLSession &session)
{
    session.HostName = hostName();
    session.CurrentPort = quint8(m_ui->cboDukePort->currentIndex() + 1);
    session.VLPort = m_ui->txtPort->text().toUShort();
    session.MaxPlayers = quint8(m_ui->cboMaxPlayers->currentIndex() + 1);
    VL::instance().SetPortPaths(session.CurrentPort);
    settings::setHostName(session.HostName);

    const LobbySource &source = lobbySource();
    const int lobby = m_ui->cboLobbies->currentIndex();
    if (m_ui->cboAdvertise->currentIndex() == kAdvertiseYes && m_ui->cboLobbies->isEnabled()
        && lobby >= 0 && lobby < m_lobbies.size()) {
        session.LobbyUID = m_lobbies.at(lobby).UID;
        const bool start = !m_shownLobby || *m_shownLobby != session.LobbyUID;
        if (m_shownLobby && *m_shownLobby != session.LobbyUID && source.stopReporting)
            source.stopReporting(false);
        if (start && source.startReporting)
            source.startReporting(!FirstTime);
    } else if (m_ui->cboAdvertise->currentIndex() == kAdvertiseNo) {
        session.LobbyUID = -1;
        if (session.Advertise && source.stopReporting)
            source.stopReporting(true);
        session.Advertise = false;
    }

    session.Password = m_ui->txtPassword->text();
}

void FrmServerOptions::createSession()
{
    // The program holds one session at a time: a join made meanwhile wins.
    if (FrmSession::running() != nullptr || JoinAttempt::anyConnecting()) {
        msgbox::show(this,
                     QStringLiteral("You cannot host a session while a current session is "
                                    "running.\n\nPlease close all open sessions and try again."),
                     QStringLiteral("Error"), msgbox::Icon::Warning);
        return;
    }
    if (!ValidatePort(m_ui->txtPort->text())) {
        msgbox::show(this, QStringLiteral("Port number enter is invalid!"),
                     QStringLiteral("Velkor"), msgbox::Icon::Error);
        m_ui->txtPort->setFocus();
        return;
    }
    if (hostName().isEmpty()) {
        msgbox::show(this, QStringLiteral("Please enter a server name!"), kError,
                     msgbox::Icon::Error);
        return;
    }
    if (!IsPortSetup(m_ui->cboDukePort->currentIndex(), true, this))
        return;

    VLSession session = shownSession();
    session.NumPlayers = 1;
    session.isHost = true;
    VL::instance().NetworkType = quint8(m_ui->cboNetworkMode->currentIndex() + 1);
    session.OverallMode = quint8(m_ui->cboSessionType->currentIndex() + 1);
    SetDetails(true, session);

    auto *window = new FrmSession();
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->endpoint().setUp(session);
    window->show();
    // Closes this window once the session listens; a port in use brings
    // it back instead.
    window->StartUpSession(session.OverallMode);
}

void FrmServerOptions::updateSession()
{
    if (hostName().isEmpty()) {
        msgbox::show(this, QStringLiteral("Please enter a server name!"), kError,
                     msgbox::Icon::Error);
        return;
    }
    if (!IsPortSetup(m_ui->cboDukePort->currentIndex(), true, this))
        return;
    if (m_ui->cboMaxPlayers->currentIndex() + 1 < countPlayers()) {
        msgbox::show(this,
                     QStringLiteral("Unable to set Maximum Players value lower than players "
                                    "currently in session."),
                     kError, msgbox::Icon::Error);
        return;
    }

    VLSession session = shownSession();
    SetDetails(false, session);
    if (FrmSession *window = FrmSession::running()) {
        window->endpoint().updateSettings(session);
        window->endpoint().SendSessionState(0, 2);
        window->UpdateHeaderForPort();
        window->AddCustomText2(u"\r\nGame details updated by "
                                   + window->endpoint().players().at(0).PlayerName,
                               1, true);
    }
    VL::instance().SetPortPaths(session.CurrentPort);
    close();
}
