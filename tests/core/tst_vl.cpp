#include "modregistry.h"
#include "paths.h"
#include "portsetup.h"
#include "sessionplayers.h"
#include "tables.h"
#include "testsupport.h"
#include "vl.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTest>

namespace {

const QString kGame = QStringLiteral("Game");
const QString kNetwork = QStringLiteral("Network");
const QString kPlayer = QStringLiteral("Player");

QString makeFile(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    return path;
}

} // namespace

class TestVL : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tables::FillPortNames(); }

    void init()
    {
        testsupport::freshSettingsStore();
        VL::instance().reset();
    }

    void firstRunDefaults()
    {
        VL &vl = VL::instance();
        QVERIFY(vl.CheckFirstRun());
        vl.SetDefaultRegVals();
        QVERIFY(vl.CheckFirstRun()); // until the options are saved
        WriteSetting(kGame, QStringLiteral("VLSetup"), QStringLiteral("1"));
        QVERIFY(!vl.CheckFirstRun());

        const QList<std::tuple<QString, QString, QString>> defaults {
            { QStringLiteral("Session"), QStringLiteral("FontName"), QStringLiteral("Arial") },
            { QStringLiteral("Session"), QStringLiteral("FontSize"), QStringLiteral("10") },
            { QStringLiteral("Session"), QStringLiteral("FontColour"), QStringLiteral("16777215") },
            { QStringLiteral("Session"), QStringLiteral("FontStyle"), QStringLiteral("1") },
            { kPlayer, QStringLiteral("Location"), QStringLiteral("183") },
            { kPlayer, QStringLiteral("Age"), QStringLiteral("18") },
            { kNetwork, QStringLiteral("Bandwidth"), QStringLiteral("256") },
            { kNetwork, QStringLiteral("NetworkType"), QStringLiteral("1") },
            { kGame, QStringLiteral("DefaultPort"), QStringLiteral("1") },
            { kGame, QStringLiteral("VLVersion"), QStringLiteral("2.0.13") },
            { kGame, QStringLiteral("InstallPath"), QCoreApplication::applicationDirPath() },
        };
        for (const auto &[subKey, name, value] : defaults)
            QCOMPARE(ReadSetting(subKey, name), value);
        const QDate lastRun
            = QDate::fromString(ReadSetting(kGame, QStringLiteral("LastRun")), Qt::ISODate);
        QCOMPARE(lastRun, QDate::currentDate().addDays(-6));
        QCOMPARE(ReadSetting(kPlayer, QStringLiteral("PlayerName")), QString());
    }

    void defaultPort_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("port");
        QTest::newRow("first") << QStringLiteral("1") << 0;
        QTest::newRow("third") << QStringLiteral("3") << 2;
        QTest::newRow("fourth") << QStringLiteral("4") << 3;
        QTest::newRow("not numeric") << QStringLiteral("abc") << 0;
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("zero") << QStringLiteral("0") << 0;
        QTest::newRow("too high") << QStringLiteral("9") << 0;
        QTest::newRow("negative") << QStringLiteral("-2") << 0;
    }

    void defaultPort()
    {
        QFETCH(QString, stored);
        QFETCH(int, port);
        VL::instance().SetDefaultRegVals();
        WriteSetting(kGame, QStringLiteral("DefaultPort"), stored);
        QCOMPARE(int(VL::instance().GetDefaultPort()), port);
    }

    void myDetails_data()
    {
        QTest::addColumn<QString>("networkType");
        QTest::addColumn<QString>("age");
        QTest::addColumn<QString>("localIP");
        QTest::addColumn<QString>("localPort");
        QTest::addColumn<int>("slotAge");
        QTest::addColumn<QString>("storedAge");
        QTest::newRow("internet") << QStringLiteral("1") << QStringLiteral("30")
                                  << QStringLiteral("0.0.0.0") << QStringLiteral("23513") << 30
                                  << QStringLiteral("30");
        QTest::newRow("local network")
            << QStringLiteral("2") << QStringLiteral("0") << QStringLiteral("192.168.1.5")
            << QStringLiteral("23600") << 0 << QStringLiteral("0");
        QTest::newRow("age too high")
            << QStringLiteral("1") << QStringLiteral("300") << QStringLiteral("0.0.0.0")
            << QStringLiteral("23513") << 18 << QStringLiteral("18");
        QTest::newRow("age negative")
            << QStringLiteral("1") << QStringLiteral("-1") << QStringLiteral("0.0.0.0")
            << QStringLiteral("23513") << 18 << QStringLiteral("18");
        QTest::newRow("age not a number")
            << QStringLiteral("1") << QStringLiteral("old") << QStringLiteral("0.0.0.0")
            << QStringLiteral("23513") << 18 << QStringLiteral("18");
        QTest::newRow("unknown network type")
            << QStringLiteral("7") << QStringLiteral("255") << QString() << QString() << 255
            << QStringLiteral("255");
    }

    void myDetails()
    {
        QFETCH(QString, networkType);
        QFETCH(QString, age);
        QFETCH(QString, localIP);
        QFETCH(QString, localPort);
        QFETCH(int, slotAge);
        QFETCH(QString, storedAge);

        VL &vl = VL::instance();
        vl.SetDefaultRegVals();
        WriteSetting(kNetwork, QStringLiteral("NetworkType"), networkType);
        WriteSetting(kNetwork, QStringLiteral("WanIP"), QStringLiteral("81.2.3.4"));
        WriteSetting(kNetwork, QStringLiteral("WanPort"), QStringLiteral("23513"));
        WriteSetting(kNetwork, QStringLiteral("LanIP"), QStringLiteral("192.168.1.5"));
        WriteSetting(kNetwork, QStringLiteral("LanPort"), QStringLiteral("23600"));
        WriteSetting(kPlayer, QStringLiteral("Age"), age);
        WriteSetting(kPlayer, QStringLiteral("PlayerName"), QStringLiteral("^2Duke"));
        WriteSetting(kPlayer, QStringLiteral("EmailAddress"), QStringLiteral("duke@example.org"));
        WriteSetting(kGame, QStringLiteral("EnableHRP"), QStringLiteral("1"));
        WriteSetting(kGame, QStringLiteral("HRP_Path1"), QStringLiteral("duke3d_hrp.zip"));

        SessionPlayers slot = vl.MyDetails();
        QCOMPARE(slot.PlayerName, QStringLiteral("^2Duke"));
        QCOMPARE(slot.Email, QStringLiteral("duke@example.org"));
        QCOMPARE(slot.Location, QStringLiteral("183"));
        QCOMPARE(int(slot.Age), slotAge);
        QCOMPARE(ReadSetting(kPlayer, QStringLiteral("Age")), storedAge);
        QCOMPARE(slot.Bandwidth, qint16(256));
        QCOMPARE(slot.LocalIP, localIP);
        QCOMPARE(slot.LocalPortNumber, localPort);
        QCOMPARE(slot.IPAddress, QStringLiteral("81.2.3.4"));
        QCOMPARE(slot.PortNumber, QStringLiteral("23513"));
        QVERIFY(vl.EnableHRP);
        QCOMPARE(vl.HRPPath1, QStringLiteral("duke3d_hrp.zip"));

        VL::ClearMyDetails(slot);
        QCOMPARE(slot.PlayerName, QString());
        QCOMPARE(slot.Age, quint8(0));
        QCOMPARE(slot.PortNumber, QStringLiteral("0"));
        QCOMPARE(slot.LocalPortNumber, QStringLiteral("0"));
    }

    void portPaths()
    {
        VL &vl = VL::instance();
        vl.SetDefaultRegVals();
        const QString jfFolder = testsupport::scratchFolder() + u"/ports/JF";
        const QString jfExe = makeFile(jfFolder + u"/duke3d");
        WriteSetting(kGame, QStringLiteral("J_ExePath"), jfExe);

        // No port configured: empty paths, the network file alone.
        vl.SetPortPaths(1);
        QCOMPARE(vl.CurrentPortPath, QString());
        QCOMPARE(vl.UsermapPath, QString());
        QVERIFY(vl.CheckForMap(QString()));

        vl.SetPortPaths(2);
        QCOMPARE(vl.J_ExeName, QStringLiteral("duke3d"));
        QCOMPARE(vl.CurrentPortPath, jfFolder);
        QCOMPARE(vl.CurrentPortCfg, JoinPath(jfFolder, QStringLiteral("VLCfg.txt")));
        QCOMPARE(vl.UsermapPath, jfFolder); // no MapPath

        // A port number outside 1-4 keeps the previous folder.
        vl.SetPortPaths(0);
        QCOMPARE(vl.CurrentPortPath, jfFolder);

        // A MapPath that does not exist falls back to the port's folder.
        WriteSetting(kGame, QStringLiteral("MapPath"), testsupport::scratchFolder() + u"/missing");
        vl.SetPortPaths(2);
        QCOMPARE(vl.UsermapPath, jfFolder);
        const QString maps = testsupport::scratchFolder() + u"/maps";
        QDir().mkpath(maps);
        WriteSetting(kGame, QStringLiteral("MapPath"), maps);
        vl.SetPortPaths(2);
        QCOMPARE(vl.UsermapPath, maps);

        makeFile(maps + u"/dukedm1.map");
        QVERIFY(vl.CheckForMap(QStringLiteral("dukedm1.map")));
        QVERIFY(!vl.CheckForMap(QStringLiteral("other.map")));
        // A map name from a peer cannot point outside the usermap folder.
        makeFile(testsupport::scratchFolder() + u"/outside.map");
        QVERIFY(!vl.CheckForMap(QStringLiteral("../outside.map")));
        QVERIFY(!vl.CheckForMap(QStringLiteral("..\\outside.map")));
    }

    void portSetupAndCompulsoryDetails()
    {
        testsupport::MessageBoxRecorder boxes;
        VL &vl = VL::instance();
        vl.SetDefaultRegVals();
        QVERIFY(!IsPortSetup(0, false));
        QVERIFY(boxes.shown().isEmpty());
        QVERIFY(!IsPortSetup(2, true));
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown().first().text,
                 QStringLiteral("EDuke32 has not been configured yet. Please configure in the main "
                                "options first."));
        QCOMPARE(boxes.shown().first().title, QStringLiteral("Not Configured"));
        QVERIFY(!IsPortSetup(4, true)); // no such port: no message
        QVERIFY(!IsPortSetup(-1, true));
        QCOMPARE(boxes.shown().size(), 1);

        const QString exe = makeFile(testsupport::scratchFolder() + u"/ports/E/eduke32");
        WriteSetting(kGame, QStringLiteral("E_ExePath"), exe);
        QVERIFY(IsPortSetup(2, true));
        WriteSetting(kGame, QStringLiteral("E_ExePath"),
                     testsupport::scratchFolder() + u"/ports/E");
        QVERIFY(!IsPortSetup(2, false)); // a folder is not an executable
        WriteSetting(kGame, QStringLiteral("E_ExePath"), exe);

        QVERIFY(!VL::CheckCompulsoryDetails()); // default port 1 has no executable
        WriteSetting(kGame, QStringLiteral("DefaultPort"), QStringLiteral("3"));
        QVERIFY(!VL::CheckCompulsoryDetails()); // no name yet
        WriteSetting(kPlayer, QStringLiteral("PlayerName"), QStringLiteral("Duke"));
        QVERIFY(VL::CheckCompulsoryDetails());
        WriteSetting(kGame, QStringLiteral("DefaultPort"), QStringLiteral("03"));
        QVERIFY(!VL::CheckCompulsoryDetails());
    }
};

QTEST_GUILESS_MAIN(TestVL)
#include "tst_vl.moc"
