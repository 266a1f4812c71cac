#include "modregistry.h"
#include "settingsstore.h"
#include "testsupport.h"
#include "vl.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
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
