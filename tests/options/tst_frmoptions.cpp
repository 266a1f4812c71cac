#include "forms.h"
#include "frmhrp.h"
#include "frmoptions.h"
#include "localaddress.h"
#include "localhttpserver.h"
#include "modregistry.h"
#include "optionswindows.h"
#include "porttable.h"
#include "programend.h"
#include "separators.h"
#include "sessionplayers.h"
#include "settingsstore.h"
#include "streamsocket.h"
#include "tables.h"
#include "testsupport.h"
#include "textlimits.h"
#include "vl.h"
#include "vlsession.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

#include <functional>

using testsupport::control;
using testsupport::LocalHttpServer;
using testsupport::MessageBoxRecorder;

namespace {

const QString kGame = QStringLiteral("Game");
const QString kNetwork = QStringLiteral("Network");
const QString kPlayer = QStringLiteral("Player");
const QString kMyIpPath = QStringLiteral("/masterserver/master1/asp/myip.asp");

const QString kIncomplete
    = QStringLiteral("You have forgot to complete some values.\n\n"
                     "Check that Port(s) path(s) and Player Name are entered correctly.");
const QString kQuitQuestion
    = QStringLiteral("You have not set up Velkor properly, do you wish to quit?");

int g_quitCalls = 0;

// An existing file in a folder of its own, standing for a port executable.
QString makeFile(const QString &name)
{
    static int counter = 0;
    const QString folder = testsupport::scratchFolder() + u"/files-" + QString::number(++counter);
    QDir().mkpath(folder);
    const QString path = folder + u'/' + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot create %s", qPrintable(path));
    return QDir::toNativeSeparators(path);
}

// A check box or option button toggles when clicked on its indicator.
void clickBox(QAbstractButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

// Runs act on the next modal file dialog once it is up.
void onFileDialog(const std::function<void(QFileDialog *)> &act)
{
    auto *poll = new QTimer(qApp);
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        act(dialog);
    });
    poll->start();
}

} // namespace

class TestFrmOptions : public QObject
{
    Q_OBJECT

private:
    QPointer<FrmOptions> m_window;

    FrmOptions *open()
    {
        m_window = options::ShowOptions(nullptr);
        if (!QTest::qWaitForWindowExposed(m_window))
            qFatal("options window not exposed");
        return m_window;
    }

    // Every port used and every path stored, so that no default moves.
    static void storePorts(const QString &defaultPort)
    {
        WriteSetting(kGame, QStringLiteral("DefaultPort"), defaultPort);
        for (int port = 0; port < options::PortCount; ++port) {
            const QString prefix = VL::portPrefix(port);
            WriteSetting(kGame, options::IUseValueName(port), QStringLiteral("1"));
            WriteSetting(kGame, options::ExeValueName(port), u"C:\\" + prefix + u"\\duke.exe");
            WriteSetting(kGame, options::ModValueName(port), u"C:\\" + prefix + u"\\mod");
        }
    }

private slots:
    void initTestCase()
    {
        program::setEndHandler([](int) { ++g_quitCalls; });
        tables::FillPortNames();
        tables::FillCountryTable();
    }

    void init()
    {
        testsupport::freshProgram();
        g_quitCalls = 0;
    }

    void cleanup()
    {
        // Leftover windows close quietly.
        VL::instance().FirstRun = false;
        testsupport::deleteAllWindows();
    }

