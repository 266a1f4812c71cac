// libFuzzer harness for a host's session dispatcher: a host endpoint with a
// session and player table of its own, listening on loopback, and a few
// clients on real sockets that take turns. Connecting and closing go
// through the network; what a client sends is handed to the host's
// connection as a read. After every step the slot and timer rules must hold.
//
// Input: one settings byte (bits 0 to 2: MaxPlayers less one; bit 3: a
// password; bit 4: a chat session), then steps. A step is one byte (bits 0
// to 2: the client; the rest: the action) and what the action reads:
//   raw bytes: a length byte and up to that many bytes, as one read
//   an authorisation request with the right or a wrong password, first
//   details or new details with a sound record, as one read
//   the client closes, or resets, its connection
//   the connection's time limit runs out (only while its timer runs)
//   the host kicks the connection
// A client without a connection the host still serves connects first.

#include "dispatchersteps.h"
#include "fuzzcheck.h"
#include "sessioncodec.h"
#include "sessionconnection.h"
#include "sessionendpoint.h"
#include "sessionplayers.h"
#include "vlsession.h"
#include "wiretext.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QHostAddress>
#include <QTcpSocket>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

using namespace session;
using Connection = SessionConnection::State;

namespace {

constexpr int ClientCount = 8;
// Three client addresses, so that one address can hold more connections
// than the host lets wait unadmitted.
constexpr int AddressCount = 3;
const QString HostName = QStringLiteral("^1Host");
const QString Password = QStringLiteral("pw");

using dispatcherfuzz::Action;

// Long enough for a loaded machine and a connect whose first SYN met a
// port still in TIME_WAIT; only a host that never answers takes it all.
constexpr int WaitMs = 30000;

// Runs the event loop until done() or the wait has passed.
bool pumpUntil(const std::function<bool()> &done)
{
    const QDeadlineTimer deadline(WaitMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    return true;
}

QString record(const QString &name)
{
    SessionPlayers player;
    player.PlayerName = name;
    player.Location = QStringLiteral("12");
    player.Age = 30;
    player.PassedSecurity = true;
    player.IPAddress = QStringLiteral("127.0.0.1");
    player.PortNumber = QStringLiteral("23513");
    return encodePlayerRecord(player);
}

class Session
{
public:
    Session(int maxPlayers, bool password, bool chat)
    {
        m_players.reset(1);
        SessionContext context;
        context.session = &m_session;
        context.players = &m_players;
        context.GetMyDetails = [](SessionPlayers &me) { me.PlayerName = HostName; };
        context.isPortSetUp = [](int) { return true; };
        context.hasMap = [](int, const QString &) { return true; };
        m_session.OverallMode = chat ? 2 : 1;
        m_session.MaxPlayers = quint8(maxPlayers);
        m_session.Password = password ? Password : QString();
        m_session.VLPort = 0;
        m_session.CurrentPort = 1;
        m_session.Game = QStringLiteral("Duke Nukem 3D");
        m_players[0].PlayerName = HostName;
        m_endpoint = std::make_unique<SessionEndpoint>(context);
        m_endpoint->beginHostSession();
        FUZZ_REQUIRE(m_endpoint->startHosting(QHostAddress(QHostAddress::LocalHost)));
    }

    ~Session()
    {
        // The host closes first and gets its last writes out, so that its
        // sockets are gone before the next input rather than lingering.
        m_endpoint.reset();
        QCoreApplication::processEvents();
        for (std::unique_ptr<QTcpSocket> &client : m_clients) {
            if (client)
                client->abort();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void step(int client, Action action, QByteArrayView bytes)
    {
        switch (action) {
        case Action::Raw:
            send(client, bytes);
            break;
        case Action::Authorise:
            send(client, text(authorisationRequest(m_session.Password)));
            break;
        case Action::WrongPassword:
            send(client, text(authorisationRequest(QStringLiteral("wrong"))));
            break;
        case Action::FirstDetails:
            send(client, text(firstDetailsMessage(record(u"P" + QString::number(client)))));
            break;
        case Action::NewDetails:
            send(client, text(playerDetailsMessage(record(u"Q" + QString::number(client)))));
            break;
        case Action::Close:
        case Action::Reset:
            close(client, action == Action::Reset);
            break;
        case Action::TimeOut:
            timeOut(client);
            break;
        case Action::Kick:
            if (const int index = hostIndex(client); index > 0)
                m_endpoint->KickPlayer(index);
            break;
        case Action::Count:
            break;
        }
        checkSlotRules();
    }

private:
    static QByteArray text(const QString &message) { return wire::toBytes(message); }

    static QHostAddress addressOf(int client)
    {
        return QHostAddress(quint32(0x7f000001 + client % AddressCount));
    }

    // The host's connection serving the client, or -1.
    int hostIndex(int client) const
    {
        const QTcpSocket *socket = m_clients[std::size_t(client)].get();
        if (!socket || socket->state() != QAbstractSocket::ConnectedState)
            return -1;
        const QString address = addressOf(client).toString();
        for (int i = 1; i < m_endpoint->socketCount(); ++i) {
            const StreamSocket *host = m_endpoint->socket(i);
            if (host->state() == StreamSocket::State::Connected && host->remoteHostIP() == address
                && host->remotePort() == socket->localPort())
                return i;
        }
        return -1;
    }

    SessionConnection *link(int index) const
    {
        for (SessionConnection *link :
             m_endpoint->findChildren<SessionConnection *>(Qt::FindDirectChildrenOnly)) {
            if (link->index() == index)
                return link;
        }
        return nullptr;
    }

    // A connection the host serves, made when there is none; -1 when the
    // host turned it away.
    int connect(int client)
    {
        if (const int index = hostIndex(client); index > 0)
            return index;
        std::unique_ptr<QTcpSocket> &socket = m_clients[std::size_t(client)];
        if (socket)
            socket->abort();
        socket = std::make_unique<QTcpSocket>();
        FUZZ_REQUIRE(socket->bind(addressOf(client)));
        socket->connectToHost(QHostAddress(QHostAddress::LocalHost), m_endpoint->listeningPort());
        FUZZ_REQUIRE(socket->waitForConnected(WaitMs));
        QTcpSocket *raw = socket.get();
        FUZZ_REQUIRE(pumpUntil([&] {
            return hostIndex(client) > 0 || raw->state() == QAbstractSocket::UnconnectedState;
        }));
        checkSlotRules();
        return hostIndex(client);
    }

    // The bytes as one read of the host's connection. They take no trip
    // through the network: what matters here is what the host makes of
    // them, and a round trip for each read would make the fuzzing crawl.
    void send(int client, QByteArrayView bytes)
    {
        const int index = connect(client);
        if (index > 0)
            link(index)->takeRead(bytes.toByteArray());
    }

    // The client ends its connection; the events until the host has seen it.
    void close(int client, bool reset)
    {
        const int index = hostIndex(client);
        QTcpSocket *socket = m_clients[std::size_t(client)].get();
        if (!socket)
            return;
        if (reset)
            socket->abort();
        else
            socket->disconnectFromHost();
        if (index > 0) {
            const StreamSocket *host = m_endpoint->socket(index);
            FUZZ_REQUIRE(
                pumpUntil([&] { return host->state() != StreamSocket::State::Connected; }));
        }
        socket->abort();
    }

    // What the connection's one-shot timer does when it runs out.
    void timeOut(int client)
    {
        SessionConnection *timed = link(hostIndex(client));
        if (timed && timed->timerActive()) {
            timed->stopTimer();
            emit timed->timedOut(timed);
        }
    }

    void checkSlotRules() const
    {
        const PlayerTable &players = m_endpoint->players();
        const VLSession &session = m_endpoint->session();
        FUZZ_REQUIRE(players.size() == SlotCount);
        // Slot 0 stays the host's.
        FUZZ_REQUIRE(session.isHost && session.MyIndex == 0);
        FUZZ_REQUIRE(players.at(0).IsActive && players.at(0).WinsockIndex == 0
                     && players.at(0).PlayerName == HostName);
        FUZZ_REQUIRE(session.NumPlayers == m_endpoint->CountPlayers());

        std::array<int, SlotCount> holders {};
        std::array<int, SlotCount> servers {};
        int offered = 0;
        for (const SessionConnection *link :
             m_endpoint->findChildren<SessionConnection *>(Qt::FindDirectChildrenOnly)) {
            if (link->index() == 0)
                continue;
            const int slot = link->slot();
            FUZZ_REQUIRE(slot == -1 || (slot >= 1 && slot < SlotCount));
            if (slot > 0)
                ++holders[std::size_t(slot)];
            switch (link->state()) {
            case Connection::Offered:
                // Held for the client until its details come, and no one's yet.
                FUZZ_REQUIRE(slot > 0 && !players.at(slot).IsActive);
                FUZZ_REQUIRE(link->timerActive());
                ++offered;
                break;
            case Connection::Player:
                FUZZ_REQUIRE(slot > 0 && players.at(slot).IsActive);
                FUZZ_REQUIRE(players.at(slot).WinsockIndex == link->index());
                FUZZ_REQUIRE(!link->timerActive());
                ++servers[std::size_t(slot)];
                break;
            case Connection::Unauthorised:
            case Connection::Refused:
                // Nobody's, and not for ever.
                FUZZ_REQUIRE(slot == -1 && link->timerActive());
                break;
            case Connection::Free:
                FUZZ_REQUIRE(slot == -1 && !link->timerActive());
                break;
            case Connection::Transfer:
                FUZZ_REQUIRE(slot == -1);
                break;
            case Connection::ToHost:
                FUZZ_REQUIRE(false);
                break;
            }
        }
        for (int slot = 1; slot < SlotCount; ++slot) {
            FUZZ_REQUIRE(holders[std::size_t(slot)] <= 1);
            FUZZ_REQUIRE(servers[std::size_t(slot)] == (players.at(slot).IsActive ? 1 : 0));
        }
        FUZZ_REQUIRE(m_endpoint->CountPlayers() + offered <= session.MaxPlayers);
    }

    VLSession m_session;
    PlayerTable m_players;
    std::unique_ptr<SessionEndpoint> m_endpoint;
    std::array<std::unique_ptr<QTcpSocket>, ClientCount> m_clients;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    Session session(1 + (data[0] & 7), (data[0] & 8) != 0, (data[0] & 16) != 0);
    for (size_t at = 1; at < size;) {
        const uint8_t op = data[at++];
        const int client = op & (ClientCount - 1);
        const auto action = Action((op >> 3) % int(Action::Count));
        QByteArrayView bytes;
        if (action == Action::Raw && at < size) {
            const size_t wanted = data[at++];
            const size_t length = qMin(wanted, size - at);
            bytes = QByteArrayView(data + at, qsizetype(length));
            at += length;
        }
        session.step(client, action, bytes);
    }
    return 0;
}
