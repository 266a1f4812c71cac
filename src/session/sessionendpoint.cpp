#include "sessionendpoint.h"

#include "gamesettings.h"

#include "sessionmodel.h"
#include "sessionplayers.h"
#include "vl.h"
#include "vlsession.h"

#include <QMetaMethod>
#include <QPointer>
#include <QTimer>

using namespace session;

namespace {

const QString LineBreak = QStringLiteral("\r\n");

bool inUse(const StreamSocket &socket)
{
    const StreamSocket::State state = socket.state();
    return state == StreamSocket::State::Connected || state == StreamSocket::State::Connecting;
}

using Connection = SessionConnection::State;

} // namespace

SessionEndpoint::SessionEndpoint(QObject *parent)
    : SessionEndpoint(SessionContext(), parent)
{
}

SessionEndpoint::SessionEndpoint(const SessionContext &context, QObject *parent)
    : QObject(parent)
    , m_session(context.session ? context.session : &m_ownSession)
    , m_players(context.players ? context.players : &m_ownPlayers)
    , m_getMyDetails(context.GetMyDetails)
    , m_isPortSetUp(context.isPortSetUp)
    , m_hasMap(context.hasMap)
{
    if (!m_getMyDetails)
        m_getMyDetails = [](SessionPlayers &slot) { VL::instance().GetMyDetails(slot); };
    if (!m_isPortSetUp)
        m_isPortSetUp = [](int port) { return VL::IsPortSetup(port - 1); };
    if (!m_hasMap) {
        m_hasMap = [](int port, const QString &map) {
            VL &vl = VL::instance();
            vl.SetPortPaths(port);
            return vl.CheckForMap(map);
        };
    }
    if (m_players->size() == 0)
        m_players->reset(1);
    if (!context.players)
        m_getMyDetails((*m_players)[0]);

    addConnection(); // 0: the listener on a host, the connection to the host on a client
}

SessionEndpoint::~SessionEndpoint()
{
    m_shuttingDown = true;
    for (SessionConnection *link : std::as_const(m_links))
        link->reset();
}

int SessionEndpoint::addConnection()
{
    const int index = int(m_links.size());
    // Connection 0 of a client reads what the host sends; every other one
    // reads what a client sends.
    auto *link
        = new SessionConnection(index, index == 0 ? Direction::ToClient : Direction::ToHost, this);
    link->setMaxBuffered(m_maxReadBytes);
    link->setSettleInterval(m_settleInterval);
    StreamSocket *socket = &link->socket();
    connect(socket, &StreamSocket::connectionRequest, this, &SessionEndpoint::onConnectionRequest);
    connect(socket, &StreamSocket::connected, this, &SessionEndpoint::onConnected);
    connect(socket, &StreamSocket::closed, this, &SessionEndpoint::onClosed);
    connect(socket, &StreamSocket::error, this, &SessionEndpoint::onError);
    connect(link, &SessionConnection::received, this, &SessionEndpoint::onMessage);
    connect(link, &SessionConnection::overflowed, this, &SessionEndpoint::onOverflow);
    connect(link, &SessionConnection::timedOut, this,
            [this](SessionConnection *timed) { onTimer(timed->index()); });
    m_links.append(link);
    return index;
}

void SessionEndpoint::setUp(const VLSession &settings)
{
    *m_session = settings;
}

void SessionEndpoint::updateSettings(const VLSession &settings)
{
    m_session->HostName = settings.HostName;
    m_session->Password = settings.Password;
    m_session->MaxPlayers = settings.MaxPlayers;
    m_session->CurrentPort = settings.CurrentPort;
    m_session->LobbyUID = settings.LobbyUID;
    m_session->Advertise = settings.Advertise;
}

void SessionEndpoint::setDefaultGameSettings()
{
    SetDefaultGameSettings(*m_session, 0);
}

void SessionEndpoint::refreshMyDetails()
{
    m_getMyDetails((*m_players)[m_session->MyIndex]);
}

// ---- Host ------------------------------------------------------------------

