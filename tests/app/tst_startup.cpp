#include "commandline.h"
#include "forms.h"
#include "frmclean.h"
#include "frmmain.h"
#include "frmoptions.h"
#include "frmsplash.h"
#include "modregistry.h"
#include "programend.h"
#include "sessionplayers.h"
#include "settingsstore.h"
#include "startup.h"
#include "tables.h"
#include "testsupport.h"
#include "vl.h"
#include "vlsession.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using startup::StartAction;

namespace {

const QString kGame = QStringLiteral("Game");
const QString kArgumentsTitle = QStringLiteral("Velkor - Command Arguments");
const QString kFirstRunText
    = QStringLiteral("This is the first time you have launched Velkor 2.0\r\n"
                     "Please complete your details in the main options to continue.");

QStringList actionNames(const QList<StartAction> &actions)
{
    QStringList names;
    for (const StartAction action : actions) {
        switch (action) {
        case StartAction::Splash:
            names.append(QStringLiteral("splash"));
            break;
        case StartAction::MasterServer:
            names.append(QStringLiteral("ms"));
            break;
        case StartAction::CleanUp:
            names.append(QStringLiteral("cleanup"));
            break;
        }
    }
    return names;
}

bool keyExists(const QString &path)
{
    return modRegistry::OpenKeyPath(modRegistry::Root::CurrentUser, path).isOpen;
}

QString settingsKey(const QString &subKey)
{
    return modRegistry::SettingsRoot + u'\\' + subKey;
}

// A store as a completed first run leaves it.
void setUpCompleted(const QString &lastRun)
{
    VL::instance().SetDefaultRegVals();
    WriteSetting(kGame, QStringLiteral("VLSetup"), QStringLiteral("1"));
    WriteSetting(kGame, QStringLiteral("LastRun"), lastRun);
}

QString makeFile(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qWarning("cannot create %s", qPrintable(path));
    return path;
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private:
    int m_ends = 0;

private slots:
    void initTestCase()
    {
        program::setEndHandler([this](int) { ++m_ends; });
        FrmSplash::setEndInterval(20);
    }

    void init()
    {
        testsupport::freshSettingsStore();
        VL::instance().reset();
        m_ends = 0;
        startup::setDateSource({});
    }

    void cleanup()
    {
        startup::DeleteAllWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        startup::setDateSource({});
        FrmSplash::setEndInterval(20);
    }

    // ---- command line ----

    void splitCommandLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("empty") << QString() << QStringList();
        QTest::newRow("one") << QStringLiteral("-ms") << QStringList { QStringLiteral("-ms") };
        QTest::newRow("two") << QStringLiteral("-ms /CleanUp")
                             << QStringList { QStringLiteral("-ms"), QStringLiteral("/CleanUp") };
        QTest::newRow("two spaces")
            << QStringLiteral("-ms  -cleanup")
            << QStringList { QStringLiteral("-ms"), QString(), QStringLiteral("-cleanup") };
        QTest::newRow("trailing space")
            << QStringLiteral("-ms ") << QStringList { QStringLiteral("-ms"), QString() };
        QTest::newRow("only a space")
            << QStringLiteral(" ") << QStringList { QString(), QString() };
        QTest::newRow("tab is no separator")
            << QStringLiteral("-ms\t-cleanup") << QStringList { QStringLiteral("-ms\t-cleanup") };
    }

