#include "forms.h"
#include "frmmain.h"
#include "frmsession.h"
#include "listviews.h"
#include "programend.h"
#include "testsupport.h"
#include "vlsession.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QTreeView>

namespace {

QStringList headerLabels(const QAbstractItemView *view)
{
    QStringList labels;
    const QAbstractItemModel *model = view->model();
    for (int column = 0; column < model->columnCount(); ++column)
        labels.append(model->headerData(column, Qt::Horizontal).toString());
    return labels;
}

QString plain(QString text)
{
    return text.remove(u'&');
}

} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT

private:
    QPointer<FrmMain> m_window;

    template <typename T> T *child(const char *name) const
    {
        T *found = m_window->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            qWarning("no child %s", name);
        return found;
    }

    QTreeView *list(const char *name) const { return child<QTreeView>(name); }

private slots:
    void init()
    {
        testsupport::freshSettingsStore();
        m_window = new FrmMain();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
    }

    void cleanup()
    {
        delete m_window.data(); // without the closing question
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (!window->parentWidget())
                window->deleteLater();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void frame()
    {
        QCOMPARE(m_window->objectName(), QStringLiteral("FrmMain"));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Velkor - Preview Release"));
        QVERIFY(IsFormLoaded(QStringLiteral("FrmMain")));

        const QLabel *header = child<QLabel>("lblHeader");
        QVERIFY(header);
        QCOMPARE(header->text(),
                 QStringLiteral("Velkor - Online Gaming Application for Duke Nukem 3D."));
        QVERIFY(header->autoFillBackground());
        const QColor back = header->palette().color(QPalette::Window);
        const QColor fore = header->palette().color(QPalette::WindowText);
        QVERIFY(back.blue() > 100 && back.red() < 60 && back.green() < 60);
        QVERIFY(fore.red() > 150 && qAbs(fore.red() - fore.blue()) < 30);

        const QTreeView *tree = list("lstItems");
        QCOMPARE(tree->palette().color(QPalette::Base), QColor(Qt::black));
        QCOMPARE(tree->palette().color(QPalette::Text), QColor(Qt::cyan));
        QVERIFY(child<QSplitter>("lstGroup"));
        QVERIFY(child<QListView>("lstTools"));
        QVERIFY(child<QToolBar>("Toolbar"));

        const QStringList panels { QStringLiteral("0 Lobby(s)"), QStringLiteral("0 Game Server(s)"),
                                   QStringLiteral("0 Chat Server(s)"),
                                   QStringLiteral(" Version 2.0 - Preview Release 1.3") };
        const QStatusBar *bar = child<QStatusBar>("StatsBar");
        QVERIFY(bar);
        for (int panel = 0; panel < panels.size(); ++panel) {
            const auto *label = bar->findChild<QLabel *>(u"StatsBar_" + QString::number(panel + 1));
            QVERIFY(label);
            QCOMPARE(label->text(), panels.at(panel));
            QVERIFY(label->isVisible());
        }
    }

    void treeNodes()
    {
        QTreeView *tree = list("lstItems");
        // A second build replaces the nodes rather than adding to them.
        CreateTVObjects(tree);
        const QAbstractItemModel *model = tree->model();
        QCOMPARE(model->rowCount(), 1);
        const QModelIndex root = model->index(0, 0);
        QCOMPARE(TVNodeKey(root), QStringLiteral("DN3D"));
        QCOMPARE(root.data().toString(), QStringLiteral("Duke Nukem 3D"));
        QVERIFY(tree->isExpanded(root));
        QCOMPARE(model->rowCount(root), 2);
        QCOMPARE(TVNodeKey(model->index(0, 0, root)), QStringLiteral("VLGame"));
        QCOMPARE(model->index(0, 0, root).data().toString(), QStringLiteral("Game Servers"));
        QCOMPARE(TVNodeKey(model->index(1, 0, root)), QStringLiteral("VLPlayers"));
        QCOMPARE(model->index(1, 0, root).data().toString(), QStringLiteral("Players"));
        QCOMPARE(FindTVNode(tree, QStringLiteral("VLPlayers")), model->index(1, 0, root));
        QVERIFY(!FindTVNode(tree, QStringLiteral("VLChat")).isValid());
        QVERIFY(!model->index(0, 0, root).data(Qt::DecorationRole).value<QIcon>().isNull());
    }

    void startingColumns()
    {
        QTreeView *servers = list("lstServers");
        QTreeView *players = list("lstPlayers");
        QCOMPARE(LVMode(servers), QStringLiteral("SERVERS"));
        QCOMPARE(headerLabels(servers), LVColumns(QStringLiteral("SERVERS")));
        QCOMPARE(LVMode(players), QStringLiteral("PLAYERS"));
        QCOMPARE(headerLabels(players), LVColumns(QStringLiteral("PLAYERS")));
        for (const QTreeView *view : { servers, players }) {
            QCOMPARE(view->selectionBehavior(), QAbstractItemView::SelectRows);
            QCOMPARE(view->selectionMode(), QAbstractItemView::SingleSelection);
            QVERIFY(!view->isSortingEnabled());
        }
    }

    void columnSets_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QStringList>("columns");
        QTest::newRow("servers")
            << QStringLiteral("SERVERS")
            << QStringList { QStringLiteral("Server Name"), QStringLiteral("Host"),
                             QStringLiteral("Port"),        QStringLiteral("Mod/TC"),
                             QStringLiteral("Map"),         QStringLiteral("No. Players"),
                             QStringLiteral("Location"),    QStringLiteral("VL Version") };
        QTest::newRow("chat servers")
            << QStringLiteral("CHATSERVERS")
            << QStringList { QStringLiteral("Server Name"), QStringLiteral("Host"),
                             QStringLiteral("No. Players"), QStringLiteral("Location"),
                             QStringLiteral("VL Version") };
        QTest::newRow("players") << QStringLiteral(
            "PLAYERS") << QStringList { QStringLiteral("Player Name"), QStringLiteral("Location") };
        QTest::newRow("all players")
            << QStringLiteral("ALLPLAYERS")
            << QStringList { QStringLiteral("Player Name"), QStringLiteral("Location"),
                             QStringLiteral("Server Name") };
        QTest::newRow("unknown") << QStringLiteral("LOBBIES") << QStringList();
        QTest::newRow("lower case is another name") << QStringLiteral("servers") << QStringList();
        QTest::newRow("empty") << QString() << QStringList();
    }

    void columnSets()
    {
        QFETCH(QString, mode);
        QFETCH(QStringList, columns);
        // Onto the players list, which starts with another set.
        QTreeView *view = list("lstPlayers");
        QAbstractItemModelTester tester(view->model());
        SetLVHeaders(view, mode);
        QCOMPARE(headerLabels(view), columns);
        QCOMPARE(LVMode(view), mode);
    }

    void unchangedModeKeepsColumnsAndRows()
    {
        QTreeView *view = list("lstServers");
        auto *model = qobject_cast<QStandardItemModel *>(view->model());
        QVERIFY(model);
        QAbstractItemModelTester tester(model);
        model->appendRow({ new QStandardItem(QStringLiteral("Duke's Den")),
                           new QStandardItem(QStringLiteral("192.0.2.7")) });
        view->header()->resizeSection(0, 180);

        QSignalSpy resets(model, &QAbstractItemModel::modelReset);
        QSignalSpy headers(model, &QAbstractItemModel::headerDataChanged);
        QSignalSpy columns(model, &QAbstractItemModel::columnsInserted);
        SetLVHeaders(view, QStringLiteral("SERVERS"));
        QCOMPARE(resets.count(), 0);
        QCOMPARE(headers.count(), 0);
        QCOMPARE(columns.count(), 0);
        QCOMPARE(model->rowCount(), 1);
        QCOMPARE(view->header()->sectionSize(0), 180);

        SetLVHeaders(view, QStringLiteral("ALLPLAYERS"));
        QVERIFY(resets.count() + columns.count() > 0);
        QCOMPARE(model->rowCount(), 0);
        QCOMPARE(headerLabels(view), LVColumns(QStringLiteral("ALLPLAYERS")));
    }

    void headerClickKeepsRowOrder()
    {
        QTreeView *view = list("lstServers");
        auto *model = qobject_cast<QStandardItemModel *>(view->model());
        for (const char *name : { "Zed's Place", "Alpha Base", "Mid Town" })
            model->appendRow(new QStandardItem(QString::fromLatin1(name)));
        QHeaderView *header = view->header();
        const QPoint middle(header->sectionViewportPosition(0) + header->sectionSize(0) / 2,
                            header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, middle);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, middle);
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("Zed's Place"));
        QCOMPARE(model->index(1, 0).data().toString(), QStringLiteral("Alpha Base"));
        QCOMPARE(model->index(2, 0).data().toString(), QStringLiteral("Mid Town"));
    }

    void toolBar()
    {
        const QToolBar *bar = child<QToolBar>("Toolbar");
        const QList<QAction *> actions = bar->actions();
        QCOMPARE(actions.size(), 10);
        const QStringList texts { QStringLiteral("Start a Session"),
                                  QStringLiteral("Join a session"),
                                  QString(),
                                  QStringLiteral("Start single player mode"),
                                  QStringLiteral("Start multiplayer mode"),
                                  QString(),
                                  QStringLiteral("Refresh all servers"),
                                  QStringLiteral("Options"),
                                  QString(),
                                  QStringLiteral("Exit Velkor") };
        for (int position = 0; position < texts.size(); ++position) {
            const QAction *action = actions.at(position);
            QCOMPARE(action->isSeparator(), texts.at(position).isEmpty());
            if (action->isSeparator())
                continue;
            QCOMPARE(action->text(), texts.at(position));
            QVERIFY(!action->icon().isNull());
            QVERIFY(!action->toolTip().isEmpty());
        }
        QCOMPARE(actions.at(7)->toolTip(), QStringLiteral("View Velkor Options"));
    }

    void menus()
    {
        const auto entries = [](const QMenu *menu) {
            QStringList texts;
            for (const QAction *action : menu->actions()) {
                if (!action->isSeparator())
                    texts.append(plain(action->text()));
            }
            return texts;
        };
        const QMenu *start = child<QMenu>("mnuStart");
        const QMenu *help = child<QMenu>("mnuHelp");
        QCOMPARE(start->title(), QStringLiteral("&Start"));
        QCOMPARE(help->title(), QStringLiteral("&Help"));
        QCOMPARE(entries(start),
                 QStringList({ QStringLiteral("Session Wizard"), QStringLiteral("Host a Game"),
                               QStringLiteral("Join a Game"), QStringLiteral("Options"),
                               QStringLiteral("Exit") }));
        QCOMPARE(entries(help),
                 QStringList({ QStringLiteral("Velkor Help"), QStringLiteral("Check for Updates"),
                               QStringLiteral("Submit Bug Report"), QStringLiteral("About") }));
    }

    void laterActionsDisabled_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("start a session") << QStringLiteral("tbStartSession") << false;
        QTest::newRow("join a session") << QStringLiteral("tbJoinSession") << true;
        QTest::newRow("single player") << QStringLiteral("tbSinglePlayer") << false;
        QTest::newRow("multiplayer") << QStringLiteral("tbMultiPlayer") << true;
        QTest::newRow("refresh") << QStringLiteral("tbRefresh") << false;
        QTest::newRow("session wizard") << QStringLiteral("mnuSessionWizard") << false;
        QTest::newRow("host a game") << QStringLiteral("mnuHostGame") << true;
        QTest::newRow("join a game") << QStringLiteral("mnuJoinGame") << true;
        QTest::newRow("velkor help") << QStringLiteral("mnuVelkorHelp") << false;
        QTest::newRow("options button") << QStringLiteral("tbOptions") << true;
        QTest::newRow("exit button") << QStringLiteral("tbExit") << true;
        QTest::newRow("options entry") << QStringLiteral("mnuOptions") << true;
        QTest::newRow("exit entry") << QStringLiteral("mnuExit") << true;
        QTest::newRow("updates") << QStringLiteral("mnuCheckUpdates") << true;
        QTest::newRow("bug report") << QStringLiteral("mnuBugReport") << true;
        QTest::newRow("about") << QStringLiteral("mnuAbout") << true;
    }

    // Hosting and joining are refused while a session window is open, with
    // words that depend on this peer's role.
    void sessionStartsRefused_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("hosting");
        QTest::addColumn<bool>("sessionOpen");
        QTest::addColumn<QString>("text");
        const QString running = QStringLiteral(
            "You cannot join another session while a current session is running.\n\n"
            "Please close all open sessions and try again.");
        QTest::newRow("host while hosting")
            << QStringLiteral("tbMultiPlayer") << true << true
            << QStringLiteral("You are already hosting a session.\n\n"
                              "Please close that session and try again.");
        QTest::newRow("host while a client")
            << QStringLiteral("mnuHostGame") << false << true << running;
        QTest::newRow("join while hosting")
            << QStringLiteral("tbJoinSession") << true << true
            << QStringLiteral("You cannot join a session while hosting another.");
        QTest::newRow("join while a client")
            << QStringLiteral("mnuJoinGame") << false << true << running;
    }

    void sessionStartsRefused()
    {
        QFETCH(QString, action);
        QFETCH(bool, hosting);
        QFETCH(bool, sessionOpen);
        QFETCH(QString, text);
        QVERIFY(sessionOpen);
        FrmSession session;
        VLSession settings;
        settings.isHost = hosting;
        session.endpoint().setUp(settings);
        testsupport::MessageBoxRecorder boxes;
        m_window->findChild<QAction *>(action)->trigger();
        QCOMPARE(boxes.texts(), QStringList { text });
        QCOMPARE(boxes.shown().first().title, QStringLiteral("Join Error"));
        QVERIFY(!IsFormLoaded(QStringLiteral("FrmServerOptions")));
        QVERIFY(!IsFormLoaded(QStringLiteral("FrmIP")));
    }

    void laterActionsDisabled()
    {
        QFETCH(QString, action);
        QFETCH(bool, enabled);
        const auto *found = m_window->findChild<QAction *>(action);
        QVERIFY(found);
        QCOMPARE(found->isEnabled(), enabled);
    }

    void actionsOpenOwnedWindows_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("form");
        QTest::newRow("options button")
            << QStringLiteral("tbOptions") << QStringLiteral("FrmOptions");
        QTest::newRow("options entry")
            << QStringLiteral("mnuOptions") << QStringLiteral("FrmOptions");
        QTest::newRow("updates") << QStringLiteral("mnuCheckUpdates")
                                 << QStringLiteral("FrmUpdates");
        QTest::newRow("bug report")
            << QStringLiteral("mnuBugReport") << QStringLiteral("FrmBugReport");
        QTest::newRow("about") << QStringLiteral("mnuAbout") << QStringLiteral("FrmAbout");
        QTest::newRow("multiplayer")
            << QStringLiteral("tbMultiPlayer") << QStringLiteral("FrmServerOptions");
        QTest::newRow("host a game")
            << QStringLiteral("mnuHostGame") << QStringLiteral("FrmServerOptions");
        QTest::newRow("join button") << QStringLiteral("tbJoinSession") << QStringLiteral("FrmIP");
        QTest::newRow("join entry") << QStringLiteral("mnuJoinGame") << QStringLiteral("FrmIP");
    }

    void actionsOpenOwnedWindows()
    {
        QFETCH(QString, action);
        QFETCH(QString, form);
        testsupport::MessageBoxRecorder boxes;
        QVERIFY(!IsFormLoaded(form));
        m_window->findChild<QAction *>(action)->trigger();
        QWidget *opened = FindForm(form);
        QVERIFY(opened);
        QVERIFY(opened->isVisible());
        QCOMPARE(opened->parentWidget(), m_window.data());
        QVERIFY(!opened->isModal());
    }

    void exitEndsWithoutQuestion_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("tool bar") << QStringLiteral("tbExit");
        QTest::newRow("menu") << QStringLiteral("mnuExit");
    }

    void exitEndsWithoutQuestion()
    {
        QFETCH(QString, action);
        testsupport::MessageBoxRecorder boxes;
        QSignalSpy exits(m_window.data(), &FrmMain::exitRequested);
        m_window->findChild<QAction *>(action)->trigger();
        QCOMPARE(exits.count(), 1);
        QVERIFY(boxes.shown().isEmpty());
    }

    void closeQuestion_data()
    {
        QTest::addColumn<msgbox::Answer>("answer");
        QTest::addColumn<bool>("ends");
        QTest::newRow("no keeps the window") << msgbox::Answer::No << false;
        QTest::newRow("yes ends the program") << msgbox::Answer::Yes << true;
    }

    void closeQuestion()
    {
        QFETCH(msgbox::Answer, answer);
        QFETCH(bool, ends);
        testsupport::MessageBoxRecorder boxes;
        boxes.answerNext(answer);
        QSignalSpy exits(m_window.data(), &FrmMain::exitRequested);
        int endings = 0;
        program::setEndHandler([&endings](int status) { endings += status == 0 ? 1 : 100; });
        // Yes ends the whole program, a running session with it, rather
        // than leaving the process without its main window.
        const bool closed = m_window->close();
        program::setEndHandler({});
        QVERIFY(!closed);
        QCOMPARE(endings, ends ? 1 : 0);
        QCOMPARE(boxes.shown().size(), 1);
        const msgbox::Request &box = boxes.shown().constFirst();
        QCOMPARE(box.text, QStringLiteral("Are you sure you wish to quit Velkor?"));
        QCOMPARE(box.title, QStringLiteral("Quit Velkor"));
        QCOMPARE(box.buttons, msgbox::Buttons::YesNo);
        QCOMPARE(exits.count(), 0);
        QVERIFY(m_window->isVisible());
    }

    void designSizeCentred()
    {
        const QSize size = m_window->size();
        QVERIFY2(qAbs(size.width() - 717) <= 20 && qAbs(size.height() - 452) <= 20,
                 qPrintable(QStringLiteral("%1x%2").arg(size.width()).arg(size.height())));
        const QRect screen = m_window->screen()->availableGeometry();
        QVERIFY(qAbs(m_window->frameGeometry().center().x() - screen.center().x()) <= 2);
        QVERIFY(qAbs(m_window->frameGeometry().center().y() - screen.center().y()) <= 2);
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