void SessionEndpoint::beginHostSession()
{
    m_session->isHost = true;
    m_session->MyIndex = 0;
    m_players->ensureSize(SlotCount);
    ResetSessionPlayers(*m_players);
    SessionPlayers &host = (*m_players)[0];
    host.IsActive = true;
    host.WinsockIndex = 0;
    m_session->NumPlayers = quint8(CountPlayers());
    emit playersChanged();
}

bool SessionEndpoint::startHosting(const QHostAddress &address)
{
    StreamSocket &listener = m_links[0]->socket();
    listener.close();
    listener.setLocalPort(m_session->VLPort);
    if (!listener.listen(address))
        return false;
    if (m_session->VLPort == 0)
        m_session->VLPort = listener.localPort();
    return true;
}

quint16 SessionEndpoint::listeningPort() const
{
    const StreamSocket &listener = m_links[0]->socket();
    return listener.state() == StreamSocket::State::Listening ? listener.localPort() : 0;
}

int SessionEndpoint::FindFree_sNet()
{
    for (int i = 1; i < m_links.size(); ++i) {
        SessionConnection &link = *m_links[i];
        if (!inUse(link.socket())) {
            // A connection that ended without its close being handled still
            // gets its bookkeeping before the socket is reused.
            if (link.state() != Connection::Free)
                handleClosed(i);
            link.reset();
            return i;
        }
    }
    if (m_links.size() > MaxConnections)
        return -1;
    return addConnection();
}

void SessionEndpoint::onConnectionRequest(int index, int requestId)
{
    if (index != 0)
        return;
    StreamSocket &listener = m_links[0]->socket();
    const int free = FindFree_sNet();
    if (free < 0 || !m_links[free]->socket().accept(listener, requestId)) {
        // Every index is busy: this one is refused and the listener stays open.
        listener.reject(requestId);
        return;
    }
    SessionConnection &link = *m_links[free];
    // One address cannot hold more than a few connections that are nobody's
    // yet, or it could keep every slot offered and the session full.
    if (unadmittedFrom(link.socket().remoteHostIP()) >= MaxUnadmittedPerAddress) {
        link.reset();
        return;
    }
    link.setState(Connection::Unauthorised);
    link.startTimer(m_interval);
}

void SessionEndpoint::onTimer(int index)
{
    if (index <= 0 || index >= m_links.size())
        return;
    m_links[index]->stopTimer();
    const Connection state = m_links[index]->state();
    if (state == Connection::Transfer || state == Connection::Free || state == Connection::Player)
        return;
    if (state == Connection::Refused) {
        // A refused peer that does not close is not kept for ever.
        handleClosed(index);
        return;
    }
    emit systemLine(u"Player at Index " % QString::number(index)
                        % u" did not send authorisation packet. dropped "
                        % m_links[index]->socket().remoteHostIP(),
                    1, true);
    handleClosed(index);
    emit keepAliveCheckDue();
}

void SessionEndpoint::dispatchHost(int index, const Message &message)
{
    switch (message.kind) {
    case Kind::Empty:
        return;
    case Kind::OkToGet:
    case Kind::FileFin:
        if (m_links[index]->state() == Connection::Transfer) {
            const Decoded<QString> name = parseFileName(message.fields);
            if (!name.ok())
                return;
            if (message.kind == Kind::OkToGet)
                emit fileAccepted(index, name.value);
            else
                emit fileFinished(index, name.value);
        }
        return;
    case Kind::RequestFile:
        requestFile(index, message.fields);
        return;
    case Kind::Ack:
        if (m_links[index]->state() == Connection::Transfer)
            emit chunkRequested(index);
        return;
    case Kind::Token:
        authorise(index, message.fields);
        return;
    case Kind::FirstDetails:
        admit(index, message.fields);
        return;
    case Kind::PlayerDetails:
        updateDetails(index, message.fields);
        return;
    case Kind::Msg:
        relayChat(index, message.fields);
        return;
    case Kind::MsgTo:
        relayPrivateChat(index, message.fields);
        return;
    case Kind::StartGame:
    case Kind::WrongPassword:
    case Kind::ServerFull:
    case Kind::Session:
        return; // a client's reactions
    case Kind::Unknown:
        // A connection that is nobody's yet and does not speak the protocol
        // is closed; a player's session is never ended by data we cannot
        // read (a bad peer's, or the rest of a line cut short on the way).
        if (m_links[index]->state() != Connection::Player)
            handleClosed(index);
        return;
    }
}