    void exeFilter_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("filter");
#ifdef Q_OS_WIN
        QTest::newRow("Mordane") << 0
                                 << QStringLiteral(
                                        "Mordane Port (duke3d_w32.exe);;Other Port (*.exe)");
        QTest::newRow("JFDuke3D") << 1
                                  << QStringLiteral(
                                         "JFDuke3D Port (duke3d.exe);;Other Port (*.exe)");
        QTest::newRow("EDuke32") << 2
                                 << QStringLiteral("EDuke32 (eduke32.exe);;Other Port (*.exe)");
        QTest::newRow("xDuke") << 3
                               << QStringLiteral(
                                      "xDuke's Port (duke3d_w32.exe);;Other Port (*.exe)");
#else
        QTest::newRow("Mordane") << 0
                                 << QStringLiteral("Mordane Port (duke3d_w32);;Other Port (*)");
        QTest::newRow("JFDuke3D") << 1 << QStringLiteral("JFDuke3D Port (duke3d);;Other Port (*)");
        QTest::newRow("EDuke32") << 2 << QStringLiteral("EDuke32 (eduke32);;Other Port (*)");
        QTest::newRow("xDuke") << 3 << QStringLiteral("xDuke's Port (duke3d_w32);;Other Port (*)");
#endif
        QTest::newRow("no port") << 4 << QString();
        QTest::newRow("negative") << -1 << QString();
    }

    void exeFilter()
    {
        QFETCH(int, port);
        QFETCH(QString, filter);
        QCOMPARE(options::ExeChooserFilter(port), filter);
    }

    void saveWritesEveryValueAsLoaded()
    {
        const QString exe = makeFile(QStringLiteral("eduke32"));
        storePorts(QStringLiteral("3"));
        WriteSetting(kGame, QStringLiteral("E_ExePath"), exe);
        const QList<std::tuple<QString, QString, QString>> values {
            { kGame, QStringLiteral("MapPath"), QStringLiteral("C:\\maps") },
            { kPlayer, QStringLiteral("FullName"), QStringLiteral("Duke Nukem") },
            { kPlayer, QStringLiteral("Location"), QStringLiteral("42") },
            { kPlayer, QStringLiteral("Age"), QStringLiteral("27") },
            { kPlayer, QStringLiteral("EmailAddress"), QStringLiteral("duke@example.org") },
            { kPlayer, QStringLiteral("Website"), QStringLiteral("http://example.org/duke") },
            { kPlayer, QStringLiteral("Comments"), QStringLiteral("Hail to the king\r\nbaby") },
            { kPlayer, QStringLiteral("PlayerName"), QStringLiteral("^2Duke") },
            { kNetwork, QStringLiteral("WanIP"), QStringLiteral("203.0.113.7") },
            { kNetwork, QStringLiteral("WanPort"), QStringLiteral("8501") },
            { kNetwork, QStringLiteral("LanIP"), QStringLiteral("192.168.1.20") },
            { kNetwork, QStringLiteral("LanPort"), QStringLiteral("8502") },
            { kNetwork, QStringLiteral("NetworkType"), QStringLiteral("2") },
            { kGame, QStringLiteral("EnableHRP"), QStringLiteral("1") },
        };
        WriteSetting(kGame, QStringLiteral("HRP_Path1"), QStringLiteral("duke3d_hrp.zip"));
        for (const auto &[subKey, name, value] : values)
            WriteSetting(subKey, name, value);
        VL::instance().ReadHRP();
        QList<std::tuple<QString, QString, QString>> expected = values;
        expected.append({ kGame, QStringLiteral("DefaultPort"), QStringLiteral("3") });
        expected.append({ kGame, QStringLiteral("IUseE"), QStringLiteral("1") });
        for (int port = 0; port < options::PortCount; ++port) {
            for (const QString &name : { options::ExeValueName(port), options::ModValueName(port) })
                expected.append({ kGame, name, ReadSetting(kGame, name) });
        }

        FrmOptions *window = open();
        QCOMPARE(window->windowTitle(), QStringLiteral("Velkor - Main Options"));
        QCOMPARE(control<QLabel>(window, "lblStatus")->text(),
                 QStringLiteral("Make your selections"));
        QCOMPARE(control<QComboBox>(window, "cmbPortDetails_0")->currentIndex(), 2);
        QCOMPARE(control<QComboBox>(window, "cmbPortDetails_0")->currentText(),
                 QStringLiteral("EDuke32"));
        QVERIFY(control<QCheckBox>(window, "chkIUSE")->isChecked());
        QVERIFY(control<QCheckBox>(window, "chkSetDefault")->isChecked());
        QCOMPARE(control<QLineEdit>(window, "txtPortDetails_0")->text(), exe);
        QCOMPARE(control<QLineEdit>(window, "txtPortDetails_1")->text(),
                 QStringLiteral("C:\\E\\mod"));
        QCOMPARE(control<QComboBox>(window, "cmbPlayerDetails_0")->currentIndex(), 42);
        QCOMPARE(control<QPlainTextEdit>(window, "txtYourDetails_4")->toPlainText(),
                 QStringLiteral("Hail to the king\nbaby"));
        QVERIFY(control<QCheckBox>(window, "chkUseHRP")->isChecked());
        QVERIFY(control<QRadioButton>(window, "optLan")->isChecked());

        // Every control saves into its own value: change each one and start
        // the store from nothing, so that a value written back unchanged
        // cannot pass for a saved one.
        const QString newExe = makeFile(QStringLiteral("eduke32"));
        control<QLineEdit>(window, "txtPortDetails_0")->setText(newExe);
        control<QLineEdit>(window, "txtPortDetails_1")->setText(QStringLiteral("C:\\E\\tc"));
        control<QLineEdit>(window, "txtPortDetails_2")->setText(QStringLiteral("C:\\usermaps"));
        control<QLineEdit>(window, "txtYourDetails_0")->setText(QStringLiteral("Duke N."));
        control<QComboBox>(window, "cmbPlayerDetails_0")->setCurrentIndex(7);
        control<QLineEdit>(window, "txtYourDetails_1")->setText(QStringLiteral("28"));
        control<QLineEdit>(window, "txtYourDetails_2")->setText(QStringLiteral("d@example.org"));
        control<QLineEdit>(window, "txtYourDetails_3")->setText(QStringLiteral("http://d.org"));
        control<QPlainTextEdit>(window, "txtYourDetails_4")->setPlainText(QStringLiteral("a\nb"));
        control<QLineEdit>(window, "txtPlayerDetails_0")->setText(QStringLiteral("^3Duke"));
        control<QLineEdit>(window, "txtWanDetails_0")->setText(QStringLiteral("203.0.113.8"));
        control<QLineEdit>(window, "txtWanDetails_1")->setText(QStringLiteral("8601"));
        control<QLineEdit>(window, "txtLanDetails_0")->setText(QStringLiteral("192.168.1.21"));
        control<QLineEdit>(window, "txtLanDetails_1")->setText(QStringLiteral("8602"));
        control<QRadioButton>(window, "optWan")->setChecked(true);
        control<QCheckBox>(window, "chkUseHRP")->setChecked(false);
        const QList<std::tuple<QString, QString, QString>> changed {
            { kGame, QStringLiteral("E_ExePath"), newExe },
            { kGame, QStringLiteral("E_ModPath"), QStringLiteral("C:\\E\\tc") },
            { kGame, QStringLiteral("MapPath"), QStringLiteral("C:\\usermaps") },
            { kPlayer, QStringLiteral("FullName"), QStringLiteral("Duke N.") },
            { kPlayer, QStringLiteral("Location"), QStringLiteral("7") },
            { kPlayer, QStringLiteral("Age"), QStringLiteral("28") },
            { kPlayer, QStringLiteral("EmailAddress"), QStringLiteral("d@example.org") },
            { kPlayer, QStringLiteral("Website"), QStringLiteral("http://d.org") },
            { kPlayer, QStringLiteral("Comments"), QStringLiteral("a\r\nb") },
            { kPlayer, QStringLiteral("PlayerName"), QStringLiteral("^3Duke") },
            { kNetwork, QStringLiteral("WanIP"), QStringLiteral("203.0.113.8") },
            { kNetwork, QStringLiteral("WanPort"), QStringLiteral("8601") },
            { kNetwork, QStringLiteral("LanIP"), QStringLiteral("192.168.1.21") },
            { kNetwork, QStringLiteral("LanPort"), QStringLiteral("8602") },
            { kNetwork, QStringLiteral("NetworkType"), QStringLiteral("1") },
            { kGame, QStringLiteral("EnableHRP"), QStringLiteral("0") },
        };
        for (const auto &[subKey, name, value] : expected)
            WriteSetting(subKey, name, QString());
        WriteSetting(kGame, QStringLiteral("DefaultPort"), QStringLiteral("3"));
        QSignalSpy saved(window, &FrmOptions::detailsSaved);
        QTest::mouseClick(control<QPushButton>(window, "cmdSave"), Qt::LeftButton);

        for (const auto &[subKey, name, value] : changed)
            QCOMPARE(ReadSetting(subKey, name), value);
        // What was not touched is not written back.
        QCOMPARE(ReadSetting(kGame, QStringLiteral("R_ExePath")), QString());
        QCOMPARE(ReadSetting(kGame, QStringLiteral("J_ModPath")), QString());
        QCOMPARE(ReadSetting(kGame, QStringLiteral("IUseE")), QString());
        QCOMPARE(ReadSetting(kGame, QStringLiteral("VLSetup")), QStringLiteral("1"));
        QCOMPARE(control<QLabel>(window, "lblStatus")->text(), QStringLiteral("Settings saved."));
        QCOMPARE(saved.count(), 1);
        QCOMPARE(saved.at(0).at(0).toBool(), true);
        // The own record and the port paths follow the saved values.
        QCOMPARE(VL::instance().MyDetails().PlayerName, QStringLiteral("^3Duke"));
        QCOMPARE(VL::instance().E_ExePath, newExe);
        QVERIFY(window->isVisible());
    }

    void saveKeepsWhatAnotherVelkorSaved()
    {
        storePorts(QStringLiteral("1"));
        WriteSetting(kGame, QStringLiteral("R_ExePath"), makeFile(QStringLiteral("duke3d_w32")));
        WriteSetting(kPlayer, QStringLiteral("FullName"), QStringLiteral("Old Name"));
        const QString longName(limits::PlayerName + 8, u'n');
        WriteSetting(kPlayer, QStringLiteral("PlayerName"), longName);
        FrmOptions *window = open();
        auto *name = control<QLineEdit>(window, "txtPlayerDetails_0");
        QCOMPARE(name->maxLength(), limits::PlayerName);

        // Another Velkor changes the full name while this window is open.
        WriteSetting(kPlayer, QStringLiteral("FullName"), QStringLiteral("New Name"));
        window->SelectTab(1);
        QTest::keyClicks(control<QLineEdit>(window, "txtYourDetails_2"),
                         QStringLiteral("duke@example.org"));
        MessageBoxRecorder boxes;
        QVERIFY(window->Save());
        QCOMPARE(ReadSetting(kPlayer, QStringLiteral("EmailAddress")),
                 QStringLiteral("duke@example.org"));
        QCOMPARE(ReadSetting(kPlayer, QStringLiteral("FullName")), QStringLiteral("New Name"));
        // A stored name longer than the box allows is kept unless edited.
        QCOMPARE(ReadSetting(kPlayer, QStringLiteral("PlayerName")), longName);

        // A second Save compares with what the first one stored.
        WriteSetting(kPlayer, QStringLiteral("EmailAddress"), QStringLiteral("other@example.org"));
        name->setText(QStringLiteral("Duke"));
        QVERIFY(window->Save());
        QCOMPARE(ReadSetting(kPlayer, QStringLiteral("PlayerName")), QStringLiteral("Duke"));
        QCOMPARE(ReadSetting(kPlayer, QStringLiteral("EmailAddress")),
                 QStringLiteral("other@example.org"));
        QVERIFY(boxes.shown().isEmpty());
    }

    void failedSaveSaysSoAndKeepsTheInput()
    {
        storePorts(QStringLiteral("1"));
        WriteSetting(kGame, QStringLiteral("R_ExePath"), makeFile(QStringLiteral("duke3d_w32")));
        VL::instance().FirstRun = true;
        FrmOptions *window = open();
        window->SelectTab(1);
        QTest::keyClicks(control<QLineEdit>(window, "txtPlayerDetails_0"), QStringLiteral("Duke"));
        QSignalSpy saved(window, &FrmOptions::detailsSaved);
        QSignalSpy completed(window, &FrmOptions::firstRunCompleted);

        // Another process holds the store's lock for longer than a save
        // waits: the real wait, which must stay short.
        QLockFile other(store::filePath() + u".lock");
        QVERIFY(other.tryLock(0));
        MessageBoxRecorder boxes;
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!window->Save());
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown().at(0).title, QStringLiteral("Error"));
        QCOMPARE(boxes.shown().at(0).icon, msgbox::Icon::Error);
        QVERIFY2(boxes.shown().at(0).text.contains(u"could not be saved"),
                 qPrintable(boxes.shown().at(0).text));
        QVERIFY(boxes.shown().at(0).text.contains(QDir::toNativeSeparators(store::filePath())));
        QCOMPARE(control<QLabel>(window, "lblStatus")->text(),
                 QStringLiteral("Settings not saved."));
        QCOMPARE(control<QLineEdit>(window, "txtPlayerDetails_0")->text(), QStringLiteral("Duke"));
        QCOMPARE(ReadSetting(kPlayer, QStringLiteral("PlayerName")), QString());
        QCOMPARE(ReadSetting(kGame, QStringLiteral("VLSetup")), QString());
        QCOMPARE(saved.count(), 0);
        QCOMPARE(completed.count(), 0);
        QVERIFY(!window->savedComplete());
        QVERIFY(window->isVisible());

        // Once the lock is free the same input saves.
        other.unlock();
        boxes.clear();
        QVERIFY(window->Save());
        QCOMPARE(boxes.texts(), QStringList());
        QCOMPARE(ReadSetting(kPlayer, QStringLiteral("PlayerName")), QStringLiteral("Duke"));
        QCOMPARE(completed.count(), 1);
    }

    void unusableStoredValues_data()
    {
        QTest::addColumn<QString>("location");
        QTest::addColumn<int>("locationIndex");
        QTest::addColumn<QString>("defaultPort");
        QTest::addColumn<int>("portIndex");

        QTest::newRow("valid") << QStringLiteral("183") << 183 << QStringLiteral("4") << 3;
        QTest::newRow("last country, port 1")
            << QStringLiteral("193") << 193 << QStringLiteral("1") << 0;
        QTest::newRow("beyond the table")
            << QStringLiteral("194") << -1 << QStringLiteral("5") << 0;
        QTest::newRow("negative") << QStringLiteral("-3") << -1 << QStringLiteral("0") << 0;
        QTest::newRow("not numbers")
            << QStringLiteral("Canada") << -1 << QStringLiteral("two") << 0;
        QTest::newRow("missing") << QStringLiteral("") << -1 << QStringLiteral("") << 0;
    }

    void unusableStoredValues()
    {
        QFETCH(QString, location);
        QFETCH(int, locationIndex);
        QFETCH(QString, defaultPort);
        QFETCH(int, portIndex);

        storePorts(defaultPort);
        WriteSetting(kPlayer, QStringLiteral("Location"), location);
        WriteSetting(kNetwork, QStringLiteral("WanIP"), QStringLiteral("999.1.1.1"));
        WriteSetting(kNetwork, QStringLiteral("WanPort"), QStringLiteral("0"));
        WriteSetting(kNetwork, QStringLiteral("LanIP"), QString());
        WriteSetting(kNetwork, QStringLiteral("LanPort"), QStringLiteral("40000"));
        WriteSetting(kGame, QStringLiteral("IUseX"), QStringLiteral("yes"));

        FrmOptions *window = open();
        QCOMPARE(control<QComboBox>(window, "cmbPlayerDetails_0")->currentIndex(), locationIndex);
        QCOMPARE(control<QComboBox>(window, "cmbPortDetails_0")->currentIndex(), portIndex);
        QCOMPARE(window->chosenDefaultPort(), portIndex);
        const QString address = options::MachineLocalAddress();
        QCOMPARE(control<QLineEdit>(window, "txtWanDetails_0")->text(), address);
        QCOMPARE(control<QLineEdit>(window, "txtWanDetails_1")->text(), QStringLiteral("8500"));
        QCOMPARE(control<QLineEdit>(window, "txtLanDetails_0")->text(), address);
        QCOMPARE(control<QLineEdit>(window, "txtLanDetails_1")->text(), QStringLiteral("8500"));

        control<QComboBox>(window, "cmbPortDetails_0")->setCurrentIndex(3);
        QVERIFY(!control<QCheckBox>(window, "chkIUSE")->isChecked());

        MessageBoxRecorder boxes;
        QVERIFY(!window->Save());
        QCOMPARE(ReadSetting(kPlayer, QStringLiteral("Location")), QString::number(locationIndex));
    }

    void unusedDefaultPortMoves_data()
    {
        QTest::addColumn<bool>("firstRun");
        QTest::addColumn<int>("defaultPort");
        QTest::addColumn<int>("movedTo");

        QTest::newRow("first to second") << false << 0 << 1;
        QTest::newRow("second to first") << false << 1 << 0;
        QTest::newRow("third stays") << false << 2 << 2;
        QTest::newRow("fourth stays") << false << 3 << 3;
        QTest::newRow("first run keeps the first") << true << 0 << 0;
        QTest::newRow("first run keeps the second") << true << 1 << 1;
    }

    void unusedDefaultPortMoves()
    {
        QFETCH(bool, firstRun);
        QFETCH(int, defaultPort);
        QFETCH(int, movedTo);

        storePorts(QString::number(defaultPort + 1));
        VL::instance().FirstRun = firstRun;
        FrmOptions *window = open();
        auto *use = control<QCheckBox>(window, "chkIUSE");
        auto *setDefault = control<QCheckBox>(window, "chkSetDefault");
        QVERIFY(use->isChecked());
        QVERIFY(setDefault->isChecked());
        QVERIFY(setDefault->isEnabled());

        clickBox(use);
        QVERIFY(!use->isChecked());
        QCOMPARE(window->chosenDefaultPort(), movedTo);
        QVERIFY(!setDefault->isChecked());
        QVERIFY(!setDefault->isEnabled());
        for (const char *name :
             { "txtPortDetails_0", "txtPortDetails_1", "txtPortDetails_2", "cmdExeBrowse",
               "cmdModBrowse", "cmdMapBrowse", "cmdClearTC", "cmdClearUM", "chkUseHRP", "cmdHRP" })
            QVERIFY2(!control<QWidget>(window, QString::fromLatin1(name))->isEnabled(), name);

        MessageBoxRecorder boxes;
        window->Save();
        QCOMPARE(ReadSetting(kGame, QStringLiteral("DefaultPort")), QString::number(movedTo + 1));
        QCOMPARE(ReadSetting(kGame, options::IUseValueName(defaultPort)), QStringLiteral("0"));

        clickBox(use);
        for (const char *name : { "txtPortDetails_0", "cmdExeBrowse", "cmdClearUM", "chkSetDefault",
                                  "chkUseHRP", "cmdHRP" })
            QVERIFY2(control<QWidget>(window, QString::fromLatin1(name))->isEnabled(), name);
    }

    void setAsDefaultFollowsOnlyTheClick()
    {
        storePorts(QStringLiteral("3"));
        FrmOptions *window = open();
        auto *ports = control<QComboBox>(window, "cmbPortDetails_0");
        auto *setDefault = control<QCheckBox>(window, "chkSetDefault");
        QCOMPARE(window->chosenDefaultPort(), 2);

        // Unticking on any port makes the first port the default.
        clickBox(setDefault);
        QVERIFY(!setDefault->isChecked());
        QCOMPARE(window->chosenDefaultPort(), 0);

        ports->setCurrentIndex(1);
        QVERIFY(!setDefault->isChecked());
        clickBox(setDefault);
        QCOMPARE(window->chosenDefaultPort(), 1);

        // A tick set from code leaves the default alone.
        ports->setCurrentIndex(3);
        QVERIFY(!setDefault->isChecked());
        setDefault->setChecked(true);
        QCOMPARE(window->chosenDefaultPort(), 1);
        setDefault->setChecked(false);
        QCOMPARE(window->chosenDefaultPort(), 1);
        ports->setCurrentIndex(1);
        QVERIFY(setDefault->isChecked());
    }

    void switchingPortsShowsStoredState()
    {
        storePorts(QStringLiteral("1"));
        WriteSetting(kGame, QStringLiteral("IUseJ"), QStringLiteral("0"));
        FrmOptions *window = open();
        auto *ports = control<QComboBox>(window, "cmbPortDetails_0");
        auto *exe = control<QLineEdit>(window, "txtPortDetails_0");
        auto *mod = control<QLineEdit>(window, "txtPortDetails_1");
        auto *use = control<QCheckBox>(window, "chkIUSE");

        QTest::mouseClick(control<QPushButton>(window, "cmdClearTC"), Qt::LeftButton);
        QCOMPARE(mod->text(), QString());
        ports->setCurrentIndex(1);
        QCOMPARE(exe->text(), QStringLiteral("C:\\J\\duke.exe"));
        QCOMPARE(mod->text(), QStringLiteral("C:\\J\\mod"));
        QVERIFY(!use->isChecked());
        QVERIFY(!exe->isEnabled());
        clickBox(use);
        QVERIFY(use->isChecked());

        ports->setCurrentIndex(0);
        QCOMPARE(exe->text(), QStringLiteral("C:\\R\\duke.exe"));
        QCOMPARE(mod->text(), QStringLiteral("C:\\R\\mod"));
        QVERIFY(use->isChecked());
        ports->setCurrentIndex(1);
        QVERIFY(!use->isChecked());
    }

    void incompleteSave_data()
    {
        QTest::addColumn<bool>("withExe");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("firstRun");

        QTest::newRow("empty name") << true << QString() << false;
        QTest::newRow("missing executable") << false << QStringLiteral("Duke") << false;
        QTest::newRow("empty name on a first run") << true << QString() << true;
    }

    void incompleteSave()
    {
        QFETCH(bool, withExe);
        QFETCH(QString, name);
        QFETCH(bool, firstRun);

        storePorts(QStringLiteral("1"));
        if (withExe)
            WriteSetting(kGame, QStringLiteral("R_ExePath"),
                         makeFile(QStringLiteral("duke3d_w32")));
        VL::instance().FirstRun = firstRun;
        FrmOptions *window = open();
        window->SelectTab(1);
        control<QLineEdit>(window, "txtPlayerDetails_0")->setText(name);
        QTest::keyClicks(control<QLineEdit>(window, "txtYourDetails_0"), QStringLiteral("Full"));
        QSignalSpy saved(window, &FrmOptions::detailsSaved);
        QSignalSpy completed(window, &FrmOptions::firstRunCompleted);

        MessageBoxRecorder boxes;
        QTest::mouseClick(control<QPushButton>(window, "cmdSave"), Qt::LeftButton);
        QCOMPARE(boxes.texts(), QStringList { kIncomplete });
        QCOMPARE(boxes.shown().at(0).title, QStringLiteral("Error"));
        QCOMPARE(ReadSetting(kPlayer, QStringLiteral("FullName")), QStringLiteral("Full"));
        QCOMPARE(ReadSetting(kPlayer, QStringLiteral("PlayerName")), name);
        QCOMPARE(ReadSetting(kNetwork, QStringLiteral("NetworkType")), QStringLiteral("1"));
        QCOMPARE(ReadSetting(kGame, QStringLiteral("VLSetup")), QString());
        QCOMPARE(saved.count(), 1);
        QCOMPARE(saved.at(0).at(0).toBool(), false);
        QVERIFY(!window->savedComplete());
        QCOMPARE(completed.count(), 0);
        QCOMPARE(VL::instance().FirstRun, firstRun);
        QCOMPARE(control<QLabel>(window, "lblStatus")->text(),
                 QStringLiteral("Make your selections"));
        QVERIFY(window->isVisible());
    }

    void firstRunSaveHandsBack()
    {
        storePorts(QStringLiteral("2"));
        WriteSetting(kGame, QStringLiteral("J_ExePath"), makeFile(QStringLiteral("duke3d")));
        VL::instance().FirstRun = true;
        FrmOptions *window = open();
        QSignalSpy completed(window, &FrmOptions::firstRunCompleted);
        QSignalSpy quit(window, &FrmOptions::quitRequested);
        bool firstRunWhenSignalled = false;
        connect(window, &FrmOptions::firstRunCompleted, this,
                [&] { firstRunWhenSignalled = VL::instance().FirstRun; });
        window->SelectTab(1);
        QTest::keyClicks(control<QLineEdit>(window, "txtPlayerDetails_0"), QStringLiteral("Duke"));

        MessageBoxRecorder boxes;
        QTest::mouseClick(control<QPushButton>(window, "cmdSave"), Qt::LeftButton);
        QCOMPARE(boxes.texts(), QStringList());
        QCOMPARE(completed.count(), 1);
        QVERIFY(firstRunWhenSignalled);
        QVERIFY(!VL::instance().FirstRun);
        QCOMPARE(ReadSetting(kGame, QStringLiteral("VLSetup")), QStringLiteral("1"));
        QTRY_VERIFY(m_window.isNull());
        QCOMPARE(quit.count(), 0);
        QCOMPARE(g_quitCalls, 0);
    }

    void closing_data()
    {
        QTest::addColumn<bool>("firstRun");
        QTest::addColumn<bool>("complete");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("asks");
        QTest::addColumn<bool>("quits");
        QTest::addColumn<bool>("staysOpen");

        const int ok = int(msgbox::Answer::Ok);
        const int cancel = int(msgbox::Answer::Cancel);
        QTest::newRow("title bar, first run")
            << true << false << QStringLiteral("title bar") << ok << false << true << false;
        QTest::newRow("Close, first run, OK")
            << true << false << QStringLiteral("Close") << ok << true << true << false;
        QTest::newRow("Close, first run, Cancel")
            << true << false << QStringLiteral("Close") << cancel << true << false << true;
        QTest::newRow("Escape, first run, Cancel")
            << true << false << QStringLiteral("Escape") << cancel << true << false << true;
        QTest::newRow("title bar, first run, details complete")
            << true << true << QStringLiteral("title bar") << ok << false << false << false;
        QTest::newRow("Close, later run")
            << false << false << QStringLiteral("Close") << ok << false << false << false;
        QTest::newRow("title bar, later run")
            << false << false << QStringLiteral("title bar") << ok << false << false << false;
    }

    void closing()
    {
        QFETCH(bool, firstRun);
        QFETCH(bool, complete);
        QFETCH(QString, how);
        QFETCH(int, answer);
        QFETCH(bool, asks);
        QFETCH(bool, quits);
        QFETCH(bool, staysOpen);

        storePorts(QStringLiteral("1"));
        if (complete) {
            WriteSetting(kGame, QStringLiteral("R_ExePath"),
                         makeFile(QStringLiteral("duke3d_w32")));
            WriteSetting(kPlayer, QStringLiteral("PlayerName"), QStringLiteral("Duke"));
        }
        VL::instance().FirstRun = firstRun;
        FrmOptions *window = open();
        QSignalSpy quit(window, &FrmOptions::quitRequested);

        MessageBoxRecorder boxes;
        boxes.answerNext(msgbox::Answer(answer));
        if (how == u"title bar")
            window->close();
        else if (how == u"Close")
            QTest::mouseClick(control<QPushButton>(window, "cmdClose"), Qt::LeftButton);
        else
            QTest::keyClick(window, Qt::Key_Escape);

        QCOMPARE(boxes.texts(), asks ? QStringList { kQuitQuestion } : QStringList());
        if (asks)
            QCOMPARE(boxes.shown().at(0).buttons, msgbox::Buttons::OkCancel);
        QCOMPARE(quit.count(), quits ? 1 : 0);
        QCOMPARE(g_quitCalls, quits ? 1 : 0);
        if (staysOpen) {
            QVERIFY(window->isVisible());
        } else {
            QTRY_VERIFY(m_window.isNull());
        }
    }

    void networkType_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("direct");

        QTest::newRow("direct") << QStringLiteral("1") << true;
        QTest::newRow("shared") << QStringLiteral("2") << false;
        QTest::newRow("other value") << QStringLiteral("3") << false;
        QTest::newRow("missing") << QStringLiteral("") << false;
    }

    void networkType()
    {
        QFETCH(QString, stored);
        QFETCH(bool, direct);

        WriteSetting(kNetwork, QStringLiteral("NetworkType"), stored);
        FrmOptions *window = open();
        window->SelectTab(3);
        auto *optWan = control<QRadioButton>(window, "optWan");
        auto *optLan = control<QRadioButton>(window, "optLan");
        QCOMPARE(optWan->isChecked(), direct);
        QCOMPARE(optLan->isChecked(), !direct);
        for (const char *name :
             { "txtLanDetails_0", "txtLanDetails_1", "cmdFindLanIP", "lblLanIP", "lblLanPort" })
            QVERIFY2(control<QWidget>(window, QString::fromLatin1(name))->isEnabled() == !direct,
                     name);
        QVERIFY(control<QWidget>(window, "txtWanDetails_0")->isEnabled());
        QVERIFY(control<QWidget>(window, "cmdFindWanIP")->isEnabled());

        clickBox(direct ? optLan : optWan);
        QCOMPARE(control<QWidget>(window, "txtLanDetails_0")->isEnabled(), direct);
        MessageBoxRecorder boxes;
        window->Save();
        QCOMPARE(ReadSetting(kNetwork, QStringLiteral("NetworkType")),
                 direct ? QStringLiteral("2") : QStringLiteral("1"));
    }

    void findWanIP_data()
    {
        QTest::addColumn<bool>("serverUp");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("warnings");

        const QString failed = QStringLiteral("Operation failed.");
        QTest::newRow("address") << true << QByteArray("<p>@@START@@198.51.100.23@@END@@</p>")
                                 << QStringLiteral("198.51.100.23")
                                 << QStringLiteral("Operation complete.") << QStringList();
        QTest::newRow("no address in the reply")
            << true << QByteArray("@@START@@<b>nope</b>@@END@@") << QStringLiteral("203.0.113.1")
            << failed << QStringList { QStringLiteral("Unable to get your Selected IP Address.") };
        QTest::newRow("no server")
            << false << QByteArray() << QStringLiteral("203.0.113.1") << failed << QStringList();
    }

    void findWanIP()
    {
        QFETCH(bool, serverUp);
        QFETCH(QByteArray, body);
        QFETCH(QString, address);
        QFETCH(QString, status);
        QFETCH(QStringList, warnings);

        LocalHttpServer server;
        server.serve(kMyIpPath, body);
        QString base = server.baseUrl();
        if (!serverUp) {
            QTcpServer probe;
            probe.listen(QHostAddress::LocalHost);
            base = u"http://127.0.0.1:" + QString::number(probe.serverPort());
        }
        WriteSetting(kNetwork, QStringLiteral("DirectoryURL"), base);
        WriteSetting(kNetwork, QStringLiteral("WanIP"), QStringLiteral("203.0.113.1"));

        FrmOptions *window = open();
        window->SelectTab(3);
        auto *progress = control<QProgressBar>(window, "ProgBar");
        auto *statusLine = control<QLabel>(window, "lblStatus");
        QVERIFY(!progress->isVisible());
        bool progressShown = false;
        QString statusWhileWaiting;
        connect(&server, &LocalHttpServer::requestReceived, this, [&] {
            progressShown = progress->isVisible();
            statusWhileWaiting = statusLine->text();
        });

        MessageBoxRecorder boxes;
        QTest::mouseClick(control<QPushButton>(window, "cmdFindWanIP"), Qt::LeftButton);
        QCOMPARE(control<QLineEdit>(window, "txtWanDetails_0")->text(), address);
        QCOMPARE(statusLine->text(), status);
        QCOMPARE(boxes.texts(), warnings);
        QVERIFY(!progress->isVisible());
        QCOMPARE(progress->value(), 0);
        QVERIFY(control<QWidget>(window, "cmdFindWanIP")->isEnabled());
        QCOMPARE(server.requests().size(), serverUp ? 1 : 0);
        if (serverUp) {
            QVERIFY(progressShown);
            QCOMPARE(statusWhileWaiting, QStringLiteral("Requesting IP Address..."));
        }
    }

    void closingWhileTheAddressIsRequested()
    {
        LocalHttpServer server;
        server.serveStall(kMyIpPath);
        WriteSetting(kNetwork, QStringLiteral("DirectoryURL"), server.baseUrl());
        FrmOptions *window = open();
        window->setProgressInterval(1);
        auto *progress = control<QProgressBar>(window, "ProgBar");
        int highest = 0;
        connect(progress, &QProgressBar::valueChanged, this,
                [&highest](int value) { highest = qMax(highest, value); });
        bool barRanOut = false;
        connect(&server, &LocalHttpServer::requestReceived, window, [&] {
            QTimer::singleShot(300, window, [&] {
                barRanOut = !progress->isVisible();
                window->close();
            });
        });

        MessageBoxRecorder boxes;
        window->SelectTab(3);
        control<QPushButton>(window, "cmdFindWanIP")->click();
        QCOMPARE(highest, 20);
        QVERIFY(barRanOut);
        QTRY_VERIFY(m_window.isNull());
        QCOMPARE(boxes.texts(), QStringList());
    }

    void autoDetect()
    {
        LocalHttpServer server;
        server.serve(kMyIpPath, QByteArray("@@START@@198.51.100.77@@END@@"));
        WriteSetting(kNetwork, QStringLiteral("DirectoryURL"), server.baseUrl());
        WriteSetting(kNetwork, QStringLiteral("NetworkType"), QStringLiteral("1"));
        FrmOptions *window = open();
        window->SelectTab(3);
        auto *optLan = control<QRadioButton>(window, "optLan");
        auto *wanAddress = control<QLineEdit>(window, "txtWanDetails_0");
        auto *lanAddress = control<QLineEdit>(window, "txtLanDetails_0");

        window->AutoDetectNetworkFor(QStringLiteral("192.168.7.3"));
        QVERIFY(optLan->isChecked());
        QVERIFY(lanAddress->isEnabled());
        QCOMPARE(wanAddress->text(), QStringLiteral("198.51.100.77"));
        QCOMPARE(server.requests().size(), 1);

        // A connected socket's own address decides: loopback is not private.
        QTcpServer listener;
        QVERIFY(listener.listen(QHostAddress::LocalHost));
        StreamSocket socket(0);
        QSignalSpy connected(&socket, &StreamSocket::connected);
        QVERIFY(socket.connectToHost(QStringLiteral("127.0.0.1"), listener.serverPort()));
        QVERIFY(connected.wait());
        window->AutoDetectNetwork(socket);
        QVERIFY(control<QRadioButton>(window, "optWan")->isChecked());
        QVERIFY(!lanAddress->isEnabled());
        QCOMPARE(lanAddress->text(), QStringLiteral("127.0.0.1"));
        QCOMPARE(server.requests().size(), 1);
        QCOMPARE(control<QLabel>(window, "lblStatus")->text(),
                 QStringLiteral("Operation complete."));
    }

    void findLanIP()
    {
        WriteSetting(kNetwork, QStringLiteral("NetworkType"), QStringLiteral("2"));
        WriteSetting(kNetwork, QStringLiteral("LanIP"), QStringLiteral("10.1.1.1"));
        FrmOptions *window = open();
        window->SelectTab(3);
        QTest::mouseClick(control<QPushButton>(window, "cmdFindLanIP"), Qt::LeftButton);
        QCOMPARE(control<QLineEdit>(window, "txtLanDetails_0")->text(),
                 options::MachineLocalAddress());
        QCOMPARE(control<QLabel>(window, "lblStatus")->text(),
                 QStringLiteral("Operation complete."));
    }

    void hrpWindow_data()
    {
        QTest::addColumn<QString>("pack1");
        QTest::addColumn<bool>("save");
        QTest::addColumn<bool>("stillTicked");

        QTest::newRow("title bar, nothing typed") << QString() << false << false;
        QTest::newRow("title bar, pack typed") << QStringLiteral("mine.zip") << false << false;
        QTest::newRow("saved empty") << QString() << true << false;
        QTest::newRow("saved with a pack") << QStringLiteral("mine.zip") << true << true;
    }

    void hrpWindow()
    {
        QFETCH(QString, pack1);
        QFETCH(bool, save);
        QFETCH(bool, stillTicked);

        storePorts(QStringLiteral("1"));
        WriteSetting(kGame, QStringLiteral("HRP_Path2"), QStringLiteral("old.zip"));
        FrmOptions *window = open();
        auto *useHRP = control<QCheckBox>(window, "chkUseHRP");
        QVERIFY(useHRP->isEnabled());
        clickBox(useHRP);
        QVERIFY(useHRP->isChecked());
        auto *hrp = FindForm<FrmHRP>(QStringLiteral("FrmHRP"));
        QVERIFY(hrp != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(hrp));
        QCOMPARE(hrp->windowTitle(), QStringLiteral("Manage High Resolution Pack (HRP)"));
        QCOMPARE(hrp->parentWidget(), window);
        auto *pack2 = control<QLineEdit>(hrp, "txtPack2");
        QCOMPARE(pack2->text(), QStringLiteral("old.zip"));
        pack2->clear();
        QTest::keyClicks(control<QLineEdit>(hrp, "txtPack1"), pack1);

        if (save)
            QTest::keyClick(control<QLineEdit>(hrp, "txtPack1"), Qt::Key_Return);
        else
            hrp->close();
        QCOMPARE(useHRP->isChecked(), stillTicked);
        QCOMPARE(ReadSetting(kGame, QStringLiteral("HRP_Path1")), save ? pack1 : QString());
        QCOMPARE(ReadSetting(kGame, QStringLiteral("HRP_Path2")),
                 save ? QString() : QStringLiteral("old.zip"));
        QCOMPARE(VL::instance().HRPPath1, save ? pack1 : QString());
        QTRY_VERIFY(!IsFormLoaded(QStringLiteral("FrmHRP")));
    }

    void hrpDefaultsAreNotStored()
    {
        storePorts(QStringLiteral("1"));
        FrmOptions *window = open();
        QTest::mouseClick(control<QPushButton>(window, "cmdHRP"), Qt::LeftButton);
        auto *hrp = FindForm<FrmHRP>(QStringLiteral("FrmHRP"));
        QVERIFY(hrp != nullptr);
        QTest::mouseClick(control<QPushButton>(hrp, "cmdDefaults"), Qt::LeftButton);
        QCOMPARE(control<QLineEdit>(hrp, "txtPack1")->text(), QStringLiteral("duke3d_hrp.zip"));
        QCOMPARE(control<QLineEdit>(hrp, "txtPack2")->text(), QStringLiteral("hacks.zip"));
        QTest::keyClick(hrp, Qt::Key_Escape);
        QTRY_VERIFY(!IsFormLoaded(QStringLiteral("FrmHRP")));
        QCOMPARE(ReadSetting(kGame, QStringLiteral("HRP_Path1")), QString());
        QCOMPARE(ReadSetting(kGame, QStringLiteral("HRP_Path2")), QString());
    }

    void storedHRPWithoutPackOpensHRPWindow()
    {
        storePorts(QStringLiteral("1"));
        WriteSetting(kGame, QStringLiteral("EnableHRP"), QStringLiteral("1"));
        open();
        QTRY_VERIFY(IsFormLoaded(QStringLiteral("FrmHRP")));
    }

    void exeChooser_data()
    {
        QTest::addColumn<bool>("choose");
        QTest::addColumn<bool>("currentPortInstalled");
        QTest::newRow("chosen, from the program's folder") << true << false;
        QTest::newRow("cancelled, from the current port's folder") << false << true;
    }

    void exeChooser()
    {
        QFETCH(bool, choose);
        QFETCH(bool, currentPortInstalled);

        storePorts(QStringLiteral("1"));
        const QString installed = makeFile(QStringLiteral("duke3d"));
        if (currentPortInstalled)
            WriteSetting(kGame, QStringLiteral("J_ExePath"), installed);
        // The port of the session or launch, not the one shown.
        VL::instance().CurrentPort = 2;
        const QString exe = makeFile(QStringLiteral("eduke32"));
        FrmOptions *window = open();
        control<QComboBox>(window, "cmbPortDetails_0")->setCurrentIndex(2);
        QString title;
        QStringList filters;
        QString folder;
        onFileDialog([&](QFileDialog *dialog) {
            title = dialog->windowTitle();
            filters = dialog->nameFilters();
            folder = dialog->directory().absolutePath();
            if (choose) {
                dialog->selectFile(exe);
                static_cast<QDialog *>(dialog)->accept();
            } else {
                dialog->reject();
            }
        });
        QTest::mouseClick(control<QPushButton>(window, "cmdExeBrowse"), Qt::LeftButton);
        QCOMPARE(title, QStringLiteral("Velkor - Choose Port"));
        QCOMPARE(filters.join(u";;"), options::ExeChooserFilter(2));
        QCOMPARE(
            folder,
            QDir(currentPortInstalled ? QFileInfo(installed).absolutePath() : VL::installPath())
                .absolutePath());
        QCOMPARE(control<QLineEdit>(window, "txtPortDetails_0")->text(),
                 choose ? exe : QStringLiteral("C:\\E\\duke.exe"));
    }

    void folderChoosers_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("choose");

        QTest::newRow("mod chosen")
            << QStringLiteral("cmdModBrowse") << QStringLiteral("Select Mod/TC Folder:")
            << QStringLiteral("txtPortDetails_1") << true;
        QTest::newRow("mod cancelled")
            << QStringLiteral("cmdModBrowse") << QStringLiteral("Select Mod/TC Folder:")
            << QStringLiteral("txtPortDetails_1") << false;
        QTest::newRow("usermaps chosen")
            << QStringLiteral("cmdMapBrowse") << QStringLiteral("Select Usermap Folder:")
            << QStringLiteral("txtPortDetails_2") << true;
    }

    void folderChoosers()
    {
        QFETCH(QString, button);
        QFETCH(QString, title);
        QFETCH(QString, field);
        QFETCH(bool, choose);

        storePorts(QStringLiteral("1"));
        WriteSetting(kGame, QStringLiteral("MapPath"), QStringLiteral("C:\\R\\mod"));
        const QString folder = QFileInfo(makeFile(QStringLiteral("x"))).absolutePath();
        FrmOptions *window = open();
        QString shownTitle;
        onFileDialog([&](QFileDialog *dialog) {
            shownTitle = dialog->windowTitle();
            if (choose) {
                dialog->setDirectory(folder);
                static_cast<QDialog *>(dialog)->accept();
            } else {
                dialog->reject();
            }
        });
        QTest::mouseClick(control<QPushButton>(window, button), Qt::LeftButton);
        QCOMPARE(shownTitle, title);
        QCOMPARE(control<QLineEdit>(window, field)->text(),
                 choose ? QDir::toNativeSeparators(folder) : QStringLiteral("C:\\R\\mod"));
    }

    void previousNames()
    {
        WriteSetting(kPlayer, QStringLiteral("PlayerName"), QStringLiteral("Duke"));
        WriteSetting(kPlayer, QStringLiteral("OtherNames"),
                     QStringLiteral("Alpha") + sep::MsgSep + QStringLiteral("Beta"));
        FrmOptions *window = open();
        window->SelectTab(1);
        auto *names = control<QComboBox>(window, "cmbPlayerDetails_1");
        QStringList shown;
        for (int row = 0; row < names->count(); ++row)
            shown.append(names->itemText(row));
        QCOMPARE(shown, (QStringList { "Duke", "Alpha", "Beta" }));

        names->setFocus();
        QTest::keyClick(names, Qt::Key_Down);
        QCOMPARE(control<QLineEdit>(window, "txtPlayerDetails_0")->text(), QStringLiteral("Alpha"));

        WriteSetting(kPlayer, QStringLiteral("OtherNames"), QString());
        window->GetOtherNames();
        QCOMPARE(names->count(), 1);
        QCOMPARE(names->itemText(0), QStringLiteral("Alpha"));
    }

    void tabs()
    {
        FrmOptions *window = open();
        auto *tabs = control<QTabWidget>(window, "vlTab");
        QCOMPARE(tabs->count(), 4);
        QCOMPARE(tabs->tabText(3), QStringLiteral("Network Settings"));
        QCOMPARE(tabs->currentWidget(), control<QWidget>(window, "Frames_0"));
        QVERIFY(!control<QWidget>(window, "Frames_4")->isVisible());

        window->SelectTab(2);
        QVERIFY(control<QWidget>(window, "Frames_2")->isEnabled());
        QVERIFY(!control<QWidget>(window, "Frames_0")->isEnabled());
        QCOMPARE(control<QComboBox>(window, "cmbChatColour")->currentText(),
                 QStringLiteral("Red (Default)"));

        MessageBoxRecorder boxes;
        window->SelectTab(4);
        QCOMPARE(boxes.texts(), QStringList { QStringLiteral("Tab doesn't exist") });
        QCOMPARE(boxes.shown().at(0).title, QStringLiteral("Error"));
        QCOMPARE(tabs->currentIndex(), 2);
    }

    void singleInstanceCentred()
    {
        FrmOptions *window = open();
        QCOMPARE(options::ShowOptions(nullptr), window);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(qAbs(window->frameGeometry().center().x() - screen.center().x()) <= 2);
        QCOMPARE(window->isModal(), false);

        // A closed window waiting for deletion is not reused.
        window->close();
        FrmOptions *second = options::ShowOptions(nullptr);
        QVERIFY(second != window);
        delete second;
    }
};

QTEST_MAIN(TestFrmOptions)
#include "tst_frmoptions.moc"