    void splitCommandLine()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, words);
        QCOMPARE(startup::SplitCommandLine(text), words);
    }

    void argumentsOf_data()
    {
        QTest::addColumn<QString>("full");
        QTest::addColumn<QString>("arguments");
        QTest::newRow("quoted program")
            << QStringLiteral("\"C:\\Program Files\\Velkor\\Velkor.exe\" -ms")
            << QStringLiteral("-ms");
        QTest::newRow("plain program")
            << QStringLiteral("Velkor.exe -ms  -cleanup") << QStringLiteral("-ms  -cleanup");
        QTest::newRow("blanks after the program")
            << QStringLiteral("Velkor.exe   /ms") << QStringLiteral("/ms");
        QTest::newRow("no arguments") << QStringLiteral("\"Velkor.exe\"") << QString();
        QTest::newRow("unclosed quote") << QStringLiteral("\"Velkor.exe -ms") << QString();
    }

    void argumentsOf()
    {
        QFETCH(QString, full);
        QFETCH(QString, arguments);
        QCOMPARE(startup::ArgumentsOf(full), arguments);
    }

    void decideCommandLine_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QString>("invalid"); // a null text for none

        const QString none;
        QTest::newRow("no words") << QStringList() << QStringList { QStringLiteral("splash") }
                                  << none;
        QTest::newRow("ms") << QStringList { QStringLiteral("-ms") }
                            << QStringList { QStringLiteral("ms") } << none;
        QTest::newRow("slash MS upper case") << QStringList { QStringLiteral("/MS") }
                                             << QStringList { QStringLiteral("ms") } << none;
        QTest::newRow("mixed case cleanup") << QStringList { QStringLiteral("-CleanUp") }
                                            << QStringList { QStringLiteral("cleanup") } << none;
        QTest::newRow("cleanup then ms")
            << QStringList { QStringLiteral("-cleanup"), QStringLiteral("-ms") }
            << QStringList { QStringLiteral("cleanup"), QStringLiteral("ms") } << none;
        QTest::newRow("ms then cleanup")
            << QStringList { QStringLiteral("/ms"), QStringLiteral("/cleanup") }
            << QStringList { QStringLiteral("ms"), QStringLiteral("cleanup") } << none;
        QTest::newRow("repeated switch")
            << QStringList { QStringLiteral("-ms"), QStringLiteral("/Ms") }
            << QStringList { QStringLiteral("ms") } << none;
        QTest::newRow("unknown word as typed") << QStringList { QStringLiteral("-Server") }
                                               << QStringList() << QStringLiteral("-Server");
        QTest::newRow("empty word from two spaces")
            << QStringList { QStringLiteral("-ms"), QString(), QStringLiteral("-cleanup") }
            << QStringList() << QStringLiteral("");
        QTest::newRow("switch with a dash only")
            << QStringList { QStringLiteral("-") } << QStringList() << QStringLiteral("-");
        QTest::newRow("first invalid word wins")
            << QStringList { QStringLiteral("-cleanup"), QStringLiteral("x"), QStringLiteral("y") }
            << QStringList() << QStringLiteral("x");
        QTest::newRow("no prefix match")
            << QStringList { QStringLiteral("-msx") } << QStringList() << QStringLiteral("-msx");
    }

    void decideCommandLine()
    {
        QFETCH(QStringList, words);
        QFETCH(QStringList, actions);
        QFETCH(QString, invalid);
        const startup::CommandLineDecision decision = startup::DecideCommandLine(words);
        QCOMPARE(actionNames(decision.actions), actions);
        if (invalid.isNull()) {
            QVERIFY(!decision.invalidWord.has_value());
        } else {
            QVERIFY(decision.invalidWord.has_value());
            QCOMPARE(*decision.invalidWord, invalid);
        }
    }

    void invalidArgumentEndsAtOnce_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("text");
        QTest::newRow("unknown") << QStringList { QStringLiteral("-Fast") }
                                 << QStringLiteral("Invalid argument: -Fast");
        QTest::newRow("empty word after a switch")
            << QStringList { QStringLiteral("-cleanup"), QString() }
            << QStringLiteral("Invalid argument: ");
    }

    void invalidArgumentEndsAtOnce()
    {
        QFETCH(QStringList, words);
        QFETCH(QString, text);
        testsupport::MessageBoxRecorder boxes;
        startup::ProcessCommandLine(words);
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown().constFirst().text, text);
        QCOMPARE(boxes.shown().constFirst().title, kArgumentsTitle);
        QCOMPARE(boxes.shown().constFirst().icon, msgbox::Icon::Warning);
        QCOMPARE(m_ends, 1);
        QVERIFY(!IsFormLoaded(QStringLiteral("FrmClean")));
        QVERIFY(!IsFormLoaded(QStringLiteral("FrmSplash")));
        // Nothing was written.
        QVERIFY(!keyExists(modRegistry::SettingsRoot));
    }

    void switchesOpenTheirWindows()
    {
        testsupport::MessageBoxRecorder boxes;
        startup::ProcessCommandLine({ QStringLiteral("-CLEANUP"), QStringLiteral("/ms") });
        auto *clean = FindForm<FrmClean>(QStringLiteral("FrmClean"));
        QVERIFY(clean);
        QVERIFY(clean->isVisible());
        // Until the master server exists, "-ms" only says so.
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown().constFirst().title, kArgumentsTitle);
        QCOMPARE(boxes.shown().constFirst().icon, msgbox::Icon::Information);
        QVERIFY(boxes.shown().constFirst().text.contains(u"master server"));
        QCOMPARE(m_ends, 0); // the clean-up window stays
        // No splash and none of its loading.
        QVERIFY(!IsFormLoaded(QStringLiteral("FrmSplash")));
        QVERIFY(!keyExists(modRegistry::SettingsRoot));
    }

    void masterServerAloneEnds()
    {
        testsupport::MessageBoxRecorder boxes;
        startup::ProcessCommandLine({ QStringLiteral("-ms") });
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(m_ends, 1);
    }

    // ---- splash ----

    void firstRunThenSecondSplash()
    {
        testsupport::MessageBoxRecorder boxes;
        startup::ProcessCommandLine({});

        auto *splash = FindForm<FrmSplash>(QStringLiteral("FrmSplash"));
        QVERIFY(splash);
        QVERIFY(splash->isVisible());
        QVERIFY(splash->windowFlags().testFlag(Qt::SplashScreen));
        QVERIFY(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown().constFirst().text, kFirstRunText);
        QCOMPARE(boxes.shown().constFirst().title, QStringLiteral("Velkor"));
        QCOMPARE(boxes.shown().constFirst().icon, msgbox::Icon::Information);

        // The defaults are written and the load has run.
        QVERIFY(VL::instance().FirstRun);
        QCOMPARE(ReadSetting(kGame, QStringLiteral("DefaultPort")), QStringLiteral("1"));
        QCOMPARE(ReadSetting(QStringLiteral("Player"), QStringLiteral("Age")),
                 QStringLiteral("18"));
        QVERIFY(VL::instance().CheckFirstRun());
        QCOMPARE(VL::instance().SessionWelcomeMsg,
                 QStringLiteral("\r\n^3Welcome to ^2T^4A^1R^9nwick ^3Velkor"));
        QCOMPARE(int(VL::instance().CurrentPort), 1);

        // What the player will enter in the options.
        const QString exe = makeFile(testsupport::scratchFolder() + u"/ports/first/duke3d.exe");
        WriteSetting(kGame, QStringLiteral("R_ExePath"), exe);
        WriteSetting(kGame, QStringLiteral("IUseR"), QStringLiteral("1"));
        WriteSetting(QStringLiteral("Player"), QStringLiteral("PlayerName"),
                     QStringLiteral("^2Tester"));

        // The options open instead of the main window.
        QTRY_VERIFY(IsFormLoaded(QStringLiteral("FrmOptions")));
        QTRY_VERIFY(!IsFormLoaded(QStringLiteral("FrmSplash")));
        QVERIFY(!IsFormLoaded(QStringLiteral("FrmMain")));
        auto *options = FindForm<FrmOptions>(QStringLiteral("FrmOptions"));
        QVERIFY(options->isVisible());
        // Its network detection has run.
        const auto *status = options->findChild<QLabel *>(QStringLiteral("lblStatus"));
        QVERIFY(status);
        QTRY_VERIFY(status->text().startsWith(u"Operation"));

        // A complete save brings the splash back, and it opens the main
        // window; LastRun still holds the default, so the update check runs.
        boxes.clear();
        QVERIFY(options->Save());
        QVERIFY(!VL::instance().FirstRun);
        QVERIFY(IsFormLoaded(QStringLiteral("FrmSplash")));
        QTRY_VERIFY(IsFormLoaded(QStringLiteral("FrmMain")));
        QVERIFY(FindForm(QStringLiteral("FrmMain"))->isVisible());
        QTRY_VERIFY(!IsFormLoaded(QStringLiteral("FrmSplash")));
        QVERIFY(IsFormLoaded(QStringLiteral("FrmUpdates")));
        QVERIFY(!boxes.texts().contains(kFirstRunText));
        QCOMPARE(VL::instance().MyDetails().PlayerName, QStringLiteral("^2Tester"));
        QCOMPARE(ReadSetting(kGame, QStringLiteral("LastRun")),
                 QDate::currentDate().toString(Qt::ISODate));
        QCOMPARE(m_ends, 0);
    }

    void secondStartLoadsEverything()
    {
        setUpCompleted(QDate::currentDate().toString(Qt::ISODate));
        const QString exe = makeFile(testsupport::scratchFolder() + u"/ports/eduke/eduke32.exe");
        WriteSetting(kGame, QStringLiteral("DefaultPort"), QStringLiteral("3"));
        WriteSetting(kGame, QStringLiteral("E_ExePath"), exe);
        WriteSetting(QStringLiteral("Player"), QStringLiteral("PlayerName"),
                     QStringLiteral("Dukey"));

        testsupport::MessageBoxRecorder boxes;
        startup::ProcessCommandLine({});
        QVERIFY(boxes.shown().isEmpty());
        QVERIFY(!VL::instance().FirstRun);

        QCOMPARE(VL::instance().MyDetails().PlayerName, QStringLiteral("Dukey"));
        QCOMPARE(int(VL::instance().CurrentPort), 3);
        QCOMPARE(VL::instance().E_ExePath, exe);
        QCOMPARE(QDir(VL::instance().CurrentPortPath), QFileInfo(exe).dir());
        QVERIFY(!tables::LevelNames(1, 1).isEmpty());
        QVERIFY(!tables::PortNames(3).isEmpty());
        QVERIFY(!tables::Countries(183).isEmpty());

        QTRY_VERIFY(IsFormLoaded(QStringLiteral("FrmMain")));
        QTRY_VERIFY(!IsFormLoaded(QStringLiteral("FrmSplash")));
        QVERIFY(!IsFormLoaded(QStringLiteral("FrmOptions")));
        QVERIFY(!IsFormLoaded(QStringLiteral("FrmUpdates")));
        QVERIFY(FindForm(QStringLiteral("FrmMain"))->isEnabled());
    }

    void splashWaitsItsRealInterval()
    {
        FrmSplash::setEndInterval(500);
        setUpCompleted(QDate::currentDate().toString(Qt::ISODate));
        startup::ProcessCommandLine({});
        auto *splash = FindForm<FrmSplash>(QStringLiteral("FrmSplash"));
        QVERIFY(splash);
        const auto *timer = splash->findChild<QTimer *>(QStringLiteral("tmrEnd"));
        QVERIFY(timer);
        QCOMPARE(timer->interval(), 500);
        QVERIFY(timer->isActive());
        QVERIFY(!IsFormLoaded(QStringLiteral("FrmMain")));
        for (const QString &text : { QStringLiteral("Version 2.0.13"),
                                     QStringLiteral("Preview 1.3"), QStringLiteral("Loading") }) {
            bool shown = false;
            for (const QLabel *label : splash->findChildren<QLabel *>())
                shown = shown || (label->text() == text && label->isVisible());
            QVERIFY2(shown, qPrintable(text));
        }
        QTRY_VERIFY_WITH_TIMEOUT(IsFormLoaded(QStringLiteral("FrmMain")), 5000);
        QTRY_VERIFY(!IsFormLoaded(QStringLiteral("FrmSplash")));
    }

    void updateCheckDue_data()
    {
        QTest::addColumn<QString>("lastRun");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<bool>("due");
        const QDate today(2024, 3, 6);
        QTest::newRow("4 days") << QStringLiteral("2024-03-02") << today << false;
        QTest::newRow("5 days") << QStringLiteral("2024-03-01") << today << true;
        QTest::newRow("5 days over a leap day")
            << QStringLiteral("2024-02-28") << QDate(2024, 3, 4) << true;
        QTest::newRow("4 days over a year end")
            << QStringLiteral("2023-12-29") << QDate(2024, 1, 2) << false;
        QTest::newRow("a year") << QStringLiteral("2023-03-06") << today << true;
        QTest::newRow("today") << QStringLiteral("2024-03-06") << today << false;
        QTest::newRow("in the future") << QStringLiteral("2030-01-01") << today << false;
        QTest::newRow("empty") << QString() << today << false;
        QTest::newRow("not a date") << QStringLiteral("last tuesday") << today << false;
        QTest::newRow("impossible date") << QStringLiteral("2024-02-30") << today << false;
        QTest::newRow("surrounding blanks") << QStringLiteral(" 2024-03-01 ") << today << true;
    }

    void updateCheckDue()
    {
        QFETCH(QString, lastRun);
        QFETCH(QDate, today);
        QFETCH(bool, due);
        QCOMPARE(startup::UpdateCheckDue(lastRun, today), due);
    }

    void lastRunAtSplashEnd_data()
    {
        QTest::addColumn<QString>("lastRun");
        QTest::addColumn<bool>("checked");
        QTest::newRow("4 days ago") << QStringLiteral("2024-03-02") << false;
        QTest::newRow("5 days ago") << QStringLiteral("2024-03-01") << true;
        QTest::newRow("not a date") << QStringLiteral("garbage") << false;
    }

    void lastRunAtSplashEnd()
    {
        QFETCH(QString, lastRun);
        QFETCH(bool, checked);
        setUpCompleted(lastRun);
        startup::setDateSource([] { return QDate(2024, 3, 6); });
        testsupport::MessageBoxRecorder boxes;
        startup::ProcessCommandLine({});
        QTRY_VERIFY(IsFormLoaded(QStringLiteral("FrmMain")));
        QTRY_VERIFY(!IsFormLoaded(QStringLiteral("FrmSplash")));
        QWidget *updates = FindForm(QStringLiteral("FrmUpdates"));
        QCOMPARE(updates != nullptr, checked);
        if (updates)
            QCOMPARE(updates->parentWidget(), FindForm(QStringLiteral("FrmMain")));
        QCOMPARE(ReadSetting(kGame, QStringLiteral("LastRun")), QStringLiteral("2024-03-06"));
    }

    void recoveryNoticeAtSplash()
    {
        QDir().mkpath(QFileInfo(store::filePath()).path());
        QFile damaged(store::filePath());
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(QByteArray("\x00\x01not a settings file\xff", 23));
        damaged.close();

        testsupport::MessageBoxRecorder boxes;
        startup::ProcessCommandLine({});
        QCOMPARE(boxes.shown().size(), 2);
        QCOMPARE(boxes.shown().at(0).title, QStringLiteral("Velkor"));
        QCOMPARE(boxes.shown().at(0).icon, msgbox::Icon::Warning);
        QVERIFY(!boxes.shown().at(0).text.isEmpty());
        QCOMPARE(boxes.shown().at(1).text, kFirstRunText);
    }

    void storeThatCannotBeReadOrSetAsideIsExplained()
    {
        const QString path = testsupport::unreadableStoreInLockedFolder();
        if (path.isEmpty())
            QSKIP("no folder here that cannot be written");

        testsupport::MessageBoxRecorder boxes;
        startup::ProcessCommandLine({});
        QVERIFY(boxes.shown().size() >= 2);
        const msgbox::Request &notice = boxes.shown().at(0);
        QCOMPARE(notice.title, QStringLiteral("Velkor"));
        QCOMPARE(notice.icon, msgbox::Icon::Warning);
        QVERIFY2(notice.text.contains(u"could not be read or set aside"), qPrintable(notice.text));
        QVERIFY2(notice.text.contains(QDir::toNativeSeparators(path)), qPrintable(notice.text));
        // Before the first-run flow, and only once.
        QCOMPARE(boxes.shown().at(1).text, kFirstRunText);
        QCOMPARE(boxes.texts().filter(u"set aside").size(), 1);
    }

    void mainWindowExitEndsProgram()
    {
        setUpCompleted(QDate::currentDate().toString(Qt::ISODate));
        startup::ProcessCommandLine({});
        QTRY_VERIFY(IsFormLoaded(QStringLiteral("FrmMain")));
        testsupport::MessageBoxRecorder boxes;
        auto *exit
            = FindForm(QStringLiteral("FrmMain"))->findChild<QAction *>(QStringLiteral("tbExit"));
        QVERIFY(exit);
        exit->trigger();
        QCOMPARE(m_ends, 1);
        QVERIFY(boxes.shown().isEmpty());
    }

    // ---- clean-up ----

    void cleanUpWindow()
    {
        FrmClean *clean = startup::ShowCleanUp();
        QCOMPARE(clean->windowTitle(), QStringLiteral("Velkor - CleanUp"));
        QVERIFY(!clean->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(clean->minimumSize(), clean->maximumSize());
        QStringList texts;
        for (const QLabel *label : clean->findChildren<QLabel *>())
            texts.append(label->text());
        for (const QString &text :
             { QStringLiteral("Velkor CleanUp for Version 2.0"),
               QStringLiteral("Use this utility to clean all Velkor 2.0 registry entires."),
               QStringLiteral("Please Note: Only Velkor 2.0 registry entires will be cleaned. "
                              "Previous Velkor versions will be unaffected."),
               QStringLiteral("Click Clean to proceed.") })
            QVERIFY2(texts.contains(text), qPrintable(text));
        const auto *title = clean->findChild<QLabel *>(QStringLiteral("lblTitle"));
        QVERIFY(title->font().bold() && title->font().underline());
        const auto *exit = clean->findChild<QPushButton *>(QStringLiteral("cmdExit"));
        QVERIFY(exit->isDefault());
        QVERIFY(clean->findChild<QPushButton *>(QStringLiteral("cmdClean")));
        QCOMPARE(startup::ShowCleanUp(), clean); // one at a time
    }

    void cleanUpAnsweredNoKeepsEverything()
    {
        setUpCompleted(QStringLiteral("2024-01-01"));
        FrmClean *clean = startup::ShowCleanUp();
        testsupport::MessageBoxRecorder boxes;
        boxes.answerNext(msgbox::Answer::No);
        QTest::mouseClick(clean->findChild<QPushButton *>(QStringLiteral("cmdClean")),
                          Qt::LeftButton);
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown().constFirst().text,
                 QStringLiteral("Are you sure you wish to clean all settings?"));
        QCOMPARE(boxes.shown().constFirst().title, QStringLiteral("CleanUp"));
        QCOMPARE(boxes.shown().constFirst().buttons, msgbox::Buttons::YesNo);
        QCOMPARE(ReadSetting(kGame, QStringLiteral("VLSetup")), QStringLiteral("1"));
        QVERIFY(keyExists(settingsKey(QStringLiteral("Session"))));
        QCOMPARE(m_ends, 0);
        QVERIFY(clean->isVisible());
    }

    void cleanUpAnsweredYesErasesAndEnds()
    {
        setUpCompleted(QStringLiteral("2024-01-01"));
        FrmClean *clean = startup::ShowCleanUp();
        testsupport::MessageBoxRecorder boxes;
        boxes.answerNext(msgbox::Answer::Yes);
        QTest::mouseClick(clean->findChild<QPushButton *>(QStringLiteral("cmdClean")),
                          Qt::LeftButton);
        QCOMPARE(boxes.shown().size(), 2);
        QCOMPARE(
            boxes.shown().at(1).text,
            QStringLiteral("Velkor 2.0 has now been cleaned and is ready for first time use."));
        QCOMPARE(boxes.shown().at(1).title, QStringLiteral("CleanUp"));
        QCOMPARE(boxes.shown().at(1).icon, msgbox::Icon::Information);
        QCOMPARE(m_ends, 1);
        for (const QString &subKey : { QStringLiteral("Session"), QStringLiteral("Game"),
                                       QStringLiteral("Network"), QStringLiteral("Player") })
            QVERIFY2(!keyExists(settingsKey(subKey)), qPrintable(subKey));
        QVERIFY(!keyExists(modRegistry::SettingsRoot));
        QVERIFY(keyExists(QStringLiteral("Software\\Tarnwick\\Velkor")));

        // The next start is a first run.
        startup::DeleteAllWindows();
        VL::instance().reset();
        boxes.clear();
        startup::ProcessCommandLine({});
        QVERIFY(boxes.texts().contains(kFirstRunText));
        QVERIFY(VL::instance().FirstRun);
    }

    void cleanUpOfMissingKeysStillSucceeds()
    {
        FrmClean *clean = startup::ShowCleanUp();
        testsupport::MessageBoxRecorder boxes;
        boxes.answerNext(msgbox::Answer::Yes);
        QTest::mouseClick(clean->findChild<QPushButton *>(QStringLiteral("cmdClean")),
                          Qt::LeftButton);
        QCOMPARE(boxes.shown().size(), 2);
        QCOMPARE(boxes.shown().at(1).icon, msgbox::Icon::Information);
        QCOMPARE(m_ends, 1);
    }

    void cleanUpThatFailsSaysSo()
    {
        // A key the clean-up does not know keeps Game from being deleted, so
        // VLSetup survives and the next start would not be a first run.
        setUpCompleted(QStringLiteral("2024-01-01"));
        modRegistry::CreateKey(modRegistry::Root::CurrentUser,
                               settingsKey(QStringLiteral("Game\\Extra")));
        FrmClean *clean = startup::ShowCleanUp();
        testsupport::MessageBoxRecorder boxes;
        boxes.answerNext(msgbox::Answer::Yes);
        QTest::mouseClick(clean->findChild<QPushButton *>(QStringLiteral("cmdClean")),
                          Qt::LeftButton);
        QCOMPARE(boxes.shown().size(), 2);
        QCOMPARE(boxes.shown().at(1).icon, msgbox::Icon::Error);
        QCOMPARE(boxes.shown().at(1).title, QStringLiteral("CleanUp"));
        QCOMPARE(m_ends, 0);
        QVERIFY(clean->isVisible());
    }

    void cleanUpExit_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("exit button") << false;
        QTest::newRow("escape") << true;
    }

    void cleanUpExit()
    {
        QFETCH(bool, escape);
        setUpCompleted(QStringLiteral("2024-01-01"));
        FrmClean *clean = startup::ShowCleanUp();
        QVERIFY(QTest::qWaitForWindowExposed(clean));
        testsupport::MessageBoxRecorder boxes;
        if (escape)
            QTest::keyClick(clean, Qt::Key_Escape);
        else
            QTest::mouseClick(clean->findChild<QPushButton *>(QStringLiteral("cmdExit")),
                              Qt::LeftButton);
        QCOMPARE(m_ends, 1);
        QVERIFY(boxes.shown().isEmpty());
        QCOMPARE(ReadSetting(kGame, QStringLiteral("VLSetup")), QStringLiteral("1"));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
