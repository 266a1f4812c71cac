#include "sessiontestpeers.h"

#include "separators.h"

#include <QTcpServer>

#include <vector>

using namespace Qt::StringLiterals;
using namespace sessiontest;

namespace {

const QString M = sep::MsgSep;
const QString Token = u"QT407213"_s;
const QString EightNames = u"Host%Bob%%%%%%"_s;
const QString Map = u"Duke Nukem 3D%Atomic Edition 1.5%1%2%1%1%%0"_s;

QString message(const QStringList &fields)
{
    return fields.join(M);
}

// A host of our own making that answers a real client by hand.
struct FakeHost
{
    QTcpServer server;
    QTcpSocket *connection = nullptr;
    Peer &client;

    explicit FakeHost(Peer &peer)
        : client(peer)
    {
        server.listen(QHostAddress::LocalHost);
    }

    [[nodiscard]] bool accept()
    {
        if (!client.endpoint->SendGreeting(Loopback, server.serverPort(), client.session.Password))
            return false;
        // The client connects from the event loop.
        if (!QTest::qWaitFor([this] { return server.hasPendingConnections(); }, 5000))
            return false;
        connection = server.nextPendingConnection();
        return connection != nullptr;
    }

    QString receive()
    {
        (void)QTest::qWaitFor([this] { return connection->bytesAvailable() > 0; }, 5000);
        return wire::toText(connection->readAll());
    }

    // Sends and waits until the client has handled the read.
    [[nodiscard]] bool send(const QString &text) { return sendBytes(wire::toBytes(text)); }
    [[nodiscard]] bool sendBytes(const QByteArray &bytes)
    {
        QSignalSpy handled(client.endpoint->socket(0), &StreamSocket::dataArrival);
        connection->write(bytes);
        // All of it into the client's receive buffer before it reads.
        while (connection->bytesToWrite() > 0 && connection->waitForBytesWritten(5000)) { }
        return handled.wait(5000);
    }
};

} // namespace

class TestSessionHostile : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Peer> m_host;
    std::unique_ptr<Peer> m_bob;

    // A host with Bob in slot 1; Bob's chat and lines start empty.
    bool hostWithBob()
    {
        m_host = makeHost();
        if (!m_host)
            return false;
        m_bob = std::make_unique<Peer>(u"Bob"_s);
        if (!join(*m_bob, *m_host))
            return false;
        m_host->lines.clear();
        return true;
    }

    // A raw player in slot 2 after Bob, once Bob has seen it join.
    bool admitRaw(RawPeer &raw)
    {
        if (!raw.waitConnected() || raw.authorise() != 2
            || !raw.send(session::firstDetailsMessage(RawPeer::record(u"Raw"_s))))
            return false;
        return QTest::qWaitFor(
            [this] { return m_bob->linesContaining(u"Raw ^3has joined"_s) == 1; }, 5000);
    }

    // Nothing reached Bob before a line that the host sends now.
    bool bobGotOnlyTheBarrier()
    {
        if (!m_host->endpoint->sendChat(styled(u"barrier"_s)))
            return false;
        const bool arrived = QTest::qWaitFor([this] { return !m_bob->chats.isEmpty(); }, 5000);
        return arrived && m_bob->chats == QStringList { u"0:barrier"_s };
    }

