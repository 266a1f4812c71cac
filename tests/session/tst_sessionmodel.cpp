#include "separators.h"
#include "sessionmodel.h"
#include "sessionplayers.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestSessionModel : public QObject
{
    Q_OBJECT

private:
    static PlayerTable tableWithActive(const QList<int> &active)
    {
        PlayerTable table;
        table.reset(8);
        for (int slot : active) {
            table[slot].IsActive = true;
            table[slot].PlayerName = u"P"_s + QString::number(slot);
            table[slot].Location = QString::number(slot * 10);
        }
        return table;
    }

private slots:
    void findFreeSlot_data()
    {
        QTest::addColumn<QList<int>>("active");
        QTest::addColumn<QList<int>>("held");
        QTest::addColumn<int>("slot");
        QTest::newRow("empty session") << QList<int> { 0 } << QList<int> {} << 1;
        QTest::newRow("gap at 2") << QList<int> { 0, 1, 3 } << QList<int> {} << 2;
        QTest::newRow("all taken") << QList<int> { 0, 1, 2, 3, 4, 5, 6, 7 } << QList<int> {} << 0;
        QTest::newRow("slot 0 never offered") << QList<int> {} << QList<int> {} << 1;
        QTest::newRow("offered slot is held") << QList<int> { 0, 1 } << QList<int> { 2 } << 3;
        QTest::newRow("held and active fill all")
            << QList<int> { 0, 1, 2, 3 } << QList<int> { 4, 5, 6, 7 } << 0;
    }
    void findFreeSlot()
    {
        QFETCH(QList<int>, active);
        QFETCH(QList<int>, held);
        QFETCH(int, slot);
        std::bitset<8> heldSlots;
        for (int h : held)
            heldSlots.set(std::size_t(h));
        QCOMPARE(FindFreeSlot(tableWithActive(active), heldSlots), slot);
    }

    void findFreeSlotOnShortTable()
    {
        // Untouched slots read as free and inactive.
        PlayerTable table;
        table.reset(1);
        table[0].IsActive = true;
        QCOMPARE(FindFreeSlot(table), 1);
        QCOMPARE(CountPlayers(table), 1);
    }

    void countPlayers()
    {
        QCOMPARE(CountPlayers(tableWithActive({ 0 })), 1);
        // The host always counts, active or not.
        QCOMPARE(CountPlayers(tableWithActive({})), 1);
        QCOMPARE(CountPlayers(tableWithActive({ 0, 2, 5 })), 3);
    }

    void resetSessionPlayers()
    {
        PlayerTable table = tableWithActive({ 0, 1, 4 });
        table[4].FullName = u"Kept"_s;
        ResetSessionPlayers(table);
        QVERIFY(table.at(0).IsActive);
        QCOMPARE(table.at(0).PlayerName, u"P0"_s);
        for (int slot = 1; slot < 8; ++slot) {
            QVERIFY(!table.at(slot).IsActive);
            QVERIFY(table.at(slot).PlayerName.isEmpty());
        }
        QCOMPARE(table.at(4).FullName, u"Kept"_s);
    }

    void playerList()
    {
        const QString sub = sep::SubSep;
        QCOMPARE(GetPlayerList(tableWithActive({}), sub), QString());
        // A single player: no list separator at all.
        QCOMPARE(GetPlayerList(tableWithActive({ 0 }), sub), u"P0"_s + sub + u"0"_s);
        QCOMPARE(GetPlayerList(tableWithActive({ 3, 0 }), u"-"_s),
                 u"P0-0"_s + sep::ListSep + u"P3-30"_s);
    }
};

QTEST_GUILESS_MAIN(TestSessionModel)
#include "tst_sessionmodel.moc"
