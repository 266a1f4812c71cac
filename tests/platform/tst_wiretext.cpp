#include "wiretext.h"

#include <QTest>

class TestWireText : public QObject
{
    Q_OBJECT

private slots:
    void everyByteSurvives()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QString text = wire::toText(all);
        QCOMPARE(text.size(), 256);
        QVERIFY(wire::isRepresentable(text));
        QCOMPARE(wire::toBytes(text), all);
    }

    void mapsWindows1252_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("ascii") << QByteArray("Duke ^1Nukem") << QStringLiteral("Duke ^1Nukem");
        QTest::newRow("euro") << QByteArray("\x80") << QStringLiteral("\u20ac");
        QTest::newRow("quotes") << QByteArray("\x93hi\x94") << QStringLiteral("\u201chi\u201d");
        QTest::newRow("latin-1 half") << QByteArray("C\xf4te") << QStringLiteral("C\u00f4te");
        QTest::newRow("undefined byte") << QByteArray("\x81") << QString(QChar(0x81));
        QTest::newRow("separators")
            << QByteArray("\x0c\x0e\x0b\x0d") << QStringLiteral("\f\x0e\v\r");
    }

    void mapsWindows1252()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(wire::toText(bytes), text);
        QCOMPARE(wire::toBytes(text), bytes);
    }

    void unrepresentableBecomesQuestionMark()
    {
        const QString text = QStringLiteral("a\u4e2db\U0001F600");
        QVERIFY(!wire::isRepresentable(text));
        QCOMPARE(wire::toBytes(text), QByteArray("a?b??")); // a surrogate pair is two characters
    }
};

QTEST_GUILESS_MAIN(TestWireText)
#include "tst_wiretext.moc"
