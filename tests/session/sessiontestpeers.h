#pragma once

// Peers of a session test: endpoints with their own session and player table
// (they are process globals otherwise), and raw sockets that speak the
// protocol by hand.

#include "modregistry.h"
#include "sessioncodec.h"
#include "sessionendpoint.h"
#include "sessionplayers.h"
#include "testsupport.h"
#include "vl.h"
#include "vlsession.h"
#include "wiretext.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

#include <memory>

namespace sessiontest {

inline const QString Loopback = QStringLiteral("127.0.0.1");

// Port 1 is set up on this machine, port 2 is not; the usermap folder holds
// "present.map".
inline void setUpMachine()
{
    VL::instance().SetDefaultRegVals();
    const QString root = testsupport::scratchFolder();
    QDir().mkpath(root + u"/port1");
    QDir().mkpath(root + u"/maps");
    QFile exe(root + u"/port1/duke3d");
    exe.open(QIODevice::WriteOnly);
    QFile map(root + u"/maps/present.map");
    map.open(QIODevice::WriteOnly);
    WriteSetting(QStringLiteral("Game"), QStringLiteral("R_ExePath"), exe.fileName());
    WriteSetting(QStringLiteral("Game"), QStringLiteral("J_ExePath"), QString());
    WriteSetting(QStringLiteral("Game"), QStringLiteral("MapPath"), root + u"/maps");
}

inline QString styled(const QString &text)
{
    return session::PTFS(255, QStringLiteral("Arial"), 10, false, false, false, text);
}

// One peer: an endpoint over a session and table of its own, recording its
// lines and chat.
struct Peer
{
    explicit Peer(const QString &playerName)
        : name(playerName)
    {
        players.reset(1);
        SessionContext context;
        context.session = &session;
        context.players = &players;
        context.GetMyDetails = [this](SessionPlayers &me) {
            me.PlayerName = name;
            me.Location = QStringLiteral("12");
            me.Age = 30;
            me.IPAddress = QStringLiteral("203.0.113.7");
            me.PortNumber = QStringLiteral("23513");
            me.LocalIP = QStringLiteral("0.0.0.0");
        };
        endpoint = std::make_unique<SessionEndpoint>(context);
        QObject::connect(endpoint.get(), &SessionEndpoint::systemLine, endpoint.get(),
                         [this](const QString &text, int style, bool addReturn) {
                             QCOMPARE(style, 1);
                             QVERIFY(addReturn);
                             lines.append(text);
                         });
        QObject::connect(endpoint.get(), &SessionEndpoint::chatLine, endpoint.get(),
                         [this](int slot, const QString &text) {
                             chats.append(QString::number(slot) + u':'
                                          + session::decodeStyledText(text).value.text);
                         });
    }

    [[nodiscard]] int linesContaining(const QString &part) const
    {
        int count = 0;
        for (const QString &line : lines)
            count += line.contains(part) ? 1 : 0;
        return count;
    }

    QString name;
    VLSession session;
    PlayerTable players;
    std::unique_ptr<SessionEndpoint> endpoint;
    QStringList lines;
    QStringList chats; // "slot:text"
};

// A host listening on a free loopback port, slot 0 named and active.
inline std::unique_ptr<Peer> makeHost(int maxPlayers = 8, const QString &password = {},
                                      quint8 gamePort = 1)
{
    auto host = std::make_unique<Peer>(QStringLiteral("^1Host"));
    host->session.OverallMode = 1;
    host->session.MaxPlayers = quint8(maxPlayers);
    host->session.Password = password;
    host->session.VLPort = 0;
    host->session.CurrentPort = gamePort;
    host->session.Game = QStringLiteral("Duke Nukem 3D");
    host->session.ModTC = QStringLiteral("Atomic Edition 1.5");
    host->session.Mode = 1;
    host->session.Episode = 1;
    host->session.Level = 1;
    host->session.Difficulty = 2;
    host->players[0].PlayerName = host->name;
    host->endpoint->beginHostSession();
    if (!host->endpoint->startHosting(QHostAddress(QHostAddress::LocalHost)))
        return nullptr;
    return host;
}

// Starts joining; true once accepted and the first state is taken over.
[[nodiscard]] inline bool join(Peer &client, const Peer &host)
{
    QSignalSpy accepted(client.endpoint.get(), &SessionEndpoint::accepted);
    QSignalSpy state(client.endpoint.get(), &SessionEndpoint::stateApplied);
    if (!client.endpoint->SendGreeting(Loopback, host.session.VLPort, client.session.Password))
        return false;
    if (!accepted.wait(5000))
        return false;
    return !state.isEmpty() || state.wait(5000);
}

// The host socket that serves the peer at local port, or -1.
inline int hostIndexOf(const SessionEndpoint &host, quint16 peerPort)
{
    for (int i = 1; i < host.socketCount(); ++i) {
        const StreamSocket *socket = host.socket(i);
        if (socket && socket->state() == StreamSocket::State::Connected
            && socket->remotePort() == peerPort)
            return i;
    }
    return -1;
}

// A peer that writes the protocol by hand.
class RawPeer
{
public:
    // from: the loopback address this peer connects from.
    explicit RawPeer(const Peer &host,
                     const QHostAddress &from = QHostAddress(QHostAddress::LocalHost))
        : m_host(host)
    {
        m_socket.bind(from);
        m_socket.connectToHost(QHostAddress(QHostAddress::LocalHost), host.session.VLPort);
    }

    [[nodiscard]] bool waitConnected()
    {
        // The host accepts in its own event; wait until it has.
        return QTest::qWaitFor(
            [this] { return m_socket.state() == QAbstractSocket::ConnectedState && index() > 0; },
            5000);
    }

    // The host's socket index serving this peer.
    [[nodiscard]] int index() const { return hostIndexOf(*m_host.endpoint, m_socket.localPort()); }

    // Sends text and waits until the host has handled it (one read).
    [[nodiscard]] bool send(const QString &text) { return sendBytes(wire::toBytes(text)); }
    [[nodiscard]] bool sendBytes(const QByteArray &bytes)
    {
        const int at = index();
        if (at <= 0)
            return false;
        QSignalSpy handled(m_host.endpoint->socket(at), &StreamSocket::dataArrival);
        m_socket.write(bytes);
        // All of it into the host's receive buffer before the host reads, so
        // that it is one read there.
        while (m_socket.bytesToWrite() > 0 && m_socket.waitForBytesWritten(5000)) { }
        return handled.wait(5000);
    }

    // The next text the host sent, or empty after five seconds.
    QString receive()
    {
        // The host writes from its event loop, so wait in one.
        (void)QTest::qWaitFor([this] { return m_socket.bytesAvailable() > 0; }, 5000);
        return wire::toText(m_socket.readAll());
    }

    [[nodiscard]] bool waitClosed()
    {
        return QTest::qWaitFor(
            [this] { return m_socket.state() == QAbstractSocket::UnconnectedState; }, 5000);
    }

    // Token request and its answer; the offered slot or -1.
    int authorise(const QString &password = {})
    {
        if (!send(session::authorisationRequest(password)))
            return -1;
        const session::Decoded<session::Acceptance> accepted
            = session::parseAcceptance(session::splitMessage(receive()));
        return accepted.ok() ? accepted.value.slot : -1;
    }

    [[nodiscard]] static QString record(const QString &name)
    {
        SessionPlayers me;
        me.PlayerName = name;
        me.PassedSecurity = true;
        return session::encodePlayerRecord(me);
    }

    QTcpSocket &socket() { return m_socket; }

private:
    const Peer &m_host;
    QTcpSocket m_socket;
};

} // namespace sessiontest