private slots:
    void initTestCase() { setUpMachine(); }

    void init() { }

    void cleanup()
    {
        m_bob.reset();
        m_host.reset();
    }

    void strangerMessages_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("closes");
        const QString styledLine = styled(u"hi"_s);
        QTest::newRow("FirstDetails without a token")
            << message({ u"FirstDetails"_s, RawPeer::record(u"Evil"_s) }) << false;
        QTest::newRow("PlayerDetails without a token")
            << message({ u"PlayerDetails"_s, RawPeer::record(u"Evil"_s) }) << false;
        QTest::newRow("chat from a stranger") << message({ u"Msg"_s, u"1"_s, styledLine }) << false;
        QTest::newRow("private chat from a stranger")
            << message({ u"MsgTo"_s, u"1"_s, u"0"_s, styledLine }) << false;
        QTest::newRow("token without password field") << message({ Token, u"PLAYER"_s }) << false;
        QTest::newRow("transfer role") << message({ Token, u"FILE"_s }) << false;
        QTest::newRow("state to the host")
            << message({ u"Session"_s, u"0"_s, EightNames, Map, u"2"_s, u"8"_s, u"3"_s }) << false;
        QTest::newRow("start to the host")
            << message({ u"StartGame"_s, u"1.2.3.4:5"_s, u" /c1"_s }) << false;
        QTest::newRow("refusal to the host") << u"SERVERFULL"_s << false;
        QTest::newRow("ack from a stranger") << u"x2"_s << false;
        QTest::newRow("OKTOGET from a stranger") << message({ u"OKTOGET"_s, u"a.map"_s }) << false;
        QTest::newRow("request outside the folder")
            << message({ u"REQUESTFILE"_s, u"..\\secret.txt"_s }) << false;
        QTest::newRow("unknown role") << message({ Token, u"ADMIN"_s, u""_s }) << true;
        QTest::newRow("token alone") << Token << true;
        QTest::newRow("unknown type") << u"HELLO"_s << true;
        QTest::newRow("separator first") << M + u"Msg"_s << true;
    }
    void strangerMessages()
    {
        QFETCH(QString, text);
        QFETCH(bool, closes);
        QVERIFY(hostWithBob());
        QSignalSpy files(m_host->endpoint.get(), &SessionEndpoint::fileRequested);
        QSignalSpy accepted(m_host->endpoint.get(), &SessionEndpoint::fileAccepted);
        RawPeer raw(*m_host);
        QVERIFY(raw.waitConnected());
        const int index = raw.index();
        QVERIFY(raw.send(text));

        if (closes)
            QVERIFY(raw.waitClosed());
        else
            QCOMPARE(raw.socket().state(), QAbstractSocket::ConnectedState);
        QVERIFY(m_host->endpoint->socket(index)->tag().isEmpty());
        QCOMPARE(m_host->players.at(0).PlayerName, u"^1Host"_s);
        QCOMPARE(m_host->players.at(1).PlayerName, u"Bob"_s);
        QVERIFY(!m_host->players.at(2).IsActive);
        QCOMPARE(m_host->endpoint->CountPlayers(), 2);
        QVERIFY(m_host->session.SessionArgs.isEmpty());
        QCOMPARE(m_host->session.CurrentPort, quint8(1));
        QVERIFY(m_host->chats.isEmpty());
        QVERIFY(m_host->lines.isEmpty());
        QVERIFY(files.isEmpty());
        QVERIFY(accepted.isEmpty());
        QVERIFY(bobGotOnlyTheBarrier());
        QVERIFY(m_bob->lines.isEmpty());
    }

    void playerMessages_data()
    {
        QTest::addColumn<QString>("text");
        const QString line = styled(u"hi"_s);
        QStringList shortRecord = RawPeer::record(u"Evil"_s).split(sep::DetailSep);
        shortRecord.removeLast();
        QStringList badAge = RawPeer::record(u"Evil"_s).split(sep::DetailSep);
        badAge[3] = u"x"_s;
        QTest::newRow("details again")
            << message({ u"FirstDetails"_s, RawPeer::record(u"Evil"_s) });
        QTest::newRow("record of 18 fields")
            << message({ u"PlayerDetails"_s, shortRecord.join(sep::DetailSep) });
        QTest::newRow("record with a bad age")
            << message({ u"PlayerDetails"_s, badAge.join(sep::DetailSep) });
        QTest::newRow("details without a record") << u"PlayerDetails"_s;
        QTest::newRow("chat as someone else") << message({ u"Msg"_s, u"1"_s, line });
        QTest::newRow("chat as the host") << message({ u"Msg"_s, u"0"_s, line });
        QTest::newRow("chat slot word") << message({ u"Msg"_s, u"two"_s, line });
        QTest::newRow("chat slot 9") << message({ u"Msg"_s, u"9"_s, line });
        QTest::newRow("chat without text") << message({ u"Msg"_s, u"2"_s });
        QTest::newRow("chat of six fields")
            << message({ u"Msg"_s, u"2"_s, line.section(sep::StyleSep, 0, 5) });
        QTest::newRow("private to slot 9") << message({ u"MsgTo"_s, u"9"_s, u"2"_s, line });
        QTest::newRow("private to nobody") << message({ u"MsgTo"_s, QString(), u"2"_s, line });
        QTest::newRow("private as someone else") << message({ u"MsgTo"_s, u"1"_s, u"1"_s, line });
        QTest::newRow("token again") << session::authorisationRequest(QString());
        QTest::newRow("player turns transfer") << message({ u"REQUESTFILE"_s, u"a.map"_s });
    }
    void playerMessages()
    {
        QFETCH(QString, text);
        QVERIFY(hostWithBob());
        RawPeer raw(*m_host);
        QVERIFY(admitRaw(raw));
        QVERIFY(raw.receive().startsWith(u"Session"_s));
        m_host->lines.clear();
        m_bob->lines.clear();
        const int index = raw.index();

        QVERIFY(raw.send(text));
        QCOMPARE(raw.socket().state(), QAbstractSocket::ConnectedState);
        QCOMPARE(m_host->players.at(2).PlayerName, u"Raw"_s);
        QVERIFY(m_host->players.at(2).IsActive);
        QCOMPARE(m_host->players.at(2).WinsockIndex, qint16(index));
        QCOMPARE(m_host->endpoint->socket(index)->tag(), u"2"_s);
        QCOMPARE(m_host->endpoint->CountPlayers(), 3);
        QVERIFY(m_host->chats.isEmpty());
        QVERIFY(m_host->lines.isEmpty());
        QVERIFY(bobGotOnlyTheBarrier());
        QVERIFY(m_bob->lines.isEmpty());
    }

    void playerDroppedForBreakingTheProtocol_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("line");
        // A message that does not end within the limit: no peer sends one.
        const QByteArray chat = wire::toBytes(session::chatMessage(2, styled(QString(3000, u'x'))));
        QTest::newRow("over the buffer limit")
            << chat << 2048
            << u"Player at Index %1 sent more than 2048 bytes that are no message. dropped 127.0.0.1"_s;
        QByteArray endless = wire::toBytes(session::chatMessage(2, QString()));
        endless += QByteArray(70 * 1024, 'A');
        QTest::newRow("endless at the default limit")
            << endless << 0
            << u"Player at Index %1 sent more than 65536 bytes that are no message. dropped 127.0.0.1"_s;
    }
    void playerDroppedForBreakingTheProtocol()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, limit);
        QFETCH(QString, line);
        QVERIFY(hostWithBob());
        if (limit > 0)
            m_host->endpoint->setMaxReadBytes(limit);
        RawPeer raw(*m_host);
        QVERIFY(admitRaw(raw));
        const int index = raw.index();
        m_host->lines.clear();

        QVERIFY(raw.sendBytes(bytes));
        QVERIFY(raw.waitClosed());
        // The slot is freed, not left active on a dead connection.
        QVERIFY(!m_host->players.at(2).IsActive);
        QCOMPARE(m_host->endpoint->CountPlayers(), 2);
        QStringList expected;
        if (!line.isEmpty())
            expected << line.arg(index);
        expected << u"\r\nRaw ^3has left the session."_s;
        QCOMPARE(m_host->lines, expected);
        QVERIFY(m_host->chats.isEmpty());
        QTRY_COMPARE(m_bob->linesContaining(u"Raw ^3has left"_s), 1);
        QVERIFY(m_host->endpoint->listeningPort() != 0);
    }

    // Rubbish from an admitted player is dropped; the player stays and the
    // next sound message still goes through.
    void unreadableDataKeepsThePlayer_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("unknown type") << "HELLO"_ba;
        QTest::newRow("70 KiB of rubbish") << QByteArray(70 * 1024, 'A');
        QTest::newRow("a line over 255 characters")
            << wire::toBytes(session::chatMessage(2, styled(QString(256, u'x'))));
    }
    void unreadableDataKeepsThePlayer()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(hostWithBob());
        RawPeer raw(*m_host);
        QVERIFY(admitRaw(raw));
        m_host->lines.clear();

        QVERIFY(raw.sendBytes(bytes));
        QVERIFY(raw.send(session::chatMessage(2, styled(u"after"_s))));
        QTRY_COMPARE(m_bob->chats, QStringList { u"2:after"_s });
        QVERIFY(m_host->players.at(2).IsActive);
        QCOMPARE(m_host->chats, QStringList { u"2:after"_s });
        QVERIFY(m_host->lines.isEmpty());
    }

    // Connections that greet and never send details cannot keep the session
    // full: one address holds at most two, and an offered slot is free again
    // as soon as its connection closes.
    void silentGreetersCannotFillTheSession()
    {
        m_host = makeHost(4);
        QVERIFY(m_host);
        m_host->endpoint->setAuthorisationInterval(60000);
        const QHostAddress attacker(u"127.0.0.2"_s);
        std::vector<std::unique_ptr<RawPeer>> greeters;
        for (int i = 0; i < 5; ++i)
            greeters.push_back(std::make_unique<RawPeer>(*m_host, attacker));
        const auto countIn = [&greeters](QAbstractSocket::SocketState state) {
            return std::count_if(greeters.begin(), greeters.end(),
                                 [state](const auto &g) { return g->socket().state() == state; });
        };
        // The host accepts each and closes the ones over the limit at once.
        QTRY_COMPARE(countIn(QAbstractSocket::UnconnectedState), qsizetype(3));
        QCOMPARE(countIn(QAbstractSocket::ConnectedState),
                 qsizetype(SessionEndpoint::MaxUnadmittedPerAddress));
        int offered = 0;
        for (auto &greeter : greeters) {
            if (greeter->socket().state() == QAbstractSocket::ConnectedState
                && greeter->waitConnected() && greeter->authorise() > 0)
                ++offered;
        }
        QCOMPARE(offered, SessionEndpoint::MaxUnadmittedPerAddress);

        // Two slots are offered; the third is a real player's.
        Peer bob(u"Bob"_s);
        QVERIFY(join(bob, *m_host));
        QCOMPARE(bob.session.MyIndex, quint8(3));

        // The session is full now; a greeter that leaves frees its slot at once.
        Peer carol(u"Carol"_s);
        QSignalSpy refused(carol.endpoint.get(), &SessionEndpoint::refused);
        QVERIFY(carol.endpoint->SendGreeting(Loopback, m_host->session.VLPort));
        QVERIFY(refused.wait(5000));
        for (auto &greeter : greeters)
            greeter->socket().abort();
        QTRY_COMPARE(m_host->endpoint->socket(1)->state(), StreamSocket::State::Closed);
        Peer dave(u"Dave"_s);
        QVERIFY(join(dave, *m_host));
        QVERIFY(m_host->linesContaining(u"did not send authorisation packet"_s) == 0);
    }

    // A read handed to a connection goes the way of one from its socket:
    // split into messages, dispatched, and answered over the socket.
    void handedReadIsHandledLikeASocketRead()
    {
        m_host = makeHost();
        QVERIFY(m_host);
        RawPeer raw(*m_host);
        QVERIFY(raw.waitConnected());
        SessionConnection *link = nullptr;
        for (SessionConnection *one : m_host->endpoint->findChildren<SessionConnection *>()) {
            if (one->index() == raw.index())
                link = one;
        }
        QVERIFY(link);
        // Both messages in one read.
        const QString read = session::authorisationRequest(QString())
            + session::firstDetailsMessage(RawPeer::record(u"Ann"_s));
        link->takeRead(wire::toBytes(read));
        QCOMPARE(link->state(), SessionConnection::State::Player);
        QCOMPARE(link->slot(), 1);
        QVERIFY(m_host->players[1].IsActive);
        QCOMPARE(m_host->players[1].PlayerName, u"Ann"_s);
        QCOMPARE(m_host->session.NumPlayers, quint8(2));
        const session::Framed replies
            = session::frame(raw.receive(), session::Direction::ToClient, session::Tail::Take);
        QVERIFY(!replies.messages.isEmpty());
        const session::Decoded<session::Acceptance> accepted
            = session::parseAcceptance(replies.messages.constFirst().fields);
        QVERIFY(accepted.ok());
        QCOMPARE(accepted.value.slot, quint8(1));
    }

    void transferWithoutServer()
    {
        // Nobody serves transfers yet: the connection is closed, not kept.
        QVERIFY(hostWithBob());
        RawPeer raw(*m_host);
        QVERIFY(raw.waitConnected());
        QVERIFY(raw.send(session::requestFileMessage(u"a.map"_s)));
        QVERIFY(raw.waitClosed());
        QVERIFY(m_host->lines.isEmpty());
    }

    void flood()
    {
        m_host = makeHost();
        QVERIFY(m_host);
        m_host->endpoint->setAuthorisationInterval(3000);
        std::vector<std::unique_ptr<QTcpSocket>> idle;
        // One after the other, so that the listen backlog never overflows;
        // two from each address, as many as one address may hold.
        for (int i = 0; i < 300; ++i) {
            idle.push_back(std::make_unique<QTcpSocket>());
            QTcpSocket &socket = *idle.back();
            socket.bind(QHostAddress(quint32(0x7f000100 + 2 + i / 2)));
            socket.connectToHost(QHostAddress::LocalHost, m_host->session.VLPort);
            QVERIFY(QTest::qWaitFor(
                [&socket] {
                    return socket.state() == QAbstractSocket::ConnectedState
                        || socket.state() == QAbstractSocket::UnconnectedState;
                },
                5000));
        }
        const auto closedCount = [&idle] {
            return std::count_if(idle.begin(), idle.end(), [](const auto &socket) {
                return socket->state() == QAbstractSocket::UnconnectedState;
            });
        };
        // 255 are held; the rest are refused while the listener stays open.
        QTRY_VERIFY_WITH_TIMEOUT(closedCount() >= 45, 10000);
        QCOMPARE(m_host->endpoint->socketCount(), SessionEndpoint::MaxConnections + 1);
        QVERIFY(m_host->endpoint->listeningPort() != 0);

        QTRY_COMPARE_WITH_TIMEOUT(closedCount(), qsizetype(300), 20000);
        QCOMPARE(m_host->linesContaining(u"did not send authorisation packet"_s),
                 SessionEndpoint::MaxConnections);
        QCOMPARE(m_host->endpoint->socketCount(), SessionEndpoint::MaxConnections + 1);

        Peer bob(u"Bob"_s);
        QVERIFY(join(bob, *m_host));
        QCOMPARE(bob.session.MyIndex, quint8(1));
    }

    void hostileHost()
    {
        Peer bob(u"Bob"_s);
        bob.session.Password = u"pw"_s;
        FakeHost host(bob);
        QVERIFY(host.accept());
        QCOMPARE(host.receive(), session::authorisationRequest(u"pw"_s));

        QSignalSpy accepted(bob.endpoint.get(), &SessionEndpoint::accepted);
        QSignalSpy state(bob.endpoint.get(), &SessionEndpoint::stateApplied);
        QSignalSpy start(bob.endpoint.get(), &SessionEndpoint::startGameRequested);
        QSignalSpy refused(bob.endpoint.get(), &SessionEndpoint::refused);
        QSignalSpy portRefused(bob.endpoint.get(), &SessionEndpoint::portNotConfigured);
        QSignalSpy ended(bob.endpoint.get(), &SessionEndpoint::hostEnded);

        const QStringList badAcceptances {
            message({ Token, u"Game"_s, u"x"_s, u"8"_s, u"0"_s }),
            message({ Token, u"Game"_s, u"0"_s, u"8"_s, u"0"_s }),
            message({ Token, u"Game"_s, u"9"_s, u"8"_s, u"0"_s }),
            message({ Token, u"Play"_s, u"1"_s, u"8"_s, u"0"_s }),
            message({ Token, u"Game"_s, u"1"_s, u"8"_s }),
            message({ Token, u"Game"_s, u"1"_s, u"200"_s, u"0"_s }),
            message({ u"Session"_s, u"0"_s, EightNames, Map, u"2"_s, u"8"_s, u"1"_s }),
            message({ u"Msg"_s, u"0"_s, styled(u"early"_s) }),
        };
        for (const QString &text : badAcceptances)
            QVERIFY2(host.send(text), qPrintable(text));
        QVERIFY(accepted.isEmpty());
        QVERIFY(state.isEmpty());
        QVERIFY(bob.chats.isEmpty());
        QCOMPARE(bob.session.MyIndex, quint8(0));
        QCOMPARE(bob.session.MaxPlayers, quint8(8));

        QVERIFY(host.send(message({ Token, u"Chat"_s, u"3"_s, u"6"_s, u"0"_s })));
        QCOMPARE(accepted.size(), 1);
        QCOMPARE(bob.session.MyIndex, quint8(3));
        const session::Decoded<SessionPlayers> details
            = session::parseDetails(session::splitMessage(host.receive()));
        QVERIFY(details.ok());
        QCOMPARE(details.value.PlayerName, u"Bob"_s);

        const QStringList badStates {
            message({ u"Session"_s }),
            message({ u"Session"_s, u"3"_s, EightNames, Map, u"2"_s, u"8"_s, u"1"_s }),
            message({ u"Session"_s, u"x"_s, EightNames, Map, u"2"_s, u"8"_s, u"1"_s }),
            message({ u"Session"_s, u"0"_s, EightNames, Map, u"2"_s, u"8"_s }),
            message(
                { u"Session"_s, u"0"_s, EightNames + u"%Ninth"_s, Map, u"2"_s, u"8"_s, u"1"_s }),
            message({ u"Session"_s, u"1"_s, EightNames, u"two"_s, u"8"_s, u"1"_s }),
            message({ u"Session"_s, u"1"_s, EightNames, u""_s, u"8"_s, u"1"_s }),
            message({ u"Session"_s, u"0"_s, EightNames, Map, u"2"_s, u"8"_s, u"0"_s }),
            message({ u"Session"_s, u"0"_s, EightNames, Map, u"2"_s, u"8"_s, u"5"_s }),
            message({ u"Session"_s, u"0"_s, EightNames, Map, u"2"_s, u"8"_s, u"x"_s }),
            message(
                { u"Session"_s, u"2"_s, u"G%M%1%2%1%1%..\\evil.map%0"_s, u"2"_s, u"8"_s, u"1"_s }),
            message({ u"Msg"_s, u"9"_s, styled(u"bad slot"_s) }),
            message({ u"Msg"_s, u"1"_s, u"not styled"_s }),
            message({ u"StartGame"_s, u"10.0.0.5:1"_s, u" /c1 & calc"_s }),
            message({ u"StartGame"_s, u"10.0.0.5:1;calc"_s, u" /c1"_s }),
            message({ u"FirstDetails"_s, RawPeer::record(u"Evil"_s) }),
            message({ u"MsgTo"_s, u"0"_s, u"1"_s, styled(u"x"_s) }),
            u"WRONGPASSWORD"_s,
            u"SERVERFULL"_s,
            message({ Token, u"Game"_s, u"5"_s, u"8"_s, u"0"_s }),
            u"22"_s,
        };
        for (const QString &text : badStates)
            QVERIFY2(host.send(text), qPrintable(text));
        QVERIFY(state.isEmpty());
        QVERIFY(start.isEmpty());
        QVERIFY(refused.isEmpty());
        QVERIFY(portRefused.isEmpty());
        QVERIFY(bob.chats.isEmpty());
        QVERIFY(bob.lines.isEmpty());
        QCOMPARE(bob.session.MyIndex, quint8(3));
        QCOMPARE(bob.session.MaxPlayers, quint8(6));
        QVERIFY(bob.players.at(0).PlayerName.isEmpty());
        QVERIFY(!bob.players.at(1).IsActive);
        QVERIFY(bob.session.SessionArgs.isEmpty());
        QCOMPARE(bob.endpoint->socket(0)->state(), StreamSocket::State::Connected);

        // A sound state still goes through afterwards.
        QVERIFY(
            host.send(message({ u"Session"_s, u"0"_s, EightNames, Map, u"2"_s, u"8"_s, u"1"_s })));
        QCOMPARE(state.size(), 1);
        QCOMPARE(bob.players.at(1).PlayerName, u"Bob"_s);

        // Data the client cannot read never ends the session by itself.
        QVERIFY(host.send(u"HELLO"_s));
        QVERIFY(host.send(message({ u"Msg"_s, u"0"_s, styled(u"still here"_s) })));
        QVERIFY(ended.isEmpty());
        QCOMPARE(bob.chats, QStringList { u"0:still here"_s });
        QCOMPARE(bob.endpoint->socket(0)->state(), StreamSocket::State::Connected);
    }

    void oversizedReadFromHost()
    {
        Peer bob(u"Bob"_s);
        FakeHost host(bob);
        QVERIFY(host.accept());
        (void)host.receive();
        QVERIFY(host.send(message({ Token, u"Game"_s, u"1"_s, u"8"_s, u"0"_s })));
        QSignalSpy ended(bob.endpoint.get(), &SessionEndpoint::hostEnded);
        // A message that never ends: only the buffer's limit stops it.
        QByteArray endless = wire::toBytes(message({ u"Msg"_s, u"0"_s, u""_s }));
        endless += QByteArray(70 * 1024, 'B');
        QVERIFY(host.sendBytes(endless));
        QTRY_COMPARE(ended.size(), 1);
        QCOMPARE(bob.endpoint->socket(0)->state(), StreamSocket::State::Closed);
    }
};

QTEST_GUILESS_MAIN(TestSessionHostile)
#include "tst_sessionhostile.moc"
