#include "forms.h"
#include "frmconnecting.h"
#include "frmip.h"
#include "frmserveroptions.h"
#include "frmsession.h"
#include "joinattempt.h"
#include "modregistry.h"
#include "separators.h"
#include "sessionendpoint.h"
#include "sessionplayers.h"
#include "storedlists.h"
#include "tables.h"
#include "testsupport.h"
#include "vl.h"
#include "vlsession.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using testsupport::click;
using testsupport::control;
using testsupport::MessageBoxRecorder;

namespace {

const QByteArray kMsgSep = "\x0c\x0e"_ba;
const QByteArray kToken = "QT407213"_ba;

QString label(QWidget *window, const QString &name)
{
    return control<QLabel>(window, name)->text();
}

// A host on 127.0.0.1 that records what it is sent and never answers.
class FakeHost : public QObject
{
public:
    FakeHost()
    {
        if (!testsupport::listenLow(m_server, QHostAddress::LocalHost))
            qFatal("cannot listen");
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this,
                        [this, socket] { requests.append(socket->readAll()); });
            }
        });
    }

    [[nodiscard]] quint16 port() const { return m_server.serverPort(); }

    QList<QByteArray> requests;

private:
    QTcpServer m_server;
};

// A real session host with a session and player table of its own, so that
// the client's global session does not mix with it.
class RealHost
{
public:
    RealHost(const QString &password, int maxPlayers)
    {
        m_session.isHost = true;
        m_session.OverallMode = 1;
        m_session.MaxPlayers = quint8(maxPlayers);
        m_session.Password = password;
        m_players.reset(1);
        SessionContext context;
        context.session = &m_session;
        context.players = &m_players;
        context.GetMyDetails = [](SessionPlayers &me) { me.PlayerName = u"Host"_s; };
        m_players[0].PlayerName = u"Host"_s;
        endpoint = std::make_unique<SessionEndpoint>(context);
        QTcpServer probe;
        if (!testsupport::listenLow(probe, QHostAddress::LocalHost))
            qFatal("no free port");
        m_session.VLPort = probe.serverPort();
        probe.close();
        endpoint->beginHostSession();
        if (!endpoint->startHosting(QHostAddress::LocalHost))
            qFatal("cannot host");
    }

    [[nodiscard]] quint16 port() const { return m_session.VLPort; }
    VLSession &session() { return m_session; }

    std::unique_ptr<SessionEndpoint> endpoint;

private:
    VLSession m_session;
    PlayerTable m_players;
};

// A port on 127.0.0.1 where nobody listens.
quint16 closedPort()
{
    QTcpServer server;
    testsupport::listenLow(server, QHostAddress::LocalHost);
    return server.serverPort();
}

QByteArray request(const QByteArray &password)
{
    return kToken + kMsgSep + "PLAYER" + kMsgSep + password;
}

} // namespace

class TestJoinWindows : public QObject
{
    Q_OBJECT

private:
    QPointer<FrmIP> m_join;

    FrmIP *openJoin()
    {
        m_join = ShowJoinWindow(nullptr);
        if (!QTest::qWaitForWindowExposed(m_join))
            qFatal("join window not exposed");
        m_join->setProgressInterval(5);
        return m_join;
    }

    void fill(const QString &host, const QString &port, const QString &password = QString())
    {
        control<QLineEdit>(m_join, u"txtHost"_s)->setText(host);
        control<QLineEdit>(m_join, u"txtPort"_s)->setText(port);
        control<QLineEdit>(m_join, u"txtPassword"_s)->setText(password);
    }

    // Connect may be pressed: the attempt is over.
    void verifyUnlocked()
    {
        QVERIFY(control<QPushButton>(m_join, u"cmdConnect"_s)->isEnabled());
        QVERIFY(!control<QPushButton>(m_join, u"cmdCancel"_s)->isEnabled());
        QVERIFY(control<QLineEdit>(m_join, u"txtHost"_s)->isEnabled());
        QVERIFY(control<QLineEdit>(m_join, u"txtPort"_s)->isEnabled());
        QVERIFY(control<QLineEdit>(m_join, u"txtPassword"_s)->isEnabled());
        QVERIFY(control<QProgressBar>(m_join, u"ProgBar"_s)->isHidden());
    }

