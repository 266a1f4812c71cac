#include "colouredtext.h"
#include "forms.h"
#include "frmoptions.h"
#include "frmplayerdetails.h"
#include "frmplayerlist.h"
#include "frmsession.h"
#include "gamesettings.h"
#include "joinattempt.h"
#include "modregistry.h"
#include "optionswindows.h"
#include "paths.h"
#include "programend.h"
#include "separators.h"
#include "sessionplayers.h"
#include "tables.h"
#include "testsupport.h"
#include "vl.h"
#include "vlsession.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTcpServer>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolBar>

#include <memory>
#include <vector>

using namespace Qt::StringLiterals;
using testsupport::control;
using testsupport::MessageBoxRecorder;

namespace {

const QString kHostName = u"^1Host^9Man"_s;
const QString kWelcome = u"\r\n^3Welcome to ^2T^4A^1R^9nwick ^3Velkor"_s;

QString viewText(QWidget *window)
{
    return control<QTextEdit>(window, u"rtbChat"_s)->toPlainText();
}

QPlainTextEdit *chatBox(QWidget *window)
{
    return control<QPlainTextEdit>(window, u"txtChat"_s);
}

QStringList playerNames(QWidget *window)
{
    const QListWidget *list = control<QListWidget>(window, u"lstPlayers"_s);
    QStringList names;
    for (int row = 0; row < list->count(); ++row)
        names.append(list->item(row)->text());
    return names;
}

QStringList panels(QWidget *window)
{
    QStringList texts;
    for (int i = 1; i <= 4; ++i)
        texts.append(control<QLabel>(window, u"StatsBar_"_s + QString::number(i))->text());
    return texts;
}

void say(QWidget *window, const QString &text)
{
    chatBox(window)->setPlainText(text);
    QTest::mouseClick(control<QPushButton>(window, u"cmdSend"_s), Qt::LeftButton);
}

// Deletes what closing left behind, so that the next test starts alone.
void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A client peer in this process: a session and player table of its own,
// and its own stored details.
struct Peer
{
    VLSession session;
    PlayerTable players;
    QString name;
    QPointer<FrmSession> window;

    SessionContext context()
    {
        SessionContext context;
        context.session = &session;
        context.players = &players;
        context.GetMyDetails = [this](SessionPlayers &player) {
            player.PlayerName = name;
            player.FullName = u"Full "_s + FixedName(name);
            player.Location = u"183"_s;
            player.Age = 30;
            player.Email = FixedName(name) + u"@example.org"_s;
            player.WebsiteURL = u"http://example.org/"_s + FixedName(name);
            player.Comments = u"likes pipebombs"_s;
            player.IPAddress = u"203.0.113.7"_s;
            player.PortNumber = u"23513"_s;
            player.LocalIP = u"192.168.1.20"_s;
            player.LocalPortNumber = u"23514"_s;
        };
        return context;
    }
};

} // namespace

class TestFrmSession : public QObject
{
    Q_OBJECT

private:
    std::vector<std::unique_ptr<Peer>> m_peers;
    QPointer<FrmSession> m_host;
    // The host's session and players, which the test may change as a host
    // of its own would.
    VLSession m_hostSession;
    PlayerTable m_hostPlayers;
    int m_quits = 0;

    SessionContext hostContext()
    {
        m_hostPlayers.reset(1);
        VL::instance().GetMyDetails(m_hostPlayers[0]);
        SessionContext context;
        context.session = &m_hostSession;
        context.players = &m_hostPlayers;
        return context;
    }

    FrmSession *openHost(int mode, const QString &password = QString())
    {
        VLSession &session = m_hostSession;
        session = VLSession();
        session.isHost = true;
        session.NumPlayers = 1;
        session.OverallMode = quint8(mode);
        session.VLPort = 0;
        session.CurrentPort = 1;
        session.MaxPlayers = 8;
        session.Password = password;
        m_host = new FrmSession(hostContext());
        m_host->show();
        m_host->StartUpSession(mode);
        return m_host;
    }

    // A client joins the host as a player would and gets its session
    // window; null when it did not get in with its first state.
    FrmSession *join(const QString &name, const QString &password = QString())
    {
        auto peer = std::make_unique<Peer>();
        peer->name = name;
        JoinAttempt attempt(nullptr, peer->context());
        QSignalSpy accepted(&attempt, &JoinAttempt::accepted);
        if (!attempt.start(u"127.0.0.1"_s, m_hostSession.VLPort, password))
            return nullptr;
        if (!accepted.wait(10000))
            return nullptr;
        auto *window = accepted.first().first().value<FrmSession *>();
        peer->window = window;
        m_peers.push_back(std::move(peer));
        if (!QTest::qWaitFor([window] { return window->endpoint().firstStateHandled(); }, 10000))
            return nullptr;
        return window;
    }

    Peer &peerOf(const FrmSession *window)
    {
        for (const auto &peer : m_peers) {
            if (peer->window == window)
                return *peer;
        }
        qFatal("no such peer");
    }

