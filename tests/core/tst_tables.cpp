#include "paths.h"
#include "tables.h"

#include <QTest>

class TestTables : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        tables::FillLevelTable();
        tables::FillCountryTable();
        tables::FillPortNames();
    }

    void levels()
    {
        QCOMPARE(tables::LevelNames(0, 1), QStringLiteral("Episode 1: LA Meltdown"));
        QCOMPARE(tables::LevelNames(7, 1), QStringLiteral("E1L7 - Faces Of Death"));
        QCOMPARE(tables::LevelNames(8, 1), QString());
        QCOMPARE(tables::LevelNames(1, 4), QStringLiteral("E4L1 - It 's Impossible!"));
        QCOMPARE(tables::LevelNames(11, 4), QStringLiteral("E4L11 - Area 51"));
        QCOMPARE(tables::LevelNames(1, 0), QString());
        QCOMPARE(tables::LevelNames(12, 2), QString());
        QCOMPARE(tables::LevelNames(-1, 2), QString());
        for (int episode = 1; episode <= 4; ++episode) {
            int levels = 0;
            for (int level = 1; level < tables::kLevelCount; ++level) {
                const QString name = tables::LevelNames(level, episode);
                if (name.isEmpty())
                    continue;
                ++levels;
                QVERIFY2(name.startsWith(QStringLiteral("E%1L%2 - ").arg(episode).arg(level)),
                         qPrintable(name));
            }
            QCOMPARE(levels, episode == 1 ? 7 : 11);
        }
    }

    void countries()
    {
        QCOMPARE(tables::countryList().size(), 194);
        QCOMPARE(tables::Countries(0), QStringLiteral("Afghanistan"));
        QCOMPARE(tables::Countries(45), QStringLiteral("C\u00f4te d'Ivoire"));
        QCOMPARE(tables::Countries(102), QStringLiteral("Macedonia, Former Yugoslav Republic of"));
        QCOMPARE(tables::Countries(182), QStringLiteral("United Kingdom"));
        QCOMPARE(tables::Countries(183), QStringLiteral("United States"));
        QCOMPARE(tables::Countries(193), QStringLiteral("Zimbabwe"));
        QCOMPARE(tables::Countries(194), QString());
        QCOMPARE(tables::Countries(-1), QString());
        // Sorted by character code, with the one exception of its accented letter.
        QStringList sorted = tables::countryList();
        sorted.removeAt(45);
        QVERIFY(std::is_sorted(sorted.cbegin(), sorted.cend()));
    }

    void namesOfPortsSkillsAndModes()
    {
        QCOMPARE(tables::PortNames(0), QString());
        QCOMPARE(tables::PortNames(1), QStringLiteral("Mordane Port"));
        QCOMPARE(tables::PortNames(4), QStringLiteral("xDuke's Port"));
        QCOMPARE(tables::PortNames(7), QStringLiteral("EDuke32"));
        QCOMPARE(tables::PortNames(9), QString());
        QCOMPARE(strDifficulty(4), QStringLiteral("Damn I'm Good"));
        QCOMPARE(strDifficulty(5), QString());
        QCOMPARE(strMode(2), QStringLiteral("Deathmatch (No Spawn)"));
        QCOMPARE(strMode(0), QString());
        QCOMPARE(strMode(4), QString());
    }

    void pathHelpers_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("exeName");
        QTest::addColumn<QString>("pathOnly");
        QTest::addColumn<QString>("drive");
        QTest::newRow("windows") << QStringLiteral("C:\\Games\\JF\\duke3d.exe")
                                 << QStringLiteral("duke3d.exe") << QStringLiteral("C:\\Games\\JF")
                                 << QStringLiteral("C");
        QTest::newRow("unix") << QStringLiteral("/opt/games/eduke32") << QStringLiteral("eduke32")
                              << QStringLiteral("/opt/games") << QStringLiteral("C");
        QTest::newRow("mixed") << QStringLiteral("D:\\Games/eduke32.exe")
                               << QStringLiteral("eduke32.exe") << QStringLiteral("D:\\Games")
                               << QStringLiteral("D");
        QTest::newRow("no separator")
            << QStringLiteral("duke3d.exe") << QString() << QString() << QStringLiteral("C");
        QTest::newRow("empty") << QString() << QString() << QString() << QStringLiteral("C");
    }

    void pathHelpers()
    {
        QFETCH(QString, path);
        QFETCH(QString, exeName);
        QFETCH(QString, pathOnly);
        QFETCH(QString, drive);
        QCOMPARE(GetExeName(path), exeName);
        QCOMPARE(GetPathOnly(path), pathOnly);
        QCOMPARE(GetDrive(path), drive);
    }

    void fixName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("fixed");
        QTest::newRow("codes") << QStringLiteral("^1Du^9ke") << QStringLiteral("Duke");
        QTest::newRow("formed by removal, higher digit")
            << QStringLiteral("^^21") << QStringLiteral("^1");
        QTest::newRow("formed by removal, lower digit")
            << QStringLiteral("^^12") << QStringLiteral("");
        QTest::newRow("lone caret") << QStringLiteral("Duke^") << QStringLiteral("Duke^");
        QTest::newRow("caret letter") << QStringLiteral("^aDuke") << QStringLiteral("^aDuke");
    }

    void fixName()
    {
        QFETCH(QString, name);
        QFETCH(QString, fixed);
        QCOMPARE(FixName(name), fixed);
        QCOMPARE(name, fixed); // cleaned in place too
    }

    void existence()
    {
        QVERIFY(!FileExists(QString()));
        QVERIFY(!FolderExists(QString()));
        QVERIFY(FileExists(QCoreApplication::applicationFilePath()));
        QVERIFY(!FileExists(QCoreApplication::applicationDirPath()));
        QVERIFY(FolderExists(QCoreApplication::applicationDirPath()));
        QVERIFY(!FileExists(QStringLiteral("/no/such/file")));
    }
};

QTEST_GUILESS_MAIN(TestTables)
#include "tst_tables.moc"