void SessionEndpoint::authorise(int index, const QStringList &fields)
{
    // Only a fresh connection asks once; a repeated request is ignored.
    if (m_links[index]->state() != Connection::Unauthorised)
        return;
    const AuthorisationRequest request = parseAuthorisationRequest(fields);
    if (request.role == RoleFile)
        return;
    if (request.role != RolePlayer) {
        handleClosed(index);
        return;
    }
    if (!request.hasPassword)
        return;

    const std::bitset<8> held = heldSlots();
    // Offered slots count against the limit, so that two clients authorising
    // at once cannot pass it together.
    if (CountPlayers() + int(held.count()) >= m_session->MaxPlayers) {
        refuse(index, ServerFullWord);
        return;
    }
    if (!m_session->Password.isEmpty() && request.password != m_session->Password) {
        refuse(index, WrongPasswordWord);
        return;
    }
    const int slot = FindFreeSlot(*m_players, held);
    if (slot == 0) {
        refuse(index, ServerFullWord);
        return;
    }
    const QString reply
        = acceptanceMessage(m_session->OverallMode, slot, m_session->MaxPlayers, m_session->InGame);
    if (reply.isEmpty())
        return;
    SessionConnection &link = *m_links[index];
    link.setSlot(slot);
    link.setState(Connection::Offered);
    // The timer keeps running: the details must come before it ends.
    link.send(reply);
}

void SessionEndpoint::refuse(int index, QStringView word)
{
    SessionConnection &link = *m_links[index];
    link.setState(Connection::Refused);
    link.send(word.toString());
    // The client closes on its refusal; one that does not is dropped when
    // a fresh interval ends.
    link.startTimer(m_interval);
}

void SessionEndpoint::admit(int index, const QStringList &fields)
{
    SessionConnection &link = *m_links[index];
    if (link.state() != Connection::Offered)
        return;
    const int slot = link.slot();
    if (slot < 1 || slot >= SlotCount || m_players->at(slot).IsActive)
        return;
    const Decoded<SessionPlayers> record = parseDetails(fields);
    if (!record.ok())
        return;

    CheckPlayerChanges(true);
    link.stopTimer();
    SessionPlayers &player = (*m_players)[slot];
    storePlayerRecord(record.value, player);
    player.PassedSecurity = true;
    player.WinsockIndex = qint16(index);
    player.IsActive = true;
    link.setState(Connection::Player);

    m_session->NumPlayers = quint8(CountPlayers());
    emit playersChanged();
    SendSessionState(0, 0);
    CheckPlayerChanges(false);
}

void SessionEndpoint::updateDetails(int index, const QStringList &fields)
{
    const int slot = playerSlot(index);
    if (slot < 0)
        return;
    const Decoded<SessionPlayers> record = parseDetails(fields);
    if (!record.ok())
        return;
    CheckPlayerChanges(true);
    SessionPlayers &player = (*m_players)[slot];
    storePlayerRecord(record.value, player);
    player.PassedSecurity = true;
    if (CountPlayers() > 1) {
        emit playersChanged();
        SendSessionState(0, 1);
    }
    CheckPlayerChanges(false);
}

void SessionEndpoint::relayChat(int index, const QStringList &fields)
{
    const int slot = playerSlot(index);
    if (slot < 0)
        return;
    const Decoded<Chat> chat = parseChat(fields);
    // A line must name the player who wrote it.
    if (!chat.ok() || chat.value.slot != slot)
        return;
    emit chatLine(slot, chat.value.styledText);
    broadcast(chatMessage(slot, chat.value.styledText), slot);
}

void SessionEndpoint::relayPrivateChat(int index, const QStringList &fields)
{
    const int slot = playerSlot(index);
    if (slot < 0)
        return;
    const Decoded<Chat> chat = parsePrivateChat(fields);
    if (!chat.ok() || chat.value.slot != slot)
        return;
    deliverPrivate(chat.value.targets, slot, chat.value.styledText);
}