    void waitForPlayers(FrmSession *window, int count)
    {
        QTRY_COMPARE(control<QListWidget>(window, u"lstPlayers"_s)->count(), count);
    }

private slots:
    void initTestCase()
    {
        VL::instance().SetDefaultRegVals();
        tables::FillLevelTable();
        tables::FillCountryTable();
        tables::FillPortNames();
        // Port 1 is set up on this machine; port 2 is not.
        const QString exe = testsupport::scratchFolder() + u"/duke3d_w32.exe"_s;
        QFile file(exe);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        WriteSetting(u"Game"_s, u"R_ExePath"_s, exe);
        WriteSetting(u"Game"_s, u"J_ExePath"_s, QString());
        program::setEndHandler([this](int) { ++m_quits; });
    }

    void init()
    {
        VL &vl = VL::instance();
        vl.SessionWelcomeMsg = kWelcome;
        WriteSetting(u"Player"_s, u"PlayerName"_s, kHostName);
        WriteSetting(u"Player"_s, u"FullName"_s, u"Host Full Name"_s);
        WriteSetting(u"Session"_s, u"FontName"_s, u"Arial"_s);
        WriteSetting(u"Session"_s, u"FontSize"_s, u"10"_s);
        WriteSetting(u"Session"_s, u"FontColour"_s, u"16777215"_s);
        WriteSetting(u"Session"_s, u"FontStyle"_s, u"1"_s);
        m_quits = 0;
    }

    void cleanup()
    {
        // Clients first, so that none reports its host gone to a test that
        // has ended.
        for (const auto &peer : m_peers) {
            if (peer->window) {
                peer->window->boolForceClose = true;
                peer->window->close();
            }
        }
        if (m_host) {
            m_host->boolForceClose = true;
            m_host->close();
        }
        for (QWidget *window : QApplication::topLevelWidgets())
            window->close();
        flushDeletes();
        m_peers.clear();
    }

