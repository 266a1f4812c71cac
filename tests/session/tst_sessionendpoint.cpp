#include "sessiontestpeers.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace sessiontest;

Q_DECLARE_METATYPE(SessionEndpoint::Refusal)

namespace {

const QString Joined = u" ^3has joined the session."_s;
const QString Left = u" ^3has left the session."_s;

int connectedCount(const SessionEndpoint &host)
{
    int count = 0;
    for (int i = 1; i < host.socketCount(); ++i)
        count += host.socket(i)->state() == StreamSocket::State::Connected ? 1 : 0;
    return count;
}

// Stands between a client and the host and passes on what the host sends in
// pieces of 1,400 bytes, written one at a time, as a link on the internet
// delivers them.
class SplittingRelay : public QObject
{
public:
    static constexpr int Piece = 1400;

    explicit SplittingRelay(quint16 hostPort)
    {
        m_server.listen(QHostAddress::LocalHost);
        m_pace.setInterval(5);
        connect(&m_server, &QTcpServer::newConnection, this, [this, hostPort] {
            m_client = m_server.nextPendingConnection();
            m_host.connectToHost(QHostAddress::LocalHost, hostPort);
            connect(m_client, &QTcpSocket::readyRead, this,
                    [this] { m_host.write(m_client->readAll()); });
        });
        connect(&m_host, &QTcpSocket::readyRead, this, [this] {
            m_pending += m_host.readAll();
            m_pace.start();
        });
        connect(&m_pace, &QTimer::timeout, this, [this] {
            const QByteArray piece = m_pending.left(Piece);
            m_pending.remove(0, piece.size());
            if (m_client && !piece.isEmpty()) {
                m_client->write(piece);
                m_client->flush();
                ++pieces;
            }
            if (m_pending.isEmpty())
                m_pace.stop();
        });
    }

    [[nodiscard]] quint16 port() const { return m_server.serverPort(); }
    int pieces = 0;

private:
    QTcpServer m_server;
    QTcpSocket *m_client = nullptr;
    QTcpSocket m_host;
    QTimer m_pace;
    QByteArray m_pending;
};

} // namespace