void SessionEndpoint::requestFile(int index, const QStringList &fields)
{
    // Only a connection that is nobody's yet may turn into a transfer; a
    // player's connection keeps its slot.
    SessionConnection &link = *m_links[index];
    if (link.state() != Connection::Unauthorised)
        return;
    const Decoded<QString> name = parseFileName(fields);
    if (!name.ok())
        return;
    link.stopTimer();
    link.setSlot(-1);
    link.setState(Connection::Transfer);
    if (!isSignalConnected(QMetaMethod::fromSignal(&SessionEndpoint::fileRequested))) {
        handleClosed(index);
        return;
    }
    emit fileRequested(index, name.value);
}

void SessionEndpoint::handleClosed(int index)
{
    if (index <= 0 || index >= m_links.size())
        return;
    SessionConnection &link = *m_links[index];
    const Connection state = link.state();
    const int slot = link.slot();
    // Whatever it held goes with it: an offered slot is free again at once.
    link.reset();
    if (state != Connection::Player)
        return;
    CheckPlayerChanges(true);
    if (slot >= 1 && slot < m_players->size())
        (*m_players)[slot].IsActive = false;
    m_session->NumPlayers = quint8(CountPlayers());
    emit playersChanged();
    SendSessionState(0, 0);
    CheckPlayerChanges(false);
}

void SessionEndpoint::KickPlayer(int socketIndex)
{
    if (!isHost() || socketIndex <= 0 || socketIndex >= m_links.size())
        return;
    handleClosed(socketIndex);
}

void SessionEndpoint::broadcast(const QString &data, int exceptSlot)
{
    for (int slot = 1; slot < SlotCount; ++slot) {
        if (slot == exceptSlot)
            continue;
        if (SessionConnection *link = playerLink(slot))
            link->send(data);
    }
}

void SessionEndpoint::sendOn(int index, const QString &data)
{
    if (index >= 0 && index < m_links.size())
        m_links[index]->send(data);
}

void SessionEndpoint::deliverPrivate(const QList<int> &targetSlots, int fromSlot,
                                     const QString &styledText)
{
    std::bitset<8> served;
    for (int slot : targetSlots) {
        // The sender has its own line already; each player gets a line once.
        if (slot < 0 || slot >= SlotCount || served.test(std::size_t(slot)))
            continue;
        served.set(std::size_t(slot));
        if (slot == 0) {
            emit chatLine(fromSlot, styledText);
            continue;
        }
        if (slot == fromSlot)
            continue;
        if (SessionConnection *link = playerLink(slot))
            link->send(chatMessage(fromSlot, styledText));
    }
}

void SessionEndpoint::SendSessionState(int connection, int infoType)
{
    if (!isHost() || infoType < 0 || infoType > 2)
        return;
    if (m_session->Advertise)
        emit lobbyUpdateDue();
    const QString message = sessionStateMessage(infoType, *m_players, *m_session);
    if (connection == 0)
        broadcast(message);
    else
        sendOn(connection, message);
    emit stateApplied(infoType);
}

void SessionEndpoint::SendStartPacket(int Player, const QString &Arguments)
{
    if (!isHost() || Player < 1 || Player >= SlotCount)
        return;
    if (SessionConnection *link = playerLink(Player))
        link->send(startGameMessage(m_players->at(Player).IPArray, Arguments));
}

int SessionEndpoint::playerSlot(int index) const
{
    if (index <= 0 || index >= m_links.size())
        return -1;
    const SessionConnection &link = *m_links[index];
    const int slot = link.slot();
    if (link.state() != Connection::Player || slot < 1 || slot >= SlotCount)
        return -1;
    const SessionPlayers &player = m_players->at(slot);
    return player.IsActive && player.WinsockIndex == index ? slot : -1;
}

SessionConnection *SessionEndpoint::playerLink(int slot) const
{
    if (slot < 1 || slot >= SlotCount || !m_players->at(slot).IsActive)
        return nullptr;
    const int index = m_players->at(slot).WinsockIndex;
    return playerSlot(index) == slot ? m_links[index] : nullptr;
}

