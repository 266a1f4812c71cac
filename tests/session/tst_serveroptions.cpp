#include "forms.h"
#include "frmserveroptions.h"
#include "frmsession.h"
#include "modregistry.h"
#include "sessioncodec.h"
#include "sessionplayers.h"
#include "tables.h"
#include "testsupport.h"
#include "vl.h"
#include "vlsession.h"
#include "wiretext.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTextEdit>

using namespace Qt::StringLiterals;
using testsupport::click;
using testsupport::control;
using testsupport::MessageBoxRecorder;

namespace {

QStringList items(QComboBox *box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

quint16 freePort()
{
    QTcpServer server;
    testsupport::listenLow(server, QHostAddress::AnyIPv4);
    return server.serverPort();
}

// A lobby source for the paths that need lobbies, with the reporting
// switches it was asked for.
struct LobbyLog
{
    QStringList calls;
};

void plugLobbies(LobbyLog &log, const QList<LobbyChoice> &lobbies)
{
    setLobbySource(
        { [lobbies] { return lobbies; }, [&log] { log.calls << u"refresh"_s; },
          [&log](bool sLog) { log.calls << u"start "_s + (sLog ? u"log"_s : u"quiet"_s); },
          [&log](bool sLog) { log.calls << u"stop "_s + (sLog ? u"log"_s : u"quiet"_s); } });
}

} // namespace

class TestServerOptions : public QObject
{
    Q_OBJECT

private:
    QPointer<FrmServerOptions> m_window;

    FrmServerOptions *open()
    {
        m_window = ShowServerOptions(nullptr);
        if (!QTest::qWaitForWindowExposed(m_window))
            qFatal("server options not exposed");
        return m_window;
    }

    QComboBox *combo(const QString &name) { return control<QComboBox>(m_window, name); }

    VLSession m_session;
    PlayerTable m_players;

    // A running host session of three players, in a window that does not
    // listen.
    void runningSession(bool advertise, qint16 lobby)
    {
        m_session = VLSession();
        m_players.reset(1);
        SessionContext context;
        context.session = &m_session;
        context.players = &m_players;
        new FrmSession(context);
        QVERIFY(FrmSession::running() != nullptr);
        VL::instance().NetworkType = 1;
        VLSession &session = m_session;
        session.isHost = true;
        session.OverallMode = 1;
        session.HostName = u"Running"_s;
        session.CurrentPort = 1;
        session.MaxPlayers = 6;
        session.VLPort = 9100;
        session.Password = u"pw"_s;
        session.Advertise = advertise;
        session.LobbyUID = lobby;
        m_players.ensureSize(8);
        m_players[0].IsActive = true;
        m_players[1].IsActive = true;
        m_players[3].IsActive = true;
    }

private slots:
    void initTestCase() { tables::FillPortNames(); }

    void init()
    {
        testsupport::freshProgram();
        setLobbySource({});
    }

    void cleanup()
    {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (auto *form = qobject_cast<FrmSession *>(window))
                form->boolForceClose = true;
        }
        testsupport::deleteAllWindows();
        setLobbySource({});
    }

