#include "modregistry.h"
#include "settings.h"
#include "settingsstore.h"
#include "testsupport.h"
#include "vl.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTest>

using namespace modRegistry;

class TestSettingsStore : public QObject
{
    Q_OBJECT

private:
    static QString storeFile() { return store::filePath(); }
    static QString writerProgram()
    {
        return QCoreApplication::applicationDirPath() + QStringLiteral("/store_writer");
    }

private slots:
    void init()
    {
        testsupport::freshSettingsStore();
        VL::instance().SetDefaultRegVals();
    }

    void textReadsBackExactly_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("empty") << QString();
        QTest::newRow("spaces at both ends") << QStringLiteral("  padded name  ");
        QTest::newRow("list separators")
            << (QStringLiteral("a") + QChar(14) + QChar(15) + u"b" + QChar(12) + QChar(14) + u"c");
        QTest::newRow("every control character") << [] {
            QString all;
            for (char16_t c = 1; c < 32; ++c)
                all.append(QChar(c));
            return all;
        }();
        QTest::newRow("outside ascii") << QStringLiteral("C\u00f4te d'Ivoire \u20ac \u4e2d");
        QTest::newRow("quotes and backslashes") << QStringLiteral("C:\\Games\\\"duke\"\\");
    }

    void textReadsBackExactly()
    {
        QFETCH(QString, value);
        WriteSetting(QStringLiteral("Player"), QStringLiteral("PlayerName"), value);
        QCOMPARE(ReadSetting(QStringLiteral("Player"), QStringLiteral("PlayerName")), value);
    }

    void keysAndValues()
    {
        // A write into a missing key writes nothing and creates nothing.
        WriteSetting(QStringLiteral("Nowhere"), QStringLiteral("X"), QStringLiteral("1"));
        QVERIFY(!OpenKeyPath(Root::CurrentUser, SettingsRoot + u"\\Nowhere").isOpen);
        QCOMPARE(ReadSetting(QStringLiteral("Nowhere"), QStringLiteral("X")), QString());

        // Names compare without regard to case, as in the registry.
        WriteSetting(QStringLiteral("game"), QStringLiteral("mappath"), QStringLiteral("/maps"));
        QCOMPARE(ReadSetting(QStringLiteral("Game"), QStringLiteral("MapPath")),
                 QStringLiteral("/maps"));

        // A 32-bit value and an unknown type.
        const OpenKey game = OpenKeyPath(Root::CurrentUser, SettingsRoot + u"\\Game");
        QCOMPARE(WriteValue(game, QStringLiteral("Number"), REG_DWORD, -123456),
                 long(store::Success));
        QVariant number;
        QCOMPARE(QueryValue(game, QStringLiteral("Number"), number), long(store::Success));
        QCOMPARE(number.toInt(), -123456);
        QVERIFY(WriteValue(game, QStringLiteral("Binary"), 3, QByteArray("x")) != store::Success);
        QVariant missing;
        QVERIFY(QueryValue(game, QStringLiteral("Binary"), missing) != store::Success);
        QVERIFY(!missing.isValid());
    }

    void deleteKeyOnlyWithoutSubkeys()
    {
        DeleteKey(Root::CurrentUser, SettingsRoot); // has subkeys: stays
        QVERIFY(OpenKeyPath(Root::CurrentUser, SettingsRoot).isOpen);

        DeleteKey(Root::CurrentUser, SettingsRoot + u"\\Game");
        QVERIFY(!OpenKeyPath(Root::CurrentUser, SettingsRoot + u"\\Game").isOpen);
        WriteSetting(QStringLiteral("Game"), QStringLiteral("VLSetup"), QStringLiteral("1"));
        QCOMPARE(ReadSetting(QStringLiteral("Game"), QStringLiteral("VLSetup")), QString());
        QVERIFY(VL::instance().CheckFirstRun());

        DeleteKey(Root::CurrentUser, QStringLiteral("Software\\Does\\Not\\Exist")); // ignored
        QVERIFY(OpenKeyPath(Root::CurrentUser, QStringLiteral("Software\\Tarnwick")).isOpen);
    }

    void writeReplacesTheFileAtomically()
    {
        WriteSetting(QStringLiteral("Player"), QStringLiteral("PlayerName"), QStringLiteral("Old"));
        QFile before(storeFile());
        QVERIFY(before.open(QIODevice::ReadOnly));
        const QByteArray oldBytes = before.readAll();

        WriteSetting(QStringLiteral("Player"), QStringLiteral("PlayerName"), QStringLiteral("New"));
        // The old file was replaced, not rewritten in place: an open handle
        // still reads the complete old contents.
        QVERIFY(before.seek(0));
        QCOMPARE(before.readAll(), oldBytes);
        QCOMPARE(ReadSetting(QStringLiteral("Player"), QStringLiteral("PlayerName")),
                 QStringLiteral("New"));
        QVERIFY(QDir(QFileInfo(storeFile()).path())
                    .entryList({ QStringLiteral("*.unreadable*") }, QDir::Files)
                    .isEmpty());
    }

    void batchSavesOnceAtTheEnd()
    {
        const QDateTime before = QFileInfo(storeFile()).lastModified();
        QTest::qWait(20);
        {
            const store::Batch batch;
            WriteSetting(QStringLiteral("Player"), QStringLiteral("PlayerName"),
                         QStringLiteral("Duke"));
            {
                const store::Batch nested;
                WriteSetting(QStringLiteral("Player"), QStringLiteral("FullName"),
                             QStringLiteral("Duke Nukem"));
            }
            // Reads inside the batch see its writes; the file does not yet.
            QCOMPARE(ReadSetting(QStringLiteral("Player"), QStringLiteral("FullName")),
                     QStringLiteral("Duke Nukem"));
            QCOMPARE(QFileInfo(storeFile()).lastModified(), before);
            WriteSetting(QStringLiteral("Nowhere"), QStringLiteral("X"), QStringLiteral("1"));
        }
        QVERIFY(QFileInfo(storeFile()).lastModified() != before);
        QCOMPARE(ReadSetting(QStringLiteral("Player"), QStringLiteral("PlayerName")),
                 QStringLiteral("Duke"));
        QCOMPARE(ReadSetting(QStringLiteral("Player"), QStringLiteral("FullName")),
                 QStringLiteral("Duke Nukem"));
        QVERIFY(!OpenKeyPath(Root::CurrentUser, SettingsRoot + u"\\Nowhere").isOpen);
    }

    void twoProcessesLoseNothing()
    {
        constexpr int count = 60;
        QProcess first;
        QProcess second;
        first.start(writerProgram(),
                    { storeFile(), QStringLiteral("First"), QString::number(count) });
        second.start(writerProgram(),
                     { storeFile(), QStringLiteral("Second"), QString::number(count) });
        QVERIFY(first.waitForFinished(60000));
        QVERIFY(second.waitForFinished(60000));
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(second.exitCode(), 0);
        for (int i = 0; i < count; ++i) {
            QCOMPARE(ReadSetting(QStringLiteral("Game"), u"First" + QString::number(i)),
                     QString::number(i));
            QCOMPARE(ReadSetting(QStringLiteral("Game"), u"Second" + QString::number(i)),
                     QString::number(i));
        }
        QCOMPARE(ReadSetting(QStringLiteral("Game"), QStringLiteral("DefaultPort")),
                 QStringLiteral("1"));
    }

    void killedWriterLeavesAReadableStore()
    {
        for (int round = 0; round < 5; ++round) {
            QProcess writer;
            writer.start(writerProgram(),
                         { storeFile(), QStringLiteral("Killed"), QStringLiteral("100000") });
            QVERIFY(writer.waitForStarted());
            // A loaded machine starts a process slowly: the first round lets
            // one write through before it kills.
            if (round == 0)
                QTRY_VERIFY_WITH_TIMEOUT(
                    !ReadSetting(QStringLiteral("Game"), QStringLiteral("Killed0")).isEmpty(),
                    20000);
            QTest::qWait(40 + 30 * round);
            writer.kill();
            QVERIFY(writer.waitForFinished());
            QCOMPARE(ReadSetting(QStringLiteral("Game"), QStringLiteral("DefaultPort")),
                     QStringLiteral("1"));
            QCOMPARE(store::takeRecoveryNotice(), QString());
        }
        // The writers did get through some writes before they were killed.
        QCOMPARE(ReadSetting(QStringLiteral("Game"), QStringLiteral("Killed0")),
                 QStringLiteral("0"));
    }

    void writesReportALockHeldElsewhere()
    {
        WriteSetting(QStringLiteral("Player"), QStringLiteral("PlayerName"), QStringLiteral("Old"));
        QLockFile other(storeFile() + u".lock");
        QVERIFY(other.tryLock(0));

        // The real wait: a lock that cannot be had fails within about a
        // second, not after many.
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(WriteSetting(QStringLiteral("Player"), QStringLiteral("PlayerName"),
                              QStringLiteral("New")),
                 long(store::AccessDenied));
        QVERIFY2(clock.elapsed() < 2500, qPrintable(QString::number(clock.elapsed())));

        const int wait = store::setLockWait(50);
        {
            store::Batch batch;
            QVERIFY(!settings::setFullName(QStringLiteral("Duke")).ok());
            QCOMPARE(batch.commit(), long(store::AccessDenied));
        }
        QCOMPARE(settings::playerName(), QStringLiteral("Old"));
        QCOMPARE(settings::fullName(), QString());

        other.unlock();
        QVERIFY(settings::setPlayerName(QStringLiteral("New")).ok());
        QCOMPARE(settings::playerName(), QStringLiteral("New"));
        store::setLockWait(wait);
    }

    void readsFollowAnotherProcess()
    {
        QCOMPARE(ReadSetting(QStringLiteral("Game"), QStringLiteral("Other0")), QString());
        for (int round = 1; round <= 3; ++round) {
            QProcess writer;
            writer.start(writerProgram(),
                         { storeFile(), QStringLiteral("Other"), QString::number(round) });
            QVERIFY(writer.waitForFinished(30000));
            QCOMPARE(writer.exitCode(), 0);
            // Read right after: the copy in memory must not hide the change.
            QCOMPARE(ReadSetting(QStringLiteral("Game"), u"Other" + QString::number(round - 1)),
                     QString::number(round - 1));
        }
    }

    void typedValuesKeepTheStoredLayout()
    {
        // Existing users' stores must read the same: names and texts as
        // they always were.
        QVERIFY(settings::setUsesPort(2, true).ok());
        QVERIFY(settings::setUsesPort(3, false).ok());
        QVERIFY(settings::setDefaultPort(3).ok());
        QVERIFY(settings::setHrpEnabled(false).ok());
        QVERIFY(settings::setCountry(-1).ok());
        QVERIFY(settings::setNetworkType(2).ok());
        QVERIFY(settings::setLastRun(QDate(2024, 2, 29)).ok());
        QVERIFY(settings::setExePath(1, QStringLiteral("C:\\J\\duke3d.exe")).ok());
        QVERIFY(settings::setSetupComplete().ok());
        QCOMPARE(settings::setExePath(4, QStringLiteral("x")).status,
                 long(store::InvalidParameter));
        const QList<std::tuple<QString, QString, QString>> stored {
            { QStringLiteral("Game"), QStringLiteral("IUseE"), QStringLiteral("1") },
            { QStringLiteral("Game"), QStringLiteral("IUseX"), QStringLiteral("0") },
            { QStringLiteral("Game"), QStringLiteral("DefaultPort"), QStringLiteral("4") },
            { QStringLiteral("Game"), QStringLiteral("EnableHRP"), QStringLiteral("0") },
            { QStringLiteral("Player"), QStringLiteral("Location"), QStringLiteral("-1") },
            { QStringLiteral("Network"), QStringLiteral("NetworkType"), QStringLiteral("2") },
            { QStringLiteral("Game"), QStringLiteral("LastRun"), QStringLiteral("2024-02-29") },
            { QStringLiteral("Game"), QStringLiteral("J_ExePath"),
              QStringLiteral("C:\\J\\duke3d.exe") },
            { QStringLiteral("Game"), QStringLiteral("VLSetup"), QStringLiteral("1") },
        };
        for (const auto &[subKey, name, value] : stored)
            QCOMPARE(ReadSetting(subKey, name), value);

        // Values that are not what they should be read as their fall-backs.
        WriteSetting(QStringLiteral("Game"), QStringLiteral("IUseR"), QStringLiteral("yes"));
        WriteSetting(QStringLiteral("Game"), QStringLiteral("DefaultPort"), QStringLiteral("7"));
        WriteSetting(QStringLiteral("Player"), QStringLiteral("Age"), QStringLiteral("300"));
        WriteSetting(QStringLiteral("Network"), QStringLiteral("Bandwidth"), QStringLiteral("x"));
        QVERIFY(!settings::usesPort(0));
        QCOMPARE(settings::defaultPort(), 0);
        QCOMPARE(settings::exactDefaultPort(), std::nullopt);
        QCOMPARE(settings::age(), std::nullopt);
        QCOMPARE(settings::bandwidth(), qint16(0));
    }

    void unreadableFileThatCannotBeSetAside()
    {
        const QString path = testsupport::unreadableStoreInLockedFolder();
        if (path.isEmpty())
            QSKIP("no folder here that cannot be written");
        const QByteArray before = [&path] {
            QFile file(path);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();

        QVERIFY(VL::instance().CheckFirstRun());
        const QString notice = store::takeRecoveryNotice();
        QVERIFY2(notice.contains(u"could not be read or set aside"), qPrintable(notice));
        QVERIFY2(notice.contains(QDir::toNativeSeparators(path)), qPrintable(notice));
        QCOMPARE(ReadSetting(QStringLiteral("Game"), QStringLiteral("DefaultPort")), QString());
        QCOMPARE(store::takeRecoveryNotice(), QString()); // reported once

        // Nothing is written over it, and the writes say so.
        VL::instance().SetDefaultRegVals();
        QVERIFY(!settings::setPlayerName(QStringLiteral("Duke")).ok());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }

    void unreadableFileIsKeptAside_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("garbage") << QByteArray("\x00\xff not a store \x01", 15);
        QTest::newRow("torn") << QByteArray(
            "{\"format\":\"velkor-settings\",\"version\":1,\"keys\":[{\"pa");
        QTest::newRow("wrong shape")
            << QByteArray("{\"format\":\"velkor-settings\",\"version\":1,\"keys\":[{\"path\":\"A\","
                          "\"values\":[{\"name\":1}]}]}");
        QTest::newRow("empty file") << QByteArray();
    }

    void unreadableFileIsKeptAside()
    {
        QFETCH(QByteArray, contents);
        {
            QFile file(storeFile());
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(contents);
        }
        QCOMPARE(ReadSetting(QStringLiteral("Game"), QStringLiteral("DefaultPort")), QString());
        const QString notice = store::takeRecoveryNotice();
        QVERIFY2(notice.contains(u"could not be read"), qPrintable(notice));
        QCOMPARE(store::takeRecoveryNotice(), QString()); // reported once

        const QStringList aside = QDir(QFileInfo(storeFile()).path())
                                      .entryList({ QStringLiteral("*.unreadable-*") }, QDir::Files);
        QCOMPARE(aside.size(), 1);
        QFile kept(QFileInfo(storeFile()).path() + u'/' + aside.first());
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), contents);

        // The store starts again as a first run.
        QVERIFY(VL::instance().CheckFirstRun());
        VL::instance().SetDefaultRegVals();
        QCOMPARE(ReadSetting(QStringLiteral("Game"), QStringLiteral("DefaultPort")),
                 QStringLiteral("1"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
