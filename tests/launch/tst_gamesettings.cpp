#include "gamesettings.h"
#include "tables.h"
#include "vlsession.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestGameSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { tables::FillLevelTable(); }

    void defaults_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("gameType");
        QTest::newRow("session") << 0 << 1;
        QTest::newRow("single player") << 1 << 3;
    }
    void defaults()
    {
        QFETCH(int, mode);
        QFETCH(int, gameType);
        VLSession session;
        session.Difficulty = 4;
        session.Level = 9;
        SetDefaultGameSettings(session, quint8(mode));
        QCOMPARE(session.Game, u"Duke Nukem 3D"_s);
        QCOMPARE(session.ModTC, u"Atomic Edition 1.5"_s);
        QCOMPARE(int(session.Mode), gameType);
        QCOMPARE(int(session.Episode), 1);
        QCOMPARE(int(session.Level), 1);
        QCOMPARE(int(session.Difficulty), 2);
    }

    void otherModeChangesNothing()
    {
        VLSession session;
        session.Mode = 2;
        session.Level = 7;
        SetDefaultGameSettings(session, 2);
        SetDefaultGameSettings(session, 255);
        QVERIFY(session.Game.isEmpty());
        QCOMPARE(int(session.Mode), 2);
        QCOMPARE(int(session.Level), 7);
    }

    void mapName_data()
    {
        QTest::addColumn<QString>("currentMap");
        QTest::addColumn<int>("episode");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("name");
        QTest::newRow("dash inside the name") << QString() << 4 << 3 << u"Shop - N - Bag"_s;
        QTest::newRow("first level") << QString() << 1 << 1 << u"Hollywood Holocaust"_s;
        QTest::newRow("level 0 is the episode")
            << QString() << 2 << 0 << u"Episode 2: Lunar Apocalypse"_s;
        QTest::newRow("usermap wins") << u"dukedome.map"_s << 4 << 3 << u"dukedome.map"_s;
        QTest::newRow("level outside the table") << QString() << 1 << 40 << QString();
        QTest::newRow("episode outside the table") << QString() << 9 << 1 << QString();
    }
    void mapName()
    {
        QFETCH(QString, currentMap);
        QFETCH(int, episode);
        QFETCH(int, level);
        QFETCH(QString, name);
        QCOMPARE(GetMapName(currentMap, episode, level), name);

        VLSession session;
        session.CurrentMap = currentMap;
        session.Episode = quint8(episode);
        session.Level = quint8(level);
        QCOMPARE(GetMapName(session), name);
    }
};

QTEST_GUILESS_MAIN(TestGameSettings)
#include "tst_gamesettings.moc"