    void opensWithDefaults()
    {
        testsupport::setUpPort(u"R"_s);
        WriteSetting(u"Game"_s, u"DefaultPort"_s, u"1"_s);
        open();
        QCOMPARE(m_window->windowTitle(), u"Velkor - Server and Hosting Options"_s);
        QCOMPARE(combo(u"cboSessionType"_s)->currentText(), u"Game"_s);
        QVERIFY(!combo(u"cboSessionType"_s)->isEnabled());
        QCOMPARE(combo(u"cboNetworkMode"_s)->currentText(), u"Internet"_s);
        QVERIFY(!combo(u"cboNetworkMode"_s)->isEnabled());
        QCOMPARE(items(combo(u"cboMaxConnections"_s)), QStringList { u"N/A"_s });
        QCOMPARE(control<QLineEdit>(m_window, u"txtPort"_s)->text(), u"8501"_s);
        QCOMPARE(items(combo(u"cboDukePort"_s)),
                 (QStringList { u"O - Mordane Port"_s, u"\u00D8 - JFDuke3D Port"_s,
                                u"\u00D8 - EDuke32"_s, u"\u00D8 - xDuke's Port"_s }));
        QCOMPARE(combo(u"cboDukePort"_s)->currentIndex(), 0);
        QCOMPARE(items(combo(u"cboMaxPlayers"_s)),
                 (QStringList { u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s, u"8"_s }));
        QCOMPARE(combo(u"cboMaxPlayers"_s)->currentText(), u"4"_s);
        QVERIFY(control<QPushButton>(m_window, u"cmdCreate"_s)->isDefault());
        QVERIFY(control<QPushButton>(m_window, u"cmdUpdate"_s)->isHidden());
        QVERIFY(control<QLabel>(m_window, u"lblNote"_s)->isVisible());
    }

    void withoutLobbiesAdvertisingIsOff()
    {
        open();
        QCOMPARE(items(combo(u"cboLobbies"_s)), QStringList { u"No Lobbies found"_s });
        QCOMPARE(combo(u"cboAdvertise"_s)->currentText(), u"No"_s);
        QVERIFY(!combo(u"cboAdvertise"_s)->isEnabled());
        QVERIFY(!combo(u"cboLobbies"_s)->isEnabled());
        // Refresh finds none again; Reset does not bring "Yes" back.
        click(m_window, u"cmdRefresh"_s);
        click(m_window, u"cmdReset"_s);
        QCOMPARE(combo(u"cboAdvertise"_s)->currentText(), u"No"_s);
        QVERIFY(!combo(u"cboAdvertise"_s)->isEnabled());
    }

    void lobbiesFromTheSourceCanBeChosen()
    {
        LobbyLog log;
        plugLobbies(log, { { 4, u"North"_s }, { 9, u"<b>South</b>"_s } });
        open();
        QCOMPARE(items(combo(u"cboLobbies"_s)), (QStringList { u"North"_s, u"<b>South</b>"_s }));
        QCOMPARE(combo(u"cboAdvertise"_s)->currentText(), u"Yes"_s);
        QVERIFY(combo(u"cboAdvertise"_s)->isEnabled());
        QVERIFY(combo(u"cboLobbies"_s)->isEnabled());
        combo(u"cboAdvertise"_s)->setCurrentIndex(1);
        QVERIFY(!combo(u"cboLobbies"_s)->isEnabled());
        combo(u"cboAdvertise"_s)->setCurrentIndex(0);
        click(m_window, u"cmdRefresh"_s);
        QCOMPARE(log.calls, QStringList { u"refresh"_s });
    }