class TestSessionEndpoint : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpMachine(); }

    void init() { }

    void admission()
    {
        auto host = makeHost();
        QVERIFY(host);
        QVERIFY(host->session.VLPort != 0);
        QCOMPARE(host->endpoint->listeningPort(), host->session.VLPort);

        Peer bob(u"Bob"_s);
        QSignalSpy connected(bob.endpoint.get(), &SessionEndpoint::connectedToHost);
        QVERIFY(join(bob, *host));
        QCOMPARE(connected.size(), 1);
        QCOMPARE(bob.session.OverallMode, quint8(1));
        QCOMPARE(bob.session.MyIndex, quint8(1));
        QCOMPARE(bob.session.MaxPlayers, quint8(8));
        QVERIFY(!bob.session.InGame);
        QVERIFY(bob.players.at(1).PassedSecurity);

        // The host holds the newcomer's full record in its slot.
        QTRY_VERIFY(host->players.at(1).IsActive);
        const SessionPlayers &onHost = host->players.at(1);
        QCOMPARE(onHost.PlayerName, u"Bob"_s);
        QCOMPARE(onHost.IPAddress, u"203.0.113.7"_s);
        QVERIFY(onHost.PassedSecurity);
        QCOMPARE(host->endpoint->socket(onHost.WinsockIndex)->tag(), u"1"_s);
        QCOMPARE(host->session.NumPlayers, quint8(2));
        QCOMPARE(host->lines, QStringList { u"\r\nBob"_s + Joined });

        // The newcomer takes the state over silently.
        QCOMPARE(bob.players.at(0).PlayerName, u"^1Host"_s);
        QVERIFY(bob.players.at(0).IsActive);
        QCOMPARE(bob.players.at(1).PlayerName, u"Bob"_s);
        QVERIFY(!bob.players.at(2).IsActive);
        QCOMPARE(bob.session.NumPlayers, quint8(2));
        QCOMPARE(bob.session.CurrentPort, quint8(1));
        QCOMPARE(bob.session.Game, u"Duke Nukem 3D"_s);
        QCOMPARE(bob.session.Difficulty, quint8(2));
        QVERIFY(bob.endpoint->firstStateHandled());
        QVERIFY(bob.lines.isEmpty());

        // A second newcomer: silent itself, announced by the one present.
        Peer carl(u"^4Carl"_s);
        QVERIFY(join(carl, *host));
        QCOMPARE(carl.session.MyIndex, quint8(2));
        QTRY_COMPARE(bob.lines, QStringList { u"\r\n^4Carl"_s + Joined });
        QVERIFY(carl.lines.isEmpty());
        QCOMPARE(carl.players.at(1).PlayerName, u"Bob"_s);
        QCOMPARE(carl.session.NumPlayers, quint8(3));
        QCOMPARE(host->linesContaining(Joined), 2);
    }

    void inGameNotice()
    {
        auto host = makeHost();
        QVERIFY(host);
        host->session.InGame = true;
        host->session.OverallMode = 2;
        Peer bob(u"Bob"_s);
        QVERIFY(join(bob, *host));
        QVERIFY(bob.session.InGame);
        QCOMPARE(bob.session.OverallMode, quint8(2));
        QCOMPARE(
            bob.lines,
            QStringList { u"\r\nPlease note that this game is currently in session and current "
                          u"users may not reply."_s });
    }

    void refusals_data()
    {
        QTest::addColumn<int>("maxPlayers");
        QTest::addColumn<QString>("hostPassword");
        QTest::addColumn<QStringList>("passwords"); // one client after the other
        QTest::addColumn<int>("refusedAt"); // -1: none refused
        QTest::addColumn<SessionEndpoint::Refusal>("reason");
        const auto full = SessionEndpoint::Refusal::ServerFull;
        const auto wrong = SessionEndpoint::Refusal::WrongPassword;
        QTest::newRow("limit 1: everyone full")
            << 1 << QString() << QStringList { u""_s } << 0 << full;
        QTest::newRow("limit 2: second full")
            << 2 << QString() << QStringList { u""_s, u""_s } << 1 << full;
        QTest::newRow("case differs")
            << 8 << u"Secret"_s << QStringList { u"secret"_s } << 0 << wrong;
        QTest::newRow("empty against a password")
            << 8 << u"Secret"_s << QStringList { u""_s } << 0 << wrong;
        QTest::newRow("exact password")
            << 8 << u"Secret"_s << QStringList { u"Secret"_s } << -1 << wrong;
        QTest::newRow("no password: anything passes")
            << 8 << QString() << QStringList { u"whatever"_s, u""_s } << -1 << wrong;
        QTest::newRow("full before password")
            << 1 << u"Secret"_s << QStringList { u"nope"_s } << 0 << full;
    }
    void refusals()
    {
        QFETCH(int, maxPlayers);
        QFETCH(QString, hostPassword);
        QFETCH(QStringList, passwords);
        QFETCH(int, refusedAt);
        QFETCH(SessionEndpoint::Refusal, reason);
        auto host = makeHost(maxPlayers, hostPassword);
        QVERIFY(host);
        std::vector<std::unique_ptr<Peer>> clients;
        for (int i = 0; i < passwords.size(); ++i) {
            auto client = std::make_unique<Peer>(u"P"_s + QString::number(i));
            client->session.Password = passwords.at(i);
            if (i != refusedAt) {
                QVERIFY(join(*client, *host));
            } else {
                QSignalSpy refused(client->endpoint.get(), &SessionEndpoint::refused);
                QVERIFY(client->endpoint->SendGreeting(Loopback, host->session.VLPort,
                                                       client->session.Password));
                QVERIFY(refused.wait(5000));
                QCOMPARE(refused.first().first().value<SessionEndpoint::Refusal>(), reason);
                QCOMPARE(client->endpoint->socket(0)->state(), StreamSocket::State::Closed);
                // The refused client closes; the host frees the connection and
                // nobody is announced.
                QTRY_COMPARE(connectedCount(*host->endpoint), i);
                QCOMPARE(host->linesContaining(u"P"_s + QString::number(i) + Joined), 0);
            }
            clients.push_back(std::move(client));
        }
        const int admitted = refusedAt < 0 ? int(passwords.size()) : refusedAt;
        QCOMPARE(host->endpoint->CountPlayers(), 1 + admitted);
    }

    void silentConnectionDroppedAfterFiveSeconds()
    {
        // The one test on the real interval.
        auto host = makeHost();
        QVERIFY(host);
        QElapsedTimer clock;
        RawPeer raw(*host);
        QVERIFY(raw.waitConnected());
        clock.start();
        const int index = raw.index();
        QTRY_VERIFY_WITH_TIMEOUT(raw.socket().state() == QAbstractSocket::UnconnectedState, 10000);
        QVERIFY(clock.elapsed() >= 4500);
        QCOMPARE(host->lines,
                 QStringList { u"Player at Index "_s + QString::number(index)
                               + u" did not send authorisation packet. dropped 127.0.0.1"_s });
    }

    void offeredSlotIsFreedWhenDetailsNeverCome()
    {
        auto host = makeHost();
        QVERIFY(host);
        host->endpoint->setAuthorisationInterval(300);
        QSignalSpy keepAlive(host->endpoint.get(), &SessionEndpoint::keepAliveCheckDue);
        RawPeer raw(*host);
        QVERIFY(raw.waitConnected());
        QCOMPARE(raw.authorise(), 1);
        QVERIFY(raw.waitClosed());
        QCOMPARE(host->linesContaining(u"did not send authorisation packet"_s), 1);
        QCOMPARE(keepAlive.size(), 1);
        QVERIFY(!host->players.at(1).IsActive);

        Peer bob(u"Bob"_s);
        QVERIFY(join(bob, *host));
        QCOMPARE(bob.session.MyIndex, quint8(1));
    }

    void transferConnectionIsNotTimedOut()
    {
        auto host = makeHost();
        QVERIFY(host);
        host->endpoint->setAuthorisationInterval(100);
        QSignalSpy requested(host->endpoint.get(), &SessionEndpoint::fileRequested);
        QSignalSpy chunks(host->endpoint.get(), &SessionEndpoint::chunkRequested);
        RawPeer raw(*host);
        QVERIFY(raw.waitConnected());
        QVERIFY(raw.send(session::requestFileMessage(u"dukedome.map"_s)));
        QCOMPARE(requested.size(), 1);
        QCOMPARE(requested.first().at(1).toString(), u"dukedome.map"_s);
        const int index = raw.index();
        QCOMPARE(host->endpoint->socket(index)->tag(), u"FILE"_s);
        // Two acknowledgements read together ask for one chunk.
        QVERIFY(raw.send(u"22"_s));
        QCOMPARE(chunks.size(), 1);
        QCOMPARE(chunks.first().first().toInt(), index);
        // An idle connection made later times out; the transfer stays.
        RawPeer idle(*host);
        QVERIFY(idle.waitConnected());
        QVERIFY(idle.waitClosed());
        QCOMPARE(raw.socket().state(), QAbstractSocket::ConnectedState);
        QCOMPARE(host->linesContaining(u"did not send authorisation packet"_s), 1);
    }

    void twoClientsAuthorisingAtOnce_data()
    {
        QTest::addColumn<int>("maxPlayers");
        QTest::newRow("room for both") << 8;
        QTest::newRow("room for one") << 2;
    }
    void twoClientsAuthorisingAtOnce()
    {
        QFETCH(int, maxPlayers);
        auto host = makeHost(maxPlayers);
        QVERIFY(host);
        RawPeer first(*host);
        RawPeer second(*host);
        QVERIFY(first.waitConnected());
        QVERIFY(second.waitConnected());
        const int firstSlot = first.authorise();
        QCOMPARE(firstSlot, 1);
        if (maxPlayers == 2) {
            // The offered slot counts against the limit.
            QVERIFY(second.send(session::authorisationRequest(QString())));
            QCOMPARE(second.receive(), u"SERVERFULL"_s);
        } else {
            QCOMPARE(second.authorise(), 2);
            QVERIFY(second.send(session::firstDetailsMessage(RawPeer::record(u"Second"_s))));
        }
        QVERIFY(first.send(session::firstDetailsMessage(RawPeer::record(u"First"_s))));
        QCOMPARE(host->players.at(1).PlayerName, u"First"_s);
        QCOMPARE(host->endpoint->CountPlayers(), maxPlayers == 2 ? 2 : 3);
        if (maxPlayers != 2)
            QCOMPARE(host->players.at(2).PlayerName, u"Second"_s);
    }

    void leaveAndHostEnd()
    {
        auto host = makeHost();
        QVERIFY(host);
        auto bob = std::make_unique<Peer>(u"Bob"_s);
        Peer carl(u"Carl"_s);
        QVERIFY(join(*bob, *host));
        QVERIFY(join(carl, *host));

        bob.reset(); // Bob closes his session window
        QTRY_COMPARE(host->linesContaining(u"\r\nBob"_s + Left), 1);
        QTRY_COMPARE(carl.linesContaining(u"\r\nBob"_s + Left), 1);
        QVERIFY(!carl.players.at(1).IsActive);
        QVERIFY(!host->players.at(1).IsActive);
        QCOMPARE(host->session.NumPlayers, quint8(2));
        QCOMPARE(carl.session.NumPlayers, quint8(2));

        QSignalSpy ended(carl.endpoint.get(), &SessionEndpoint::hostEnded);
        QSignalSpy players(carl.endpoint.get(), &SessionEndpoint::playersChanged);
        host.reset();
        QVERIFY(ended.wait(5000));
        QCOMPARE(carl.lines.last(), u"\r\nHost has ended the session."_s);
        QVERIFY(!carl.session.isHost);
        QCOMPARE(players.size(), 1);
        // The last known players stay listed.
        QVERIFY(carl.players.at(0).IsActive);
        QVERIFY(!carl.endpoint->sendChat(styled(u"anyone?"_s)));
    }

    void kick()
    {
        auto host = makeHost();
        QVERIFY(host);
        Peer bob(u"Bob"_s);
        Peer carl(u"Carl"_s);
        QVERIFY(join(bob, *host));
        QVERIFY(join(carl, *host));
        QSignalSpy ended(bob.endpoint.get(), &SessionEndpoint::hostEnded);

        host->endpoint->KickPlayer(0); // never the listener
        host->endpoint->KickPlayer(-3); // nor anything outside the array
        host->endpoint->KickPlayer(4000);
        QVERIFY(host->endpoint->listeningPort() != 0);

        host->endpoint->KickPlayer(host->players.at(1).WinsockIndex);
        QVERIFY(ended.wait(5000));
        QCOMPARE(host->linesContaining(u"\r\nBob"_s + Left), 1);
        QTRY_COMPARE(carl.linesContaining(u"\r\nBob"_s + Left), 1);
        QCOMPARE(host->endpoint->CountPlayers(), 2);

        // The listener still takes newcomers, into the freed slot.
        Peer dave(u"Dave"_s);
        QVERIFY(join(dave, *host));
        QCOMPARE(dave.session.MyIndex, quint8(1));
    }

    void rename()
    {
        auto host = makeHost();
        QVERIFY(host);
        Peer bob(u"Bob"_s);
        Peer carl(u"Carl"_s);
        QVERIFY(join(bob, *host));
        QVERIFY(join(carl, *host));
        QTRY_COMPARE(bob.linesContaining(u"Carl"_s + Joined), 1);
        QSignalSpy carlState(carl.endpoint.get(), &SessionEndpoint::stateApplied);

        bob.players[bob.session.MyIndex].PlayerName = u"^2Robert"_s;
        bob.endpoint->sendDetails();
        const QString line = u"\r\nBob ^3has changed names to ^2Robert"_s;
        QTRY_COMPARE(host->linesContaining(line), 1);
        QCOMPARE(host->players.at(1).PlayerName, u"^2Robert"_s);
        QTRY_COMPARE(carlState.size(), 1);
        QCOMPARE(carlState.first().first().toInt(), 1);
        QCOMPARE(carl.lines, QStringList { line });
        QCOMPARE(carl.players.at(1).PlayerName, u"^2Robert"_s);
    }

    void chat()
    {
        auto host = makeHost();
        QVERIFY(host);
        // A host alone sends nothing.
        QVERIFY(!host->endpoint->sendChat(styled(u"hello?"_s)));

        Peer a(u"A"_s), b(u"B"_s), c(u"C"_s);
        // Messages read together are one message: let each join settle.
        QVERIFY(join(a, *host));
        QVERIFY(join(b, *host));
        QTRY_COMPARE(a.linesContaining(u"B"_s + Joined), 1);
        QVERIFY(join(c, *host));
        QCOMPARE(c.session.MyIndex, quint8(3));
        QTRY_COMPARE(a.linesContaining(u"C"_s + Joined), 1);
        QTRY_COMPARE(b.linesContaining(u"C"_s + Joined), 1);

        // Public from slot 3: the host shows it and relays it to all but 3.
        QVERIFY(c.endpoint->sendChat(styled(u"from three"_s)));
        QTRY_COMPARE(host->chats, QStringList { u"3:from three"_s });
        QTRY_COMPARE(a.chats, QStringList { u"3:from three"_s });
        QTRY_COMPARE(b.chats, QStringList { u"3:from three"_s });
        QCOMPARE(host->chats, QStringList { u"3:from three"_s });

        // Private from slot 1 to 0 and 2.
        a.endpoint->sendChatTo({ 0, 2 }, styled(u"psst"_s));
        QTRY_COMPARE(b.chats.size(), 2);
        QCOMPARE(b.chats.last(), u"1:psst"_s);
        QTRY_COMPARE(host->chats.size(), 2);
        QCOMPARE(host->chats.last(), u"1:psst"_s);

        // The host's own line reaches everyone; C saw nothing in between.
        QVERIFY(host->endpoint->sendChat(styled(u"from host"_s)));
        QTRY_COMPARE(c.chats, QStringList { u"0:from host"_s });
        QTRY_COMPARE(a.chats.last(), u"0:from host"_s);
        QCOMPARE(a.chats.size(), 2);

        // The host's private line to 3 only.
        host->endpoint->sendChatTo({ 3 }, styled(u"just you"_s));
        QTRY_COMPARE(c.chats.last(), u"0:just you"_s);
        QVERIFY(b.endpoint->sendChat(styled(u"barrier"_s)));
        QTRY_COMPARE(a.chats.last(), u"2:barrier"_s);
        QCOMPARE(a.chats.size(), 3);
    }

    // Lines sent at the same moment arrive together; each is shown whole.
    void chatAtTheSameMoment()
    {
        auto host = makeHost();
        QVERIFY(host);
        Peer a(u"A"_s), b(u"B"_s), c(u"C"_s);
        QVERIFY(join(a, *host));
        QVERIFY(join(b, *host));
        QVERIFY(join(c, *host));
        QTRY_COMPARE(a.linesContaining(u"C"_s + Joined), 1);

        QVERIFY(a.endpoint->sendChat(styled(u"from A"_s)));
        QVERIFY(b.endpoint->sendChat(styled(u"from B"_s)));
        QVERIFY(c.endpoint->sendChat(styled(u"from C"_s)));
        QVERIFY(host->endpoint->sendChat(styled(u"one"_s)));
        QVERIFY(host->endpoint->sendChat(styled(u"two"_s)));

        const auto sorted = [](QStringList lines) {
            lines.sort();
            return lines;
        };
        const QStringList fromClients { u"1:from A"_s, u"2:from B"_s, u"3:from C"_s };
        QTRY_COMPARE(sorted(host->chats), fromClients);
        for (Peer *peer : { &a, &b, &c }) {
            QStringList expected = fromClients;
            expected.removeAt(peer->session.MyIndex - 1);
            expected << u"0:one"_s << u"0:two"_s;
            QTRY_COMPARE(sorted(peer->chats), sorted(expected));
            // The host's two lines keep their order.
            QVERIFY(peer->chats.indexOf(u"0:one"_s) < peer->chats.indexOf(u"0:two"_s));
        }
    }

    // Through a link that cuts the host's bytes into 1,400-byte pieces every
    // line arrives whole, and nothing a player sends knocks others off.
    void linkThatSplitsMessages()
    {
        auto host = makeHost();
        QVERIFY(host);
        Peer a(u"A"_s);
        QVERIFY(join(a, *host));
        SplittingRelay relay(host->session.VLPort);
        Peer d(u"D"_s);
        QSignalSpy accepted(d.endpoint.get(), &SessionEndpoint::accepted);
        QSignalSpy ended(d.endpoint.get(), &SessionEndpoint::hostEnded);
        QVERIFY(d.endpoint->SendGreeting(Loopback, relay.port()));
        QVERIFY(accepted.wait(5000));
        QTRY_COMPARE(a.linesContaining(u"D"_s + Joined), 1);

        QStringList expected;
        for (int i = 0; i < 12; ++i) {
            const QString line = QString::number(i) + QString(250, QChar(u'a' + i));
            QVERIFY(a.endpoint->sendChat(styled(line)));
            expected << u"1:"_s + line;
        }
        // Longer than any chat box sends: the host passes nothing on.
        QVERIFY(a.endpoint->sendChat(styled(QString(2000, u'z'))));
        QTRY_COMPARE_WITH_TIMEOUT(d.chats, expected, 10000);
        QVERIFY(relay.pieces > 2);

        // A name far longer than the name box allows reaches everyone cut.
        Peer e(QString(3000, u'E'));
        QVERIFY(join(e, *host));
        QTRY_COMPARE(d.linesContaining(QString(32, u'E') + Joined), 1);
        QVERIFY(a.endpoint->sendChat(styled(u"still here"_s)));
        QTRY_COMPARE(d.chats.last(), u"1:still here"_s);
        QVERIFY(ended.isEmpty());
        QCOMPARE(d.endpoint->socket(0)->state(), StreamSocket::State::Connected);
    }

    // A name with line breaks cannot fake lines of the program's own.
    void nameCannotForgeLines()
    {
        auto host = makeHost();
        QVERIFY(host);
        Peer a(u"PeerA"_s);
        QVERIFY(join(a, *host));
        Peer evil(u"Evil\r\nPeerA has left the session.\r\n\r\nHost"_s);
        QVERIFY(join(evil, *host));
        QTRY_COMPARE(a.lines.size(), 1);
        for (const Peer *peer : { host.get(), &a }) {
            for (const QString &line : peer->lines)
                QVERIFY2(line.count(u"\r\n"_s) == 1 && line.startsWith(u"\r\n"_s),
                         qPrintable(line));
        }
        QCOMPARE(host->players.at(2).PlayerName, u"EvilPeerA has left the session.Host"_s.left(32));
    }

    void stateInfoTypes()
    {
        auto host = makeHost();
        QVERIFY(host);
        Peer bob(u"Bob"_s);
        QVERIFY(join(bob, *host));
        QSignalSpy state(bob.endpoint.get(), &SessionEndpoint::stateApplied);
        QSignalSpy missing(bob.endpoint.get(), &SessionEndpoint::mapMissing);

        host->session.Level = 7;
        host->session.Mode = 3;
        host->session.CurrentMap = u"present.map"_s;
        host->endpoint->SendSessionState(0, 2);
        QVERIFY(state.wait(5000));
        QCOMPARE(state.last().first().toInt(), 2);
        QCOMPARE(bob.session.Level, quint8(7));
        QCOMPARE(bob.session.Mode, quint8(3));
        QCOMPARE(bob.session.CurrentMap, u"present.map"_s);
        QCOMPARE(bob.lines, QStringList { u"\r\nGame details updated by ^1Host"_s });
        QVERIFY(missing.isEmpty());

        // A usermap missing here: a line each time, the download offer once.
        host->session.CurrentMap = u"absent.map"_s;
        host->endpoint->SendSessionState(0, 2);
        QVERIFY(state.wait(5000));
        host->endpoint->SendSessionState(0, 2);
        QVERIFY(state.wait(5000));
        QCOMPARE(bob.linesContaining(u"\r\nYou do not have the map [^4absent.map^3] in play."_s),
                 2);
        QCOMPARE(missing.size(), 1);
        QCOMPARE(missing.first().first().toString(), u"absent.map"_s);

        host->session.MaxPlayers = 5;
        host->endpoint->SendSessionState(0, 1);
        QVERIFY(state.wait(5000));
        QCOMPARE(state.last().first().toInt(), 1);
        QCOMPARE(bob.session.MaxPlayers, quint8(5));
        QCOMPARE(bob.linesContaining(u"Game details"_s), 3);
    }

    void portNotConfigured()
    {
        auto host = makeHost(8, {}, 2);
        QVERIFY(host);
        Peer bob(u"Bob"_s);
        QSignalSpy refused(bob.endpoint.get(), &SessionEndpoint::portNotConfigured);
        QSignalSpy state(bob.endpoint.get(), &SessionEndpoint::stateApplied);
        QSignalSpy ended(bob.endpoint.get(), &SessionEndpoint::hostEnded);
        QVERIFY(bob.endpoint->SendGreeting(Loopback, host->session.VLPort));
        QVERIFY(refused.wait(5000));
        QCOMPARE(refused.first().first().toInt(), 2);
        QCOMPARE(bob.endpoint->socket(0)->state(), StreamSocket::State::Closed);
        // Nothing of that state message was taken over.
        QVERIFY(state.isEmpty());
        QVERIFY(bob.players.at(0).PlayerName.isEmpty());
        QCOMPARE(bob.session.CurrentPort, quint8(1));
        QVERIFY(bob.lines.isEmpty());
        QTRY_COMPARE(host->linesContaining(u"\r\nBob"_s + Left), 1);
        QVERIFY(ended.isEmpty());
    }

    void startGame()
    {
        auto host = makeHost();
        QVERIFY(host);
        Peer bob(u"Bob"_s);
        QVERIFY(join(bob, *host));
        QSignalSpy start(bob.endpoint.get(), &SessionEndpoint::startGameRequested);
        host->players[1].IPArray = u"10.0.0.5:23513"_s;
        host->endpoint->SendStartPacket(1, u" /c1 /s2 /v1"_s);
        host->endpoint->SendStartPacket(5, u" /c1"_s); // nobody there
        QVERIFY(start.wait(5000));
        QCOMPARE(bob.players.at(1).IPArray, u"10.0.0.5:23513"_s);
        QCOMPARE(bob.session.SessionArgs, u" /c1 /s2 /v1"_s);
    }

    void connectionFailures()
    {
        // Nobody listens on a port that was just freed.
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        probe.close();
        Peer bob(u"Bob"_s);
        QSignalSpy failed(bob.endpoint.get(), &SessionEndpoint::connectionFailed);
        QVERIFY(bob.endpoint->SendGreeting(Loopback, port));
        QVERIFY(failed.wait(5000));
        QCOMPARE(failed.first().first().toInt(), sockets::ConnectionRefused);
        QCOMPARE(bob.lines.size(), 1);
        QVERIFY(bob.lines.first().startsWith(u"Winsock Error: "_s));
        QVERIFY(bob.lines.first().endsWith(u"\r\nIndex=0"_s));

        // A host cannot greet, and a second host cannot take a port in use.
        auto host = makeHost();
        QVERIFY(host);
        QVERIFY(!host->endpoint->SendGreeting(Loopback, host->session.VLPort));
        Peer other(u"Other"_s);
        other.session.VLPort = host->session.VLPort;
        other.endpoint->beginHostSession();
        QVERIFY(!other.endpoint->startHosting(QHostAddress(QHostAddress::LocalHost)));
        QCOMPARE(other.endpoint->lastError(), sockets::AddressInUse);
    }
};

QTEST_GUILESS_MAIN(TestSessionEndpoint)
#include "tst_sessionendpoint.moc"