std::bitset<8> SessionEndpoint::heldSlots() const
{
    std::bitset<8> held;
    for (const SessionConnection *link : m_links) {
        if (link->state() == Connection::Offered && link->slot() >= 1 && link->slot() < SlotCount)
            held.set(std::size_t(link->slot()));
    }
    return held;
}

int SessionEndpoint::unadmittedFrom(const QString &address) const
{
    int count = 0;
    for (int i = 1; i < m_links.size(); ++i) {
        const SessionConnection &link = *m_links[i];
        const Connection state = link.state();
        const bool unadmitted = state == Connection::Unauthorised || state == Connection::Offered
            || state == Connection::Refused;
        if (unadmitted && link.socket().remoteHostIP() == address)
            ++count;
    }
    return count;
}

// ---- Client ----------------------------------------------------------------

bool SessionEndpoint::SendGreeting(const QString &host, quint16 port, const QString &password)
{
    if (m_session->isHost)
        return false;
    m_session->Password = password;
    StreamSocket &socket = m_links[0]->socket();
    switch (socket.state()) {
    case StreamSocket::State::Listening:
        return false;
    case StreamSocket::State::Connected:
        return true;
    default:
        // Nothing of an earlier attempt is read as part of this one.
        m_links[0]->reset();
        break;
    }
    if (!socket.connectToHost(host, port))
        return false;
    m_phase = ClientPhase::Connecting;
    m_firstStateHandled = false;
    return true;
}

void SessionEndpoint::closeConnection()
{
    if (isHost())
        return;
    m_links[0]->reset();
    m_phase = ClientPhase::Ended;
}

void SessionEndpoint::onConnected(int index)
{
    if (index != 0 || isHost() || m_phase != ClientPhase::Connecting)
        return;
    m_phase = ClientPhase::Authorising;
    m_links[0]->setState(Connection::ToHost);
    const QPointer<SessionEndpoint> alive(this);
    emit connectedToHost();
    if (!alive || m_phase != ClientPhase::Authorising)
        return;
    m_links[0]->send(authorisationRequest(m_session->Password));
}

void SessionEndpoint::dispatchClient(const Message &message)
{
    switch (message.kind) {
    case Kind::Token:
        if (m_phase == ClientPhase::Authorising)
            acceptance(message.fields);
        return;
    case Kind::WrongPassword:
    case Kind::ServerFull:
        if (m_phase == ClientPhase::Authorising) {
            m_links[0]->reset();
            m_phase = ClientPhase::Ended;
            emit refused(message.kind == Kind::WrongPassword ? Refusal::WrongPassword
                                                             : Refusal::ServerFull);
        }
        return;
    case Kind::Session:
        if (m_phase == ClientPhase::InSession)
            applyState(message.fields);
        return;
    case Kind::Msg:
        if (m_phase == ClientPhase::InSession) {
            const Decoded<Chat> chat = parseChat(message.fields);
            if (chat.ok())
                emit chatLine(chat.value.slot, chat.value.styledText);
        }
        return;
    case Kind::StartGame:
        if (m_phase == ClientPhase::InSession)
            startGame(message.fields);
        return;
    case Kind::Unknown:
        // Data we cannot read never ends a session by itself.
        return;
    default:
        return; // the host's reactions
    }
}

void SessionEndpoint::acceptance(const QStringList &fields)
{
    const Decoded<Acceptance> accepted = parseAcceptance(fields);
    if (!accepted.ok())
        return;
    m_session->OverallMode = accepted.value.overallMode;
    m_session->MyIndex = accepted.value.slot;
    m_session->MaxPlayers = accepted.value.maxPlayers;
    m_session->InGame = accepted.value.inGame;
    m_players->ensureSize(SlotCount);
    m_phase = ClientPhase::InSession;
    m_firstStateHandled = false;

    const QPointer<SessionEndpoint> alive(this);
    emit this->accepted();
    if (!alive || m_phase != ClientPhase::InSession)
        return;

    const int me = m_session->MyIndex;
    (*m_players)[me].PassedSecurity = true;
    VL::ClearMyDetails((*m_players)[0]);
    m_getMyDetails((*m_players)[me]);
    m_links[0]->send(firstDetailsMessage(PreparePlayerData(*m_players, me)));
    if (m_session->InGame) {
        emit systemLine(LineBreak
                            + u"Please note that this game is currently in session and current "
                              u"users may not reply.",
                        1, true);
    }
}