    static FrmSession *session() { return FindForm<FrmSession>(u"FrmSession"_s); }

private slots:
    void initTestCase() { tables::FillPortNames(); }

    void init()
    {
        testsupport::freshProgram();
        WriteSetting(u"Player"_s, u"PlayerName"_s, u"Tester"_s);
        testsupport::setUpPort(u"R"_s);
    }

    void cleanup()
    {
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget *window : windows) {
            if (auto *form = qobject_cast<FrmSession *>(window))
                form->boolForceClose = true;
        }
        testsupport::deleteAllWindows();
    }

    void opensReady()
    {
        openJoin();
        QCOMPARE(m_join->windowTitle(), u"Join a Game"_s);
        QCOMPARE(label(m_join, u"lblStatus"_s), u"Enter session details..."_s);
        QCOMPARE(control<QLineEdit>(m_join, u"txtPort"_s)->text(), u"8501"_s);
        QCOMPARE(control<QLineEdit>(m_join, u"txtPassword"_s)->echoMode(), QLineEdit::Password);
        QVERIFY(control<QPushButton>(m_join, u"cmdConnect"_s)->isDefault());
        verifyUnlocked();
    }

    void connectChecksAddressThenPort_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("field");
        QTest::newRow("empty address")
            << QString() << u"0"_s << u"The Host Address you entered is invalid!"_s << u"txtHost"_s;
        QTest::newRow("name, not address")
            << u"duke.example"_s << u"8501"_s << u"The Host Address you entered is invalid!"_s
            << u"txtHost"_s;
        QTest::newRow("part above 255")
            << u"10.0.0.256"_s << u"8501"_s << u"The Host Address you entered is invalid!"_s
            << u"txtHost"_s;
        QTest::newRow("port zero") << u"127.0.0.1"_s << u"0"_s
                                   << u"The Port Number you entered is invalid!"_s << u"txtPort"_s;
        QTest::newRow("port not a number")
            << u"127.0.0.1"_s << u"85o1"_s << u"The Port Number you entered is invalid!"_s
            << u"txtPort"_s;
        QTest::newRow("port too big")
            << u"127.0.0.1"_s << u"40000"_s << u"The Port Number you entered is invalid!"_s
            << u"txtPort"_s;
    }

    void connectChecksAddressThenPort()
    {
        QFETCH(QString, host);
        QFETCH(QString, port);
        QFETCH(QString, message);
        QFETCH(QString, field);
        MessageBoxRecorder boxes;
        openJoin();
        fill(host, port, u"pw"_s);
        click(m_join, u"cmdConnect"_s);
        QCOMPARE(boxes.texts(), QStringList { message });
        QCOMPARE(boxes.shown().first().title, u"Error"_s);
        QCOMPARE(boxes.shown().first().icon, msgbox::Icon::Warning);
        auto *edit = control<QLineEdit>(m_join, field);
        QCOMPARE(m_join->focusWidget(), edit);
        QCOMPARE(edit->selectedText(), edit->text());
        // Nothing was started.
        QVERIFY(session() == nullptr);
        verifyUnlocked();
    }

    void savedHostsFillTheFields()
    {
        // Seven items: the last, incomplete host is not offered.
        WriteSetting(u"Game"_s, u"StoredIPs"_s,
                     JoinList({ u"Home"_s, u"10.0.0.1"_s, u"8501"_s, u"Club"_s, u"1.2.3.4"_s,
                                u"9000"_s, u"Broken"_s },
                              sep::ListSep));
        openJoin();
        auto *hosts = control<QComboBox>(m_join, u"cboHosts"_s);
        QCOMPARE(hosts->count(), 3);
        QCOMPARE(hosts->itemText(0), u"- Click Here to Select Saved Host -"_s);
        QCOMPARE(hosts->currentIndex(), 0);

        hosts->setCurrentIndex(2);
        QCOMPARE(control<QLineEdit>(m_join, u"txtHost"_s)->text(), u"1.2.3.4"_s);
        QCOMPARE(control<QLineEdit>(m_join, u"txtPort"_s)->text(), u"9000"_s);
        hosts->setCurrentIndex(0);
        QCOMPARE(control<QLineEdit>(m_join, u"txtHost"_s)->text(), QString());
        QCOMPARE(control<QLineEdit>(m_join, u"txtPort"_s)->text(), u"9000"_s);
    }

    void silentHostEndsInServerNotFound()
    {
        FakeHost host;
        openJoin();
        fill(u"127.0.0.1"_s, QString::number(host.port()), u"letmein"_s);
        click(m_join, u"cmdConnect"_s);

        QCOMPARE(label(m_join, u"lblStatus"_s), u"Connecting, Please Wait..."_s);
        QVERIFY(!control<QPushButton>(m_join, u"cmdConnect"_s)->isEnabled());
        QVERIFY(control<QPushButton>(m_join, u"cmdCancel"_s)->isEnabled());
        QVERIFY(!control<QLineEdit>(m_join, u"txtHost"_s)->isEnabled());
        QVERIFY(control<QProgressBar>(m_join, u"ProgBar"_s)->isVisible());
        // No session window exists until the host accepts.
        QVERIFY(session() == nullptr);
        QVERIFY(JoinAttempt::anyConnecting());

        QTRY_COMPARE(host.requests, QList<QByteArray> { request("letmein") });
        QTRY_COMPARE(label(m_join, u"lblStatus"_s), u"Server not found."_s);
        verifyUnlocked();
        QCOMPARE(control<QProgressBar>(m_join, u"ProgBar"_s)->value(), 100);
        // The attempt that ran out leaves nothing under way.
        QVERIFY(!JoinAttempt::anyConnecting());
        QVERIFY(session() == nullptr);
    }

    void cancelStopsTheAttempt()
    {
        FakeHost host;
        openJoin();
        m_join->setProgressInterval(FrmIP::ProgressInterval);
        fill(u"127.0.0.1"_s, QString::number(host.port()));
        click(m_join, u"cmdConnect"_s);
        QVERIFY(JoinAttempt::anyConnecting());
        QTRY_COMPARE(host.requests.size(), 1);

        click(m_join, u"cmdCancel"_s);
        QCOMPARE(label(m_join, u"lblStatus"_s), u"Cancelled by user request."_s);
        verifyUnlocked();
        QVERIFY(!JoinAttempt::anyConnecting());
        // No late tick overwrites the line.
        QTest::qWait(3 * FrmIP::ProgressInterval);
        QCOMPARE(label(m_join, u"lblStatus"_s), u"Cancelled by user request."_s);
    }

    void refusalsLeaveTheWindowUsable_data()
    {
        QTest::addColumn<int>("maxPlayers");
        QTest::addColumn<QString>("status");
        QTest::newRow("wrong password") << 8 << u"Invalid Password."_s;
        QTest::newRow("server full") << 1 << u"Server is full."_s;
    }

    void refusalsLeaveTheWindowUsable()
    {
        QFETCH(int, maxPlayers);
        QFETCH(QString, status);
        MessageBoxRecorder boxes;
        RealHost host(u"Secret"_s, maxPlayers);
        openJoin();
        m_join->setProgressInterval(FrmIP::ProgressInterval);
        // Differs from the host's only in case: still wrong.
        fill(u"127.0.0.1"_s, QString::number(host.port()),
             maxPlayers == 1 ? u"Secret"_s : u"secret"_s);
        click(m_join, u"cmdConnect"_s);
        QPointer<FrmSession> first = session();

        QTRY_COMPARE(label(m_join, u"lblStatus"_s), status);
        verifyUnlocked();
        QTRY_VERIFY(first.isNull());
        QVERIFY(m_join->isVisible());

        // A second attempt gets in: the join window goes, the session
        // window shows and the host counts two players.
        host.session().MaxPlayers = 8;
        control<QLineEdit>(m_join, u"txtPassword"_s)->setText(u"Secret"_s);
        click(m_join, u"cmdConnect"_s);
        QTRY_VERIFY(m_join.isNull());
        QPointer<FrmSession> joined = session();
        QVERIFY(joined);
        QTRY_VERIFY(joined->isVisible());
        QCOMPARE(joined->endpoint().session().MyIndex, 1);
        QTRY_COMPARE(host.endpoint->CountPlayers(), 2);
        QCOMPARE(boxes.texts(), QStringList());
    }

    void refusedConnectionEndsInServerNotFound()
    {
        openJoin();
        m_join->setProgressInterval(FrmIP::ProgressInterval);
        fill(u"127.0.0.1"_s, QString::number(closedPort()));
        click(m_join, u"cmdConnect"_s);
        QTRY_COMPARE(label(m_join, u"lblStatus"_s), u"Server not found."_s);
        verifyUnlocked();
        QTRY_VERIFY(session() == nullptr);
    }

    void connectingWindowRetriesWithAPassword()
    {
        MessageBoxRecorder boxes;
        RealHost host(u"second"_s, 8);
        QPointer<FrmConnecting> window = ShowConnecting(nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        window->StartConnection(u"127.0.0.1"_s, QString::number(host.port()), QString(),
                                u"first"_s);

        QCOMPARE(window->windowTitle(), u"Join a Session"_s);
        QCOMPARE(label(window, u"lblLine1"_s), u"Attempting to connect to:"_s);
        QCOMPARE(label(window, u"lblLine2"_s), u"Velkor Server"_s);
        QCOMPARE(label(window, u"lblLine3"_s), u"Please wait..."_s);
        QVERIFY(!control<QPushButton>(window, u"cmdRetry"_s)->isEnabled());
        QVERIFY(control<QLineEdit>(window, u"txtPassword"_s)->isHidden());
        QVERIFY(session() == nullptr);
        QVERIFY(JoinAttempt::anyConnecting());

        QTRY_COMPARE(label(window, u"lblLine1"_s), u"Invalid server password."_s);
        QCOMPARE(label(window, u"lblLine2"_s), QString());
        QCOMPARE(label(window, u"lblLine3"_s), u"Please enter password above and try again."_s);
        QCOMPARE(control<QPushButton>(window, u"cmdCancel"_s)->text(), u"Close"_s);
        QVERIFY(control<QPushButton>(window, u"cmdRetry"_s)->isEnabled());
        auto *password = control<QLineEdit>(window, u"txtPassword"_s);
        QVERIFY(!password->isHidden());
        QCOMPARE(window->focusWidget(), password);
        QVERIFY(!JoinAttempt::anyConnecting());

        password->setText(u"second"_s);
        click(window, u"cmdRetry"_s);
        QCOMPARE(label(window, u"lblLine1"_s), u"Attempting to connect to:"_s);
        QCOMPARE(control<QPushButton>(window, u"cmdCancel"_s)->text(), u"Cancel"_s);
        QTRY_VERIFY(window.isNull());
        QTRY_COMPARE(host.endpoint->CountPlayers(), 2);
        QTRY_VERIFY(session() != nullptr && session()->isVisible());
        QCOMPARE(session()->endpoint().session().Password, u"second"_s);
        QCOMPARE(boxes.texts(), QStringList());
    }

    void connectingWindowOnAFullServerCanOnlyCancel()
    {
        MessageBoxRecorder boxes;
        RealHost host(QString(), 1);
        QPointer<FrmConnecting> window = ShowConnecting(nullptr);
        window->StartConnection(u"127.0.0.1"_s, QString::number(host.port()), u"^2Frag Fest"_s);
        QCOMPARE(label(window, u"lblLine2"_s), u"^2Frag Fest"_s);
        // The refusal ends the attempt; the lines stay as they were.
        QTRY_VERIFY(!JoinAttempt::anyConnecting());
        QVERIFY(session() == nullptr);
        QCOMPARE(label(window, u"lblLine1"_s), u"Attempting to connect to:"_s);
        QCOMPARE(label(window, u"lblLine3"_s), u"Please wait..."_s);
        QVERIFY(!control<QPushButton>(window, u"cmdRetry"_s)->isEnabled());
        click(window, u"cmdCancel"_s);
        QTRY_VERIFY(window.isNull());
        QCOMPARE(boxes.texts(), QStringList());
    }

    void connectingWindowReportsFailures_data()
    {
        QTest::addColumn<QString>("port");
        QTest::newRow("nobody listens") << QString::number(closedPort());
        QTest::newRow("port from the lobby is junk") << u"80x"_s;
        QTest::newRow("port from the lobby out of range") << u"70000"_s;
    }

    void connectingWindowReportsFailures()
    {
        QFETCH(QString, port);
        MessageBoxRecorder boxes;
        QPointer<FrmConnecting> window = ShowConnecting(nullptr);
        window->StartConnection(u"127.0.0.1"_s, port, u"Somewhere"_s);
        QTRY_VERIFY(window.isNull());
        QCOMPARE(boxes.texts(), QStringList { u"Error connecting to server."_s });
        QCOMPARE(boxes.shown().first().title, u"Velkor"_s);
        QCOMPARE(boxes.shown().first().icon, msgbox::Icon::Warning);
        QTRY_VERIFY(session() == nullptr);
    }

    void connectingWindowCancelEndsTheAttempt()
    {
        FakeHost host;
        QPointer<FrmConnecting> window = ShowConnecting(nullptr);
        window->StartConnection(u"127.0.0.1"_s, QString::number(host.port()), u"Quiet"_s);
        QVERIFY(JoinAttempt::anyConnecting());
        QTRY_COMPARE(host.requests.size(), 1);
        click(window, u"cmdCancel"_s);
        QTRY_VERIFY(window.isNull());
        QVERIFY(!JoinAttempt::anyConnecting());
        QVERIFY(session() == nullptr);
    }

    void aRunningSessionCannotBeJoinedAgain()
    {
        MessageBoxRecorder boxes;
        QPointer<FrmSession> running = new FrmSession();
        running->show();
        openJoin();
        fill(u"127.0.0.1"_s, u"8501"_s);
        click(m_join, u"cmdConnect"_s);
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown().first().title, u"Join Error"_s);
        QVERIFY(running->isVisible());
        verifyUnlocked();
    }

    // Hosting options left open close when a join is accepted; hosting is
    // refused while the joined session runs, and ending it resets the
    // program's session state.
    void oneSessionAtATime()
    {
        MessageBoxRecorder boxes;
        const auto sessionWindows = [] {
            int count = 0;
            for (QWidget *window : QApplication::topLevelWidgets())
                count += qobject_cast<FrmSession *>(window) != nullptr ? 1 : 0;
            return count;
        };
        QPointer<QWidget> hosting = ShowServerOptions(nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(hosting));
        control<QComboBox>(hosting, u"cboHostName"_s)->setEditText(u"Friday Frags"_s);

        // While a join is under way, Create Session is refused.
        FakeHost silent;
        openJoin();
        fill(u"127.0.0.1"_s, QString::number(silent.port()));
        click(m_join, u"cmdConnect"_s);
        QTRY_COMPARE(silent.requests.size(), 1);
        click(hosting, u"cmdCreate"_s);
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(sessionWindows(), 0);
        click(m_join, u"cmdCancel"_s);
        QVERIFY(!JoinAttempt::anyConnecting());

        // An accepted join closes the hosting options; ending it resets the
        // program's session state.
        RealHost host(QString(), 8);
        fill(u"127.0.0.1"_s, QString::number(host.port()));
        click(m_join, u"cmdConnect"_s);
        QTRY_VERIFY(session() != nullptr && session()->isVisible());
        QTRY_VERIFY(hosting.isNull() || !hosting->isVisible());
        QVERIFY(FrmSession::running() != nullptr);
        session()->boolForceClose = true;
        session()->close();
        QTRY_VERIFY(session() == nullptr);
        QVERIFY(FrmSession::running() == nullptr);
        QVERIFY(FrmSession::running() == nullptr);
    }

    void aHostCannotJoin()
    {
        MessageBoxRecorder boxes;
        QPointer<FrmSession> hosting = new FrmSession();
        VLSession settings;
        settings.isHost = true;
        hosting->endpoint().setUp(settings);
        openJoin();
        fill(u"127.0.0.1"_s, u"8501"_s);
        click(m_join, u"cmdConnect"_s);
        QCOMPARE(boxes.texts(), QStringList { u"You're a Host and cannot act as a Client!"_s });
        QCOMPARE(qApp->findChildren<FrmSession *>().size() + 0, 0);
        QCOMPARE(session(), hosting.data());
        verifyUnlocked();
    }
};

QTEST_MAIN(TestJoinWindows)
#include "tst_joinwindows.moc"