    void hostOpens_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("header");
        QTest::newRow("game") << 1
                              << u"Velkor - Gaming Session - "_s + tables::PortNames(1)
                + u" - Hosting"_s;
        QTest::newRow("chat") << 2 << u"Velkor - Chat Session - Hosting"_s;
    }

    void hostOpens()
    {
        QFETCH(int, mode);
        QFETCH(QString, header);
        FrmSession *host = openHost(mode);
        QVERIFY(FrmSession::running() != nullptr);
        QVERIFY(host->endpoint().listeningPort() != 0);
        QCOMPARE(control<QLabel>(host, u"lblHeader"_s)->text(), header);

        // The welcome line, the rule of 76 underscores and two line breaks.
        const QString view = viewText(host);
        QVERIFY(view.contains(u"Welcome to TARnwick Velkor"_s + QString(76, u'_')));
        QVERIFY(view.endsWith(u"\n\n"_s));
        QVERIFY(!view.contains(u'^'));

        QCOMPARE(playerNames(host), QStringList { u"HostMan"_s });
        QCOMPARE(control<QListWidget>(host, u"lstPlayers"_s)->item(0)->data(Qt::UserRole).toInt(),
                 0);

        const VLSession &session = m_hostSession;
        const QStringList expected = mode == 1
            ? QStringList { u"Mod: "_s + session.ModTC, u"Type: "_s + strMode(session.Mode),
                            u"Map: "_s + GetMapName(session),
                            u"Level: "_s + strDifficulty(session.Difficulty) }
            : QStringList { u"Mod: "_s, u"Type: "_s, u"Map: "_s, u"Level: "_s };
        QCOMPARE(panels(host), expected);
        if (mode == 1)
            QVERIFY(!GetMapName(session).isEmpty());

        // Every toolbar button has a picture; the later windows' entries
        // are there but disabled.
        const QList<QAction *> buttons = control<QToolBar>(host, u"Toolbar"_s)->actions();
        QCOMPARE(buttons.size(), 11);
        QVERIFY(buttons.at(2)->isSeparator());
        QVERIFY(buttons.at(5)->isSeparator());
        const QStringList texts { u"Start Game"_s,
                                  u"Stop/Start Advertising"_s,
                                  QString(),
                                  u"Game Options"_s,
                                  u"Server Options"_s,
                                  QString(),
                                  u"Velkor Options"_s,
                                  u"Player Details"_s,
                                  u"Show current file transfers"_s,
                                  u"Change Font"_s,
                                  u"Quit Session"_s };
        for (int i = 0; i < buttons.size(); ++i) {
            if (buttons.at(i)->isSeparator())
                continue;
            QCOMPARE(buttons.at(i)->toolTip(), texts.at(i));
            QVERIFY(!buttons.at(i)->icon().isNull());
        }
        for (const QString &name :
             { u"mnuSaveConversation"_s, u"mnuVelkorHelp"_s, u"mnuRequestUsermap"_s,
               u"mnuViewFileTransfers"_s, u"mnuGameOptions"_s, u"mnuChangeFont"_s })
            QVERIFY2(!control<QAction>(host, name)->isEnabled(), qPrintable(name));
        for (const QString &name :
             { u"mnuLeaveSession"_s, u"mnuQuitVelkor"_s, u"mnuServerOptions"_s, u"mnuViewPlayers"_s,
               u"mnuMainOptions"_s, u"mnuAbout"_s })
            QVERIFY2(control<QAction>(host, name)->isEnabled(), qPrintable(name));
    }

    void portInUse()
    {
        QTcpServer blocker;
        QVERIFY(blocker.listen(QHostAddress::AnyIPv4, 0));
        MessageBoxRecorder boxes;
        VLSession &session = m_hostSession;
        session = VLSession();
        session.isHost = true;
        session.OverallMode = 1;
        session.VLPort = blocker.serverPort();
        QPointer<FrmSession> host = new FrmSession(hostContext());
        QSignalSpy failed(host.data(), &FrmSession::hostingFailed);
        host->show();
        host->StartUpSession(1);

        QCOMPARE(failed.count(), 1);
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown().at(0).text,
                 u"Port number "_s + QString::number(blocker.serverPort())
                     + u" already in use by another application!"_s);
        QCOMPARE(boxes.shown().at(0).title, u"Port in use"_s);
        QCOMPARE(boxes.shown().at(0).icon, msgbox::Icon::Warning);
        QVERIFY(!host->isVisible());
        QVERIFY(FrmSession::running() == nullptr);
        QVERIFY(FrmSession::running() == nullptr);
        // The hosting options come back for another port.
        QVERIFY(IsFormLoaded(u"FrmServerOptions"_s));
        flushDeletes();
        QVERIFY(host.isNull());
    }

    void hostAloneSends()
    {
        FrmSession *host = openHost(1);
        const QString before = viewText(host);

        say(host, QString());
        QCOMPARE(viewText(host), before);

        say(host, u"anyone ^4there?"_s);
        QCOMPARE(viewText(host).mid(before.size()), u"\nHostMan says: \nanyone there?\n"_s);
        QVERIFY(chatBox(host)->toPlainText().isEmpty());

        // Enter sends as well.
        chatBox(host)->setPlainText(u"second"_s);
        QTest::keyClick(chatBox(host), Qt::Key_Return);
        QVERIFY(viewText(host).endsWith(u"says: \nsecond\n"_s));
        QVERIFY(chatBox(host)->toPlainText().isEmpty());
    }

    void colourHelp()
    {
        FrmSession *host = openHost(1);
        FrmSession *client = join(u"Visitor"_s);
        QVERIFY(client);
        waitForPlayers(host, 2);
        const QString clientBefore = viewText(client);

        say(host, u"^?"_s);
        const QString view = viewText(host);
        QVERIFY(view.contains(u"Colour List : use ^X (Where X is Number)"_s));
        QVERIFY(view.contains(u"7 = Navy Blue"_s));
        QVERIFY(view.contains(u"0 = Default Colour"_s));
        QVERIFY(!view.contains(u"says:"_s));
        QVERIFY(chatBox(host)->toPlainText().isEmpty());

        // A line said after it is the first thing the client sees.
        say(host, u"after the help"_s);
        QTRY_VERIFY(viewText(client).contains(u"after the help"_s));
        QCOMPARE(viewText(client).mid(clientBefore.size()),
                 u"\nHostMan says: \nafter the help\n"_s);
    }

    void chatLimit()
    {
        FrmSession *host = openHost(1);
        FrmSession *client = join(u"Visitor"_s);
        QVERIFY(client);
        waitForPlayers(host, 2);

        QPlainTextEdit *box = chatBox(client);
        const QString full = QString(254, u'a') + u'z';
        box->setFocus();
        box->setPlainText(full);
        QTest::keyClicks(box, u"xyz"_s);
        QCOMPARE(box->toPlainText(), full);
        box->insertPlainText(QString(40, u'b'));
        QCOMPARE(box->toPlainText(), full);
        // A paste in the middle keeps the text around it.
        box->setPlainText(QString(250, u'a'));
        QTextCursor cursor = box->textCursor();
        cursor.setPosition(10);
        box->setTextCursor(cursor);
        box->insertPlainText(u"0123456789"_s);
        QCOMPARE(box->toPlainText(), QString(10, u'a') + u"01234"_s + QString(240, u'a'));

        say(client, full);
        QTRY_VERIFY(viewText(host).contains(u"Visitor says: \n"_s + full + u'\n'));
        QVERIFY(viewText(client).contains(u"Visitor says: \n"_s + full + u'\n'));
    }

    void chatBetweenPeers()
    {
        FrmSession *host = openHost(1);
        FrmSession *first = join(u"^2Visi^3tor"_s);
        QVERIFY(first);
        FrmSession *second = join(u"Other"_s);
        QVERIFY(second);
        waitForPlayers(host, 3);
        waitForPlayers(first, 3);

        // Markup in a line is text, and a client's line reaches everybody.
        const QString line = u"<b>bold</b> &amp; <img src=x> ^1red"_s;
        say(first, line);
        const QString shown = u"Visitor says: \n<b>bold</b> &amp; <img src=x> red\n"_s;
        QTRY_VERIFY(viewText(host).contains(shown));
        QTRY_VERIFY(viewText(second).contains(shown));
        QVERIFY(viewText(first).contains(shown));

        say(host, u"welcome all"_s);
        QTRY_VERIFY(viewText(first).contains(u"HostMan says: \nwelcome all\n"_s));
        QTRY_VERIFY(viewText(second).contains(u"HostMan says: \nwelcome all\n"_s));
    }

    void playerViewInSlotOrder()
    {
        FrmSession *host = openHost(1);
        FrmSession *first = join(u"^4First"_s);
        QVERIFY(first);
        FrmSession *second = join(u"Second"_s);
        QVERIFY(second);
        waitForPlayers(host, 3);

        // The first leaves; a newcomer takes the free slot 1, before Second.
        first->boolForceClose = true;
        first->close();
        waitForPlayers(host, 2);
        FrmSession *third = join(u"^5Th^6ird"_s);
        QVERIFY(third);
        waitForPlayers(host, 3);
        QCOMPARE(playerNames(host), (QStringList { u"HostMan"_s, u"Third"_s, u"Second"_s }));
        QTRY_COMPARE(playerNames(second), playerNames(host));
        QCOMPARE(playerNames(third), playerNames(host));

        // On the host each entry carries the socket that serves the slot.
        const QListWidget *list = control<QListWidget>(host, u"lstPlayers"_s);
        for (int slot = 0; slot < list->count(); ++slot) {
            QCOMPARE(list->item(slot)->data(Qt::UserRole).toInt(),
                     int(m_hostPlayers.at(slot).WinsockIndex));
        }
        QVERIFY(list->item(1)->data(Qt::UserRole).toInt() > 0);
    }

    // Saving the main options during a session passes the new name on: the
    // host's players see it, and nobody is told "has changed names" for the
    // host's own slot.
    void hostSavesNewNameInOptions()
    {
        testsupport::MessageBoxRecorder boxes; // the save is incomplete: no port set up
        FrmSession *host = openHost(1);
        FrmSession *client = join(u"Visitor"_s);
        QVERIFY(client);
        waitForPlayers(client, 2);

        FrmOptions *window = options::ShowOptions(host);
        window->findChild<QLineEdit *>(u"txtPlayerDetails_0"_s)->setText(u"^3NewHost"_s);
        window->Save();
        QTRY_COMPARE(playerNames(client), (QStringList { u"NewHost"_s, u"Visitor"_s }));
        QCOMPARE(playerNames(host), playerNames(client));
        QVERIFY(!viewText(client).contains(u"has changed names"_s));
        window->close();
    }

    void clientHeaderAndStatusBar_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("game") << 1;
        QTest::newRow("chat") << 2;
    }

    void clientHeaderAndStatusBar()
    {
        QFETCH(int, mode);
        FrmSession *host = openHost(mode);
        FrmSession *client = join(u"Visitor"_s);
        QVERIFY(client);
        QVERIFY(client->isVisible());
        QVERIFY(client->isEnabled());
        // Every state message names the port, in chat sessions too.
        QCOMPARE(control<QLabel>(client, u"lblHeader"_s)->text(),
                 u"Velkor - Gaming Session - "_s + tables::PortNames(1) + u" - Join"_s);
        QVERIFY(!control<QPushButton>(client, u"cmdStart"_s)->isEnabled());

        VLSession &session = m_hostSession;
        session.ModTC = u"Duke <i>It</i> Out"_s;
        session.Mode = 1;
        session.Difficulty = 3;
        session.CurrentMap = u"Custom.map"_s;
        QSignalSpy states(&client->endpoint(), &SessionEndpoint::stateApplied);
        host->endpoint().SendSessionState(0, 2);
        QVERIFY(states.wait());
        if (mode == 1) {
            QCOMPARE(panels(client),
                     (QStringList { u"Mod: Duke <i>It</i> Out"_s, u"Type: "_s + strMode(1),
                                    u"Map: Custom.map"_s, u"Level: "_s + strDifficulty(3) }));
            QCOMPARE(control<QLabel>(client, u"StatsBar_1"_s)->textFormat(), Qt::PlainText);
        } else {
            QCOMPARE(panels(client),
                     (QStringList { u"Mod: "_s, u"Type: "_s, u"Map: "_s, u"Level: "_s }));
        }
        QVERIFY(viewText(client).contains(u"Game details updated by HostMan"_s));
    }

    void leaveQuestion_data()
    {
        QTest::addColumn<msgbox::Answer>("answer");
        QTest::newRow("no") << msgbox::Answer::No;
        QTest::newRow("yes") << msgbox::Answer::Yes;
    }

    void leaveQuestion()
    {
        QFETCH(msgbox::Answer, answer);
        FrmSession *host = openHost(1);
        FrmSession *client = join(u"Visitor"_s);
        QVERIFY(client);
        waitForPlayers(host, 2);

        MessageBoxRecorder boxes;
        boxes.answerNext(answer);
        control<QAction>(host, u"mnuLeaveSession"_s)->trigger();
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown().at(0).text, u"Are you sure you wish to leave this session?"_s);
        QCOMPARE(boxes.shown().at(0).title, u"Quit Session"_s);
        QCOMPARE(boxes.shown().at(0).buttons, msgbox::Buttons::YesNo);

        if (answer == msgbox::Answer::No) {
            QVERIFY(host->isVisible());
            QVERIFY(FrmSession::running() != nullptr);
            QCOMPARE(FrmSession::running(), host);
            return;
        }
        QVERIFY(!host->isVisible());
        QVERIFY(FrmSession::running() == nullptr);
        QVERIFY(FrmSession::running() == nullptr);
        // The connections went with the window.
        QTRY_VERIFY(!chatBox(client)->isEnabled());
    }

    void quitVelkor_data()
    {
        QTest::addColumn<msgbox::Answer>("answer");
        QTest::addColumn<int>("quits");
        QTest::newRow("no") << msgbox::Answer::No << 0;
        QTest::newRow("yes") << msgbox::Answer::Yes << 1;
    }

    void quitVelkor()
    {
        QFETCH(msgbox::Answer, answer);
        QFETCH(int, quits);
        FrmSession *host = openHost(2);
        MessageBoxRecorder boxes;
        boxes.answerNext(answer);
        control<QAction>(host, u"mnuQuitVelkor"_s)->trigger();
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown().at(0).text, u"Are you sure you wish to quit Velkor?"_s);
        QCOMPARE(boxes.shown().at(0).title, u"Quit Velkor"_s);
        QCOMPARE(m_quits, quits);
        QCOMPARE(host->boolForceClose, quits == 1);
    }

    void hostEnds()
    {
        FrmSession *host = openHost(1);
        FrmSession *client = join(u"Visitor"_s);
        QVERIFY(client);
        waitForPlayers(host, 2);
        say(host, u"good game"_s);
        QTRY_VERIFY(viewText(client).contains(u"good game"_s));

        host->boolForceClose = true;
        host->close();
        QTRY_VERIFY(viewText(client).contains(u"Host has ended the session."_s));
        QVERIFY(client->isVisible());
        QVERIFY(!chatBox(client)->isEnabled());
        QVERIFY(!control<QPushButton>(client, u"cmdSend"_s)->isEnabled());
        QVERIFY(!control<QPushButton>(client, u"cmdSendTo"_s)->isEnabled());
        QVERIFY(viewText(client).contains(u"HostMan says: \ngood game"_s));
        QCOMPARE(playerNames(client), (QStringList { u"HostMan"_s, u"Visitor"_s }));

        // Nothing more can be said; closing asks as usual.
        const QString before = viewText(client);
        chatBox(client)->setPlainText(u"hello?"_s);
        QTest::keyClick(chatBox(client), Qt::Key_Return);
        QCOMPARE(viewText(client), before);
        MessageBoxRecorder boxes;
        boxes.answerNext(msgbox::Answer::Yes);
        client->close();
        QCOMPARE(boxes.texts(), QStringList { u"Are you sure you wish to leave this session?"_s });
    }

    // The session's table goes with its window; the next session starts
    // from the player's own details again.
    void clientLeavesAndTheNextSessionIsFresh()
    {
        FrmSession *host = openHost(1);
        FrmSession *client = join(u"Visitor"_s);
        QVERIFY(client);
        Peer &peer = peerOf(client);
        QCOMPARE(peer.session.MyIndex, 1);
        QCOMPARE(peer.players.at(0).PlayerName, kHostName);

        client->boolForceClose = true;
        client->close();
        waitForPlayers(host, 1);
        QVERIFY(viewText(host).contains(u"Visitor has left the session."_s));
        flushDeletes();
        QPointer<FrmSession> next = new FrmSession();
        QCOMPARE(next->endpoint().session().MyIndex, 0);
        QCOMPARE(next->endpoint().players().at(0).PlayerName, kHostName);
        QVERIFY(!next->endpoint().session().isHost);
        next->boolForceClose = true;
        next->close();
    }

    void sendToPlayers_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("hostSees");
        QTest::addColumn<bool>("otherSees");
        QTest::newRow("to the other client") << u"Other"_s << false << true;
        QTest::newRow("to the host") << u"HostMan"_s << true << false;
    }

    void sendToPlayers()
    {
        QFETCH(QString, target);
        QFETCH(bool, hostSees);
        QFETCH(bool, otherSees);
        FrmSession *host = openHost(1);
        FrmSession *sender = join(u"Sender"_s);
        QVERIFY(sender);
        FrmSession *other = join(u"^3Oth^4er"_s);
        QVERIFY(other);
        waitForPlayers(host, 3);
        QTRY_COMPARE(playerNames(sender).size(), 3);

        QTest::mouseClick(control<QPushButton>(sender, u"cmdSendTo"_s), Qt::LeftButton);
        auto *chooser = sender->findChild<FrmPlayerList *>(u"FrmPlayerList"_s);
        QVERIFY(chooser);
        QVERIFY(chooser->isVisible());
        QCOMPARE(chooser->windowTitle(), u"Velkor - Player List"_s);
        QListWidget *list = control<QListWidget>(chooser, u"lstPlayers"_s);
        QCOMPARE(playerNames(chooser), (QStringList { u"HostMan"_s, u"Other"_s }));
        QPushButton *send = control<QPushButton>(chooser, u"cmdSend"_s);
        QVERIFY(!send->isEnabled());
        const int row = playerNames(chooser).indexOf(target);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
        QVERIFY(send->isEnabled());
        QCOMPARE(chooser->selectedSlots(), QList<int> { row == 0 ? 0 : 2 });
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
        QVERIFY(!send->isEnabled());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());

        chatBox(sender)->setPlainText(u"psst"_s);
        QTest::mouseClick(send, Qt::LeftButton);
        QVERIFY(!chooser->isVisible());
        QVERIFY(chatBox(sender)->toPlainText().isEmpty());
        QVERIFY(viewText(sender).contains(u"Sender says: \npsst\n"_s));

        // The one it went to has it before a public line follows; the
        // public line shows that the other one never got it.
        QTRY_VERIFY(viewText(hostSees ? host : other).contains(u"psst"_s));
        say(sender, u"public"_s);
        QTRY_VERIFY(viewText(host).contains(u"public"_s));
        QTRY_VERIFY(viewText(other).contains(u"public"_s));
        QCOMPARE(viewText(host).contains(u"psst"_s), hostSees);
        QCOMPARE(viewText(other).contains(u"psst"_s), otherSees);
    }

    void sendToClosesWithoutSending()
    {
        FrmSession *host = openHost(1);
        FrmSession *client = join(u"Visitor"_s);
        QVERIFY(client);
        waitForPlayers(host, 2);
        QTest::mouseClick(control<QPushButton>(host, u"cmdSendTo"_s), Qt::LeftButton);
        auto *chooser = host->findChild<FrmPlayerList *>(u"FrmPlayerList"_s);
        QVERIFY(chooser);
        // The host lists every active player but itself.
        QCOMPARE(playerNames(chooser), QStringList { u"Visitor"_s });
        chatBox(host)->setPlainText(u"never sent"_s);
        QTest::mouseClick(control<QPushButton>(chooser, u"cmdClose"_s), Qt::LeftButton);
        QVERIFY(!chooser->isVisible());
        QCOMPARE(chatBox(host)->toPlainText(), u"never sent"_s);
        QVERIFY(!viewText(host).contains(u"never sent"_s));
    }

    void hostOnlyWindows_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("player details") << u"mnuViewPlayers"_s;
        QTest::newRow("player details button") << u"tbPlayerDetails"_s;
        QTest::newRow("server options") << u"mnuServerOptions"_s;
    }

    void hostOnlyWindows()
    {
        QFETCH(QString, action);
        openHost(1);
        FrmSession *client = join(u"Visitor"_s);
        QVERIFY(client);
        MessageBoxRecorder boxes;
        control<QAction>(client, action)->trigger();
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown().at(0).text, u"Only the host can access this feature."_s);
        QCOMPARE(boxes.shown().at(0).title, u"Host Access Only"_s);
        QCOMPARE(boxes.shown().at(0).icon, msgbox::Icon::Error);
        QVERIFY(!client->findChild<FrmPlayerDetails *>());
        QVERIFY(!IsFormLoaded(u"FrmServerOptions"_s));
    }

    void playerDetailsOnHost()
    {
        FrmSession *host = openHost(1);
        FrmSession *client = join(u"^2Visitor"_s);
        QVERIFY(client);
        waitForPlayers(host, 2);
        control<QAction>(host, u"mnuViewPlayers"_s)->trigger();
        auto *details = host->findChild<FrmPlayerDetails *>(u"FrmPlayerDetails"_s);
        QVERIFY(details);
        QCOMPARE(details->windowTitle(), u"Velkor - Session Players"_s);
        QCOMPARE(playerNames(details), (QStringList { u"HostMan"_s, u"Visitor"_s }));
        QListWidget *list = control<QListWidget>(details, u"lstPlayers"_s);
        QCOMPARE(list->currentRow(), 0);
        QCOMPARE(control<QLineEdit>(details, u"txtFullName"_s)->text(), u"Host Full Name"_s);

        list->setCurrentRow(1);
        const auto text
            = [details](const QString &name) { return control<QLineEdit>(details, name)->text(); };
        QCOMPARE(text(u"txtFullName"_s), u"Full Visitor"_s);
        QCOMPARE(text(u"txtAge"_s), u"30"_s);
        QCOMPARE(text(u"txtEmail"_s), u"Visitor@example.org"_s);
        QCOMPARE(text(u"txtWebsite"_s), u"http://example.org/Visitor"_s);
        QCOMPARE(text(u"txtLocation"_s), tables::Countries(183));
        QCOMPARE(text(u"txtLocalIP"_s), u"192.168.1.20"_s);
        QCOMPARE(text(u"txtLocalPort"_s), u"23514"_s);
        QCOMPARE(text(u"txtIPAddress"_s), u"203.0.113.7"_s);
        QCOMPARE(text(u"txtPortNum"_s), u"23513"_s);
        QCOMPARE(control<QPlainTextEdit>(details, u"txtComments"_s)->toPlainText(),
                 u"likes pipebombs"_s);
        QVERIFY(!control<QLineEdit>(details, u"txtBandwidth"_s)->isVisibleTo(details));
        QVERIFY(!control<QPushButton>(details, u"cmdAdmin"_s)->isEnabled());
        QTest::mouseClick(control<QPushButton>(details, u"cmdOK"_s), Qt::LeftButton);
        QVERIFY(!details->isVisible());
    }

    void kickPlayer()
    {
        FrmSession *host = openHost(1);
        FrmSession *client = join(u"Visitor"_s);
        QVERIFY(client);
        waitForPlayers(host, 2);
        QListWidget *list = control<QListWidget>(host, u"lstPlayers"_s);
        QMenu *menu = control<QMenu>(host, u"mnuPlayer"_s);
        QAction *kick = menu->actions().constFirst();
        QCOMPARE(kick->text(), u"Kick Player"_s);

        // The host's own entry serves no connection.
        list->setCurrentRow(0);
        QTest::mouseClick(list->viewport(), Qt::RightButton, {},
                          list->visualItemRect(list->item(0)).center());
        QVERIFY(menu->isVisible());
        QVERIFY(!kick->isEnabled());
        menu->hide();

        list->setCurrentRow(1);
        QTest::mouseClick(list->viewport(), Qt::RightButton, {},
                          list->visualItemRect(list->item(1)).center());
        QVERIFY(menu->isVisible());
        QVERIFY(kick->isEnabled());
        kick->trigger();
        menu->hide();
        waitForPlayers(host, 1);
        QTRY_VERIFY(viewText(client).contains(u"Host has ended the session."_s));
        QVERIFY(host->endpoint().listeningPort() != 0);
        QVERIFY(viewText(host).contains(u"Visitor has left the session."_s));

        // A client has no such menu.
        QMenu *clientMenu = control<QMenu>(client, u"mnuPlayer"_s);
        QListWidget *clientList = control<QListWidget>(client, u"lstPlayers"_s);
        clientList->setCurrentRow(0);
        QTest::mouseClick(clientList->viewport(), Qt::RightButton, {},
                          clientList->visualItemRect(clientList->item(0)).center());
        QVERIFY(!clientMenu->isVisible());
    }

    void chatFont_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("style");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("colour");
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<int>("points");
        QTest::addColumn<QColor>("textColour");
        QTest::newRow("bold") << u"Courier New"_s << u"3"_s << u"12"_s << u"255"_s
                              << u"Courier New"_s << true << false << 12 << QColor(255, 0, 0);
        QTest::newRow("italic") << u"Arial"_s << u"2"_s << u"8"_s << u"65280"_s << u"Arial"_s
                                << false << true << 8 << QColor(0, 255, 0);
        QTest::newRow("bold italic") << u"Arial"_s << u"4"_s << u"14"_s << u"16711680"_s
                                     << u"Arial"_s << true << true << 14 << QColor(0, 0, 255);
        QTest::newRow("broken") << QString() << u"9"_s << u"abc"_s << u"-5"_s << u"Arial"_s << false
                                << false << 10 << QColor(255, 255, 255);
        QTest::newRow("hostile") << u"Evil\x0b\x09Font"_s << u"x"_s << u"100000"_s
                                 << u"99999999999"_s << u"Arial"_s << false << false << 10
                                 << QColor(255, 255, 255);
    }

    void chatFont()
    {
        QFETCH(QString, name);
        QFETCH(QString, style);
        QFETCH(QString, size);
        QFETCH(QString, colour);
        QFETCH(QString, family);
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        QFETCH(int, points);
        QFETCH(QColor, textColour);
        WriteSetting(u"Session"_s, u"FontName"_s, name);
        WriteSetting(u"Session"_s, u"FontStyle"_s, style);
        WriteSetting(u"Session"_s, u"FontSize"_s, size);
        WriteSetting(u"Session"_s, u"FontColour"_s, colour);
        FrmSession *host = openHost(1);

        QPlainTextEdit *box = chatBox(host);
        QCOMPARE(box->font().family(), family);
        QCOMPARE(box->font().bold(), bold);
        QCOMPARE(box->font().italic(), italic);
        QCOMPARE(box->font().pointSize(), points);
        QCOMPARE(box->palette().color(QPalette::Text), textColour);
        QCOMPARE(box->palette().color(QPalette::Base), QColor(Qt::black));

        const QStringList fields = FrmSession::PTFS(box, u"^0hi"_s).split(sep::StyleSep);
        QCOMPARE(fields,
                 (QStringList { QString::number(colourToNumber(textColour)), family,
                                QString::number(points), bold ? u"-1"_s : u"0"_s,
                                italic ? u"-1"_s : u"0"_s, u"0"_s, u"^0hi"_s }));

        // "^0" in the chat view is the player's own colour.
        say(host, u"^1red^0mine"_s);
        QTextEdit *view = control<QTextEdit>(host, u"rtbChat"_s);
        const QTextBlock last = view->document()->lastBlock().previous();
        QCOMPARE(last.text(), u"redmine"_s);
        QTextCursor cursor(last);
        cursor.setPosition(last.position() + 5);
        QCOMPARE(cursor.charFormat().foreground().color(), textColour);
    }

    void customTextStyles()
    {
        FrmSession *host = openHost(2);
        const QString before = viewText(host);
        host->AddCustomText2(u"^3style four"_s, 4, true);
        host->AddCustomText2(u"style minus"_s, -1, true);
        QCOMPARE(viewText(host), before);
        host->AddCustomText2(u"^3style three"_s, 3, true);
        QCOMPARE(viewText(host).mid(before.size()), u"style three\n"_s);
    }

    void clientPortNotConfigured()
    {
        FrmSession *host = openHost(1);
        m_hostSession.CurrentPort = 2;
        MessageBoxRecorder boxes;
        auto peer = std::make_unique<Peer>();
        peer->name = u"Visitor"_s;
        JoinAttempt attempt(nullptr, peer->context());
        m_peers.push_back(std::move(peer));
        QSignalSpy accepted(&attempt, &JoinAttempt::accepted);
        QVERIFY(attempt.start(u"127.0.0.1"_s, m_hostSession.VLPort, QString()));
        QVERIFY(accepted.wait(5000));
        QPointer<FrmSession> client = accepted.first().first().value<FrmSession *>();
        QTRY_VERIFY(!boxes.shown().isEmpty());
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown().at(0).text,
                 u"The server you are trying to join is using "_s + tables::PortNames(2)
                     + u"\nand it is not configured for use on your machine.\n\n"
                       u"Please enter the main options to fix."_s);
        QCOMPARE(boxes.shown().at(0).title, u"Not Configured"_s);
        QCOMPARE(boxes.shown().at(0).icon, msgbox::Icon::Warning);
        // Closed without asking.
        flushDeletes();
        QVERIFY(client.isNull());
        waitForPlayers(host, 1);
    }

    void clientRefusedOrFailed_data()
    {
        QTest::addColumn<bool>("refusal");
        QTest::newRow("wrong password") << true;
        QTest::newRow("nobody listens") << false;
    }

    void clientRefusedOrFailed()
    {
        QFETCH(bool, refusal);
        quint16 port = 0;
        if (refusal) {
            openHost(1, u"secret"_s);
            port = m_hostSession.VLPort;
        } else {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            port = probe.serverPort();
        }
        MessageBoxRecorder boxes;
        auto peer = std::make_unique<Peer>();
        peer->name = u"Visitor"_s;
        JoinAttempt attempt(nullptr, peer->context());
        m_peers.push_back(std::move(peer));
        QSignalSpy refused(&attempt, &JoinAttempt::refused);
        QSignalSpy failed(&attempt, &JoinAttempt::failed);
        QVERIFY(attempt.start(u"127.0.0.1"_s, port, u"SECRET"_s));
        QTRY_VERIFY(refused.count() + failed.count() > 0);
        QCOMPARE(refused.count(), refusal ? 1 : 0);
        QCOMPARE(failed.count(), refusal ? 0 : 1);
        if (refusal) {
            QCOMPARE(refused.at(0).at(0).value<SessionEndpoint::Refusal>(),
                     SessionEndpoint::Refusal::WrongPassword);
        }
        // Nothing to ask and no window: the attempt never got in.
        QVERIFY(boxes.shown().isEmpty());
        QVERIFY(!attempt.connecting());
        flushDeletes();
        int windows = 0;
        for (QWidget *window : QApplication::topLevelWidgets())
            windows += qobject_cast<FrmSession *>(window) != nullptr ? 1 : 0;
        QCOMPARE(windows, refusal ? 1 : 0); // the host's own, when there is one
    }

    void hostCannotJoin()
    {
        FrmSession *host = openHost(1);
        MessageBoxRecorder boxes;
        JoinAttempt attempt(nullptr);
        QVERIFY(!attempt.start(u"127.0.0.1"_s, 8501, QString()));
        QCOMPARE(boxes.texts(), QStringList { u"You're a Host and cannot act as a Client!"_s });
        QCOMPARE(boxes.shown().at(0).title, u"Error"_s);
        QVERIFY(host->endpoint().listeningPort() != 0);
    }

    void hostTransferButton()
    {
        FrmSession *host = openHost(1);
        MessageBoxRecorder boxes;
        QAction *button = control<QAction>(host, u"tbFileTransfers"_s);
        QVERIFY(button->isEnabled());
        button->trigger();
        QCOMPARE(boxes.texts(),
                 QStringList { u"File Transfer viewer for uploads not available yet."_s });
        QCOMPARE(boxes.shown().at(0).title, u"Not Available"_s);
    }
    void mainOptionsAndAbout()
    {
        FrmSession *host = openHost(2);
        control<QAction>(host, u"tbVelkorOptions"_s)->trigger();
        QWidget *options = FindForm(u"FrmOptions"_s);
        QVERIFY(options);
        QVERIFY(options->isVisible());
        QCOMPARE(control<QTabWidget>(options, u"vlTab"_s)->currentIndex(), 0);
        control<QAction>(host, u"mnuAbout"_s)->trigger();
        QWidget *about = FindForm(u"FrmAbout"_s);
        QVERIFY(about);
        QVERIFY(about->isVisible());
    }
};

QTEST_MAIN(TestFrmSession)
#include "tst_frmsession.moc"