void SessionEndpoint::applyState(const QStringList &fields)
{
    const Decoded<SessionState> parsed = parseSessionState(fields);
    if (!parsed.ok())
        return;
    const SessionState &state = parsed.value;
    const QString previousMap = m_session->CurrentMap;

    if (state.infoType == 0 && !m_isPortSetUp(state.currentPort)) {
        m_links[0]->reset();
        m_phase = ClientPhase::Ended;
        emit portNotConfigured(state.currentPort);
        return;
    }

    const auto takeNames = [this, &state] {
        for (int slot = 0; slot < SlotCount; ++slot) {
            SessionPlayers &player = (*m_players)[slot];
            player.PlayerName = state.names.at(slot);
            player.IsActive = !player.PlayerName.isEmpty();
        }
    };
    const bool announce = m_firstStateHandled;
    switch (state.infoType) {
    case 0:
        if (announce)
            CheckPlayerChanges(true);
        takeNames();
        emit playersChanged();
        if (announce)
            CheckPlayerChanges(false);
        applyMapInfo(state.map, *m_session);
        break;
    case 1:
        if (announce)
            CheckPlayerChanges(true);
        takeNames();
        if (announce)
            CheckPlayerChanges(false);
        emit playersChanged();
        break;
    default:
        applyMapInfo(state.map, *m_session);
        emit systemLine(LineBreak + u"Game details updated by " + m_players->at(0).PlayerName, 1,
                        true);
        break;
    }
    m_session->NumPlayers = state.numPlayers;
    m_session->MaxPlayers = state.maxPlayers;
    m_session->CurrentPort = state.currentPort;

    const QString &map = m_session->CurrentMap;
    const bool missing = !m_hasMap(m_session->CurrentPort, map);
    if (missing)
        emit systemLine(LineBreak + u"You do not have the map [^4" + map + u"^3] in play.", 1,
                        true);
    m_firstStateHandled = true;
    emit stateApplied(state.infoType);
    if (missing && map != previousMap)
        emit mapMissing(map);
}

void SessionEndpoint::startGame(const QStringList &fields)
{
    const Decoded<StartGame> start = parseStartGame(fields);
    if (!start.ok())
        return;
    (*m_players)[m_session->MyIndex].IPArray = start.value.peerList;
    m_session->SessionArgs = start.value.arguments;
    emit startGameRequested();
}

void SessionEndpoint::endByHost()
{
    if (m_phase == ClientPhase::Ended || m_phase == ClientPhase::Idle)
        return;
    m_phase = ClientPhase::Ended;
    m_session->isHost = false;
    const QPointer<SessionEndpoint> alive(this);
    emit systemLine(LineBreak + u"Host has ended the session.", 1, true);
    if (!alive)
        return;
    emit playersChanged();
    if (!alive)
        return;
    emit hostEnded();
}

// ---- Both ------------------------------------------------------------------

void SessionEndpoint::onMessage(SessionConnection *link, const Message &message)
{
    if (m_shuttingDown)
        return;
    const int index = link->index();
    if (isHost()) {
        if (index > 0)
            dispatchHost(index, message);
    } else if (index == 0) {
        dispatchClient(message);
    }
}

void SessionEndpoint::onOverflow(SessionConnection *link)
{
    if (m_shuttingDown)
        return;
    const int index = link->index();
    if (isHost() && index > 0) {
        emit systemLine(u"Player at Index " % QString::number(index) % u" sent more than "
                            % QString::number(m_maxReadBytes)
                            % u" bytes that are no message. dropped "
                            % link->socket().remoteHostIP(),
                        1, true);
        handleClosed(index);
    } else if (!isHost() && index == 0) {
        link->reset();
        endByHost();
    }
}

void SessionEndpoint::onClosed(int index)
{
    if (m_shuttingDown)
        return;
    if (isHost()) {
        if (index > 0)
            handleClosed(index);
        return;
    }
    if (index == 0)
        endByHost();
}