    void createChecksInOrder_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("portSetUp");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("title");
        // The port number is looked at before the name and the game port.
        QTest::newRow("bad port, no name")
            << u"0"_s << QString() << false << u"Port number enter is invalid!"_s << u"Velkor"_s;
        QTest::newRow("port not a number")
            << u"8x01"_s << u"Named"_s << true << u"Port number enter is invalid!"_s << u"Velkor"_s;
        QTest::newRow("no name") << u"8501"_s << QString() << false
                                 << u"Please enter a server name!"_s << u"Error"_s;
        QTest::newRow("game port not set up")
            << u"8501"_s << u"Named"_s << false
            << u"Mordane Port has not been configured yet. Please configure in the main options first."_s
            << u"Not Configured"_s;
    }

    void createChecksInOrder()
    {
        QFETCH(QString, port);
        QFETCH(QString, name);
        QFETCH(bool, portSetUp);
        QFETCH(QString, message);
        QFETCH(QString, title);
        if (portSetUp)
            testsupport::setUpPort(u"R"_s);
        MessageBoxRecorder boxes;
        open();
        control<QLineEdit>(m_window, u"txtPort"_s)->setText(port);
        combo(u"cboHostName"_s)->setEditText(name);
        click(m_window, u"cmdCreate"_s);
        QCOMPARE(boxes.texts(), QStringList { message });
        QCOMPARE(boxes.shown().first().title, title);
        if (title != u"Not Configured")
            QCOMPARE(boxes.shown().first().icon, msgbox::Icon::Error);
        if (message.startsWith(u"Port"))
            QCOMPARE(m_window->focusWidget(), control<QLineEdit>(m_window, u"txtPort"_s));
        // Nothing stored, nothing started.
        QVERIFY(m_window->isVisible());
        QVERIFY(FrmSession::running() == nullptr);
        QCOMPARE(ReadSetting(u"Session"_s, u"HostName"_s), QString());
        QVERIFY(FindForm<FrmSession>(u"FrmSession"_s) == nullptr);
    }

    void noSavedNameLeavesTheNameEmpty()
    {
        open();
        QCOMPARE(combo(u"cboHostName"_s)->currentText(), QString());
    }

    void storedNameOrFirstSavedName()
    {
        WriteSetting(u"Session"_s, u"HostNames"_s,
                     u"Alpha\x0e\x0f"
                     u"Bravo"_s);
        open();
        QCOMPARE(items(combo(u"cboHostName"_s)), (QStringList { u"Alpha"_s, u"Bravo"_s }));
        QCOMPARE(combo(u"cboHostName"_s)->currentText(), u"Alpha"_s);
        m_window->close();
        WriteSetting(u"Session"_s, u"HostName"_s, u"Last Used"_s);
        open();
        QCOMPARE(combo(u"cboHostName"_s)->currentText(), u"Last Used"_s);
    }

    void createSessionHostsOnTheChosenPort()
    {
        testsupport::setUpPort(u"R"_s);
        open();
        const quint16 port = freePort();
        control<QLineEdit>(m_window, u"txtPort"_s)->setText(QString::number(port));
        combo(u"cboHostName"_s)->setEditText(u"Friday Frags"_s);
        combo(u"cboMaxPlayers"_s)->setCurrentIndex(5);
        control<QLineEdit>(m_window, u"txtPassword"_s)->setText(u"Secret"_s);
        click(m_window, u"cmdCreate"_s);

        QVERIFY(FrmSession::running() != nullptr);
        const VLSession &session = FrmSession::running()->endpoint().session();
        QVERIFY(session.isHost);
        QCOMPARE(session.NumPlayers, 1);
        QCOMPARE(session.OverallMode, 1);
        QCOMPARE(VL::instance().NetworkType, 1);
        QCOMPARE(session.VLPort, port);
        QCOMPARE(session.MaxPlayers, 6);
        QCOMPARE(session.CurrentPort, 1);
        QCOMPARE(session.HostName, u"Friday Frags"_s);
        QCOMPARE(session.Password, u"Secret"_s);
        QCOMPARE(session.LobbyUID, -1);
        QVERIFY(!session.Advertise);
        QCOMPARE(ReadSetting(u"Session"_s, u"HostName"_s), u"Friday Frags"_s);

        QPointer<FrmSession> host = FindForm<FrmSession>(u"FrmSession"_s);
        QVERIFY(host);
        QVERIFY(host->isVisible());
        QTRY_VERIFY(m_window.isNull());
        QTcpSocket client;
        client.connectToHost(QHostAddress::LocalHost, port);
        QVERIFY(client.waitForConnected(5000));
    }

    void createSessionOnAPortInUseBringsTheOptionsBack()
    {
        testsupport::setUpPort(u"R"_s);
        QTcpServer taken;
        QVERIFY(testsupport::listenLow(taken, QHostAddress::AnyIPv4));
        MessageBoxRecorder boxes;
        open();
        control<QLineEdit>(m_window, u"txtPort"_s)->setText(QString::number(taken.serverPort()));
        combo(u"cboHostName"_s)->setEditText(u"Busy"_s);
        click(m_window, u"cmdCreate"_s);
        QCOMPARE(boxes.texts(),
                 QStringList { u"Port number "_s + QString::number(taken.serverPort())
                               + u" already in use by another application!"_s });
        QTRY_VERIFY(FindForm<FrmSession>(u"FrmSession"_s) == nullptr);
        QVERIFY(m_window);
        QVERIFY(m_window->isVisible());
        QVERIFY(FrmSession::running() == nullptr);
        QVERIFY(FrmSession::running() == nullptr);
        QVERIFY(control<QPushButton>(m_window, u"cmdCreate"_s)->isVisible());
    }

    void updateSessionTellsThePlayers()
    {
        testsupport::setUpPort(u"R"_s);
        WriteSetting(u"Player"_s, u"PlayerName"_s, u"^2Hoster"_s);
        open();
        const quint16 port = freePort();
        control<QLineEdit>(m_window, u"txtPort"_s)->setText(QString::number(port));
        combo(u"cboHostName"_s)->setEditText(u"Before"_s);
        click(m_window, u"cmdCreate"_s);
        QPointer<FrmSession> host = FindForm<FrmSession>(u"FrmSession"_s);
        QVERIFY(host);
        QTRY_VERIFY(m_window.isNull());

        // A raw client gets in as slot 1.
        QTcpSocket client;
        QByteArray received;
        connect(&client, &QTcpSocket::readyRead, this, [&] { received += client.readAll(); });
        client.connectToHost(QHostAddress::LocalHost, port);
        QVERIFY(client.waitForConnected(5000));
        client.write(wire::toBytes(session::authorisationRequest(QString())));
        QTRY_VERIFY(received.startsWith("QT407213"));
        received.clear();
        SessionPlayers guest;
        guest.PlayerName = u"Guest"_s;
        client.write(wire::toBytes(
            session::buildMessage(u"FirstDetails", { session::encodePlayerRecord(guest) })));
        QTRY_VERIFY(received.startsWith("Session"));
        QTRY_COMPARE(host->endpoint().CountPlayers(), 2);
        received.clear();

        open();
        QVERIFY(control<QPushButton>(m_window, u"cmdUpdate"_s)->isVisible());
        // One place for two players is refused.
        MessageBoxRecorder boxes;
        combo(u"cboMaxPlayers"_s)->setCurrentIndex(0);
        click(m_window, u"cmdUpdate"_s);
        QCOMPARE(boxes.shown().size(), 1);
        QVERIFY(received.isEmpty());

        combo(u"cboHostName"_s)->setEditText(u"After"_s);
        combo(u"cboMaxPlayers"_s)->setCurrentIndex(2);
        click(m_window, u"cmdUpdate"_s);
        QTRY_VERIFY(m_window.isNull());
        QCOMPARE(host->endpoint().session().HostName, u"After"_s);
        QCOMPARE(host->endpoint().session().MaxPlayers, 3);
        QTRY_VERIFY(received.startsWith("Session\x0c\x0e"
                                        "2\x0c\x0e"));
        const QStringList fields = session::splitMessage(wire::toText(received));
        QVERIFY(fields.size() >= 6);
        QCOMPARE(fields.at(3), u"2"_s);
        QCOMPARE(fields.at(4), u"3"_s);
        const QString chat = host->findChild<QTextEdit *>(u"rtbChat"_s)->toPlainText();
        QVERIFY2(chat.contains(u"Game details updated by Hoster"_s), qPrintable(chat));
        QCOMPARE(boxes.shown().size(), 1);
    }

    void openedDuringASessionShowsItsValues()
    {
        LobbyLog log;
        plugLobbies(log, { { 4, u"North"_s }, { 9, u"South"_s } });
        runningSession(true, 9);
        WriteSetting(u"Session"_s, u"HostNames"_s, u"Saved"_s);
        open();
        QVERIFY(control<QPushButton>(m_window, u"cmdCreate"_s)->isHidden());
        auto *update = control<QPushButton>(m_window, u"cmdUpdate"_s);
        QVERIFY(update->isVisible());
        QVERIFY(update->isEnabled());
        QVERIFY(update->isDefault());
        QVERIFY(!control<QLineEdit>(m_window, u"txtPort"_s)->isEnabled());
        QCOMPARE(control<QLineEdit>(m_window, u"txtPort"_s)->text(), u"9100"_s);
        QCOMPARE(control<QLineEdit>(m_window, u"txtPassword"_s)->text(), u"pw"_s);
        QCOMPARE(combo(u"cboHostName"_s)->currentText(), u"Running"_s);
        QCOMPARE(items(combo(u"cboHostName"_s)), QStringList { u"Saved"_s });
        QCOMPARE(combo(u"cboMaxPlayers"_s)->currentText(), u"6"_s);
        QCOMPARE(combo(u"cboAdvertise"_s)->currentText(), u"Yes"_s);
        QCOMPARE(combo(u"cboLobbies"_s)->currentText(), u"South"_s);
    }

    void chatSessionCaptionsMaxUsers()
    {
        runningSession(false, -1);
        m_session.OverallMode = 2;
        open();
        QCOMPARE(combo(u"cboSessionType"_s)->currentText(), u"Chat"_s);
        QCOMPARE(control<QLabel>(m_window, u"lblMaxPlayers"_s)->text().remove(u'&'),
                 u"Max Users:"_s);
        QVERIFY(!combo(u"cboTCMod"_s)->isEnabled());
        QVERIFY(combo(u"cboDukePort"_s)->isEnabled());
        QCOMPARE(combo(u"cboAdvertise"_s)->currentText(), u"No"_s);
    }

    void updateRefusesFewerPlacesThanPlayers()
    {
        testsupport::setUpPort(u"R"_s);
        runningSession(false, -1);
        MessageBoxRecorder boxes;
        open();
        combo(u"cboMaxPlayers"_s)->setCurrentIndex(1);
        click(m_window, u"cmdUpdate"_s);
        QCOMPARE(
            boxes.texts(),
            QStringList {
                u"Unable to set Maximum Players value lower than players currently in session."_s });
        QCOMPARE(boxes.shown().first().title, u"Error"_s);
        QCOMPARE(m_session.MaxPlayers, 6);
        QVERIFY(m_window->isVisible());

        // Three places for three players will do.
        combo(u"cboMaxPlayers"_s)->setCurrentIndex(2);
        click(m_window, u"cmdUpdate"_s);
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(m_session.MaxPlayers, 3);
        QTRY_VERIFY(m_window.isNull());
    }

    void updateRestartsReportingOnlyForANewLobby_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<int>("advertise");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<int>("lobby");
        QTest::newRow("same lobby") << 1 << 0 << QStringList() << 9;
        QTest::newRow("other lobby")
            << 0 << 0 << QStringList { u"stop quiet"_s, u"start log"_s } << 4;
        QTest::newRow("advertising off") << 1 << 1 << QStringList { u"stop log"_s } << -1;
    }

    void updateRestartsReportingOnlyForANewLobby()
    {
        QFETCH(int, choice);
        QFETCH(int, advertise);
        QFETCH(QStringList, calls);
        QFETCH(int, lobby);
        testsupport::setUpPort(u"R"_s);
        LobbyLog log;
        plugLobbies(log, { { 4, u"North"_s }, { 9, u"South"_s } });
        runningSession(true, 9);
        open();
        combo(u"cboLobbies"_s)->setCurrentIndex(choice);
        combo(u"cboAdvertise"_s)->setCurrentIndex(advertise);
        click(m_window, u"cmdUpdate"_s);
        QTRY_VERIFY(m_window.isNull());
        QCOMPARE(log.calls, calls);
        QCOMPARE(m_session.LobbyUID, lobby);
    }
};

QTEST_MAIN(TestServerOptions)
#include "tst_serveroptions.moc"