void SessionEndpoint::onError(int index, int number, const QString &description)
{
    if (m_shuttingDown)
        return;
    const QString line
        = u"Winsock Error: " % description % LineBreak % u"Index=" % QString::number(index);
    if (isHost()) {
        if (index > 0) {
            handleClosed(index);
            emit systemLine(line, 1, true);
        } else {
            emit systemLine(line, 1, true);
            emit listenerFailed(number, description);
        }
        return;
    }
    if (index != 0)
        return;
    m_links[0]->reset();
    m_phase = ClientPhase::Ended;
    const QPointer<SessionEndpoint> alive(this);
    emit systemLine(line, 1, true);
    if (alive)
        emit connectionFailed(number, description);
}

bool SessionEndpoint::sendChat(const QString &styledText)
{
    if (isHost()) {
        if (m_session->NumPlayers <= 1)
            return false;
        broadcast(chatMessage(m_session->MyIndex, styledText));
        return true;
    }
    if (m_phase != ClientPhase::InSession)
        return false;
    return m_links[0]->send(chatMessage(m_session->MyIndex, styledText));
}

void SessionEndpoint::sendChatTo(const QList<int> &slotList, const QString &styledText)
{
    if (slotList.isEmpty())
        return;
    if (isHost()) {
        deliverPrivate(slotList, m_session->MyIndex, styledText);
        return;
    }
    if (m_phase == ClientPhase::InSession)
        sendOn(0, privateChatMessage(slotList, m_session->MyIndex, styledText));
}

void SessionEndpoint::sendDetails()
{
    if (isHost() || m_phase != ClientPhase::InSession)
        return;
    m_links[0]->send(playerDetailsMessage(PreparePlayerData(*m_players, m_session->MyIndex)));
}

int SessionEndpoint::CountPlayers() const
{
    return ::CountPlayers(*m_players);
}

bool SessionEndpoint::isHost() const
{
    return m_session->isHost;
}

StreamSocket *SessionEndpoint::socket(int index) const
{
    return index >= 0 && index < m_links.size() ? &m_links[index]->socket() : nullptr;
}

int SessionEndpoint::lastError() const
{
    return m_links[0]->socket().lastError();
}

QString SessionEndpoint::lastErrorText() const
{
    return m_links[0]->socket().lastErrorText();
}

void SessionEndpoint::CheckPlayerChanges(bool SaveCurrentList)
{
    if (SaveCurrentList) {
        for (int slot = 0; slot < SlotCount; ++slot) {
            const SessionPlayers &player = m_players->at(slot);
            m_snapshot[std::size_t(slot)] = { player.IsActive, player.PlayerName };
        }
        return;
    }
    const QPointer<SessionEndpoint> alive(this);
    for (int slot = 1; slot < SlotCount && alive; ++slot) {
        const SnapshotEntry &before = m_snapshot[std::size_t(slot)];
        const SessionPlayers &now = m_players->at(slot);
        if (before.active && now.IsActive && before.name != now.PlayerName) {
            emit systemLine(LineBreak + before.name + u" ^3has changed names to " + now.PlayerName,
                            1, true);
        } else if (!before.active && now.IsActive) {
            emit systemLine(LineBreak + now.PlayerName + u" ^3has joined the session.", 1, true);
        } else if (before.active && !now.IsActive) {
            emit systemLine(LineBreak + before.name + u" ^3has left the session.", 1, true);
        }
    }
}

void SessionEndpoint::setMaxReadBytes(int bytes)
{
    m_maxReadBytes = qMax(1, bytes);
    for (SessionConnection *link : std::as_const(m_links))
        link->setMaxBuffered(m_maxReadBytes);
}

void SessionEndpoint::setSettleInterval(int milliseconds)
{
    m_settleInterval = qMax(0, milliseconds);
    for (SessionConnection *link : std::as_const(m_links))
        link->setSettleInterval(m_settleInterval);
}

void SessionEndpoint::setAuthorisationInterval(int milliseconds)
{
    m_interval = qMax(1, milliseconds);
}
