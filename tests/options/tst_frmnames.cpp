#include "forms.h"
#include "frmnames.h"
#include "frmoptions.h"
#include "modregistry.h"
#include "optionswindows.h"
#include "separators.h"
#include "storedlists.h"
#include "tables.h"
#include "testsupport.h"
#include "vl.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>
using testsupport::control;

namespace {

const QString kPlayer = QStringLiteral("Player");
const QString &S = sep::MsgSep;

QStringList entries(const QListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts.append(list->item(row)->text());
    return texts;
}

QStringList entries(const QComboBox *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts.append(list->itemText(row));
    return texts;
}

void select(QListWidget *list, const QStringList &names)
{
    list->clearSelection();
    for (const QString &name : names) {
        const QList<QListWidgetItem *> items = list->findItems(name, Qt::MatchExactly);
        for (QListWidgetItem *item : items)
            item->setSelected(true);
    }
}

} // namespace

class TestFrmNames : public QObject
{
    Q_OBJECT

private:
    QPointer<FrmOptions> m_options;

    // The options window, then the nick-name window through "Manage".
    FrmNames *openFromOptions()
    {
        m_options = options::ShowOptions(nullptr);
        m_options->SelectTab(1);
        QTest::mouseClick(control<QPushButton>(m_options, QStringLiteral("cmdName")),
                          Qt::LeftButton);
        auto *names = FindForm<FrmNames>(QStringLiteral("FrmNames"));
        if (names == nullptr || !QTest::qWaitForWindowExposed(names))
            qFatal("nick-name window not shown");
        return names;
    }

private slots:
    void initTestCase()
    {
        tables::FillPortNames();
        tables::FillCountryTable();
    }

    void init()
    {
        testsupport::freshSettingsStore();
        VL::instance().reset();
        VL::instance().SetDefaultRegVals();
        WriteSetting(kPlayer, QStringLiteral("PlayerName"), QStringLiteral("Duke"));
    }

    void cleanup()
    {
        QList<QPointer<QWidget>> windows;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window->parentWidget() == nullptr)
                windows.append(window);
        }
        for (const QPointer<QWidget> &window : windows)
            delete window.data();
    }

    void joinList_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("joined");

        QTest::newRow("none") << QStringList() << QString();
        QTest::newRow("one") << QStringList { "Nick" } << QStringLiteral("Nick");
        QTest::newRow("three") << QStringList { "a", "b", "c" }
                               << QString(u"a" + S + u"b" + S + u"c");
        QTest::newRow("one empty entry") << QStringList { QString() } << QString();
        QTest::newRow("empty last entry") << QStringList { "a", QString() } << QString(u"a" + S);
        QTest::newRow("list separator kept") << QStringList { sep::ListSep } << sep::ListSep;
    }

    void joinList()
    {
        QFETCH(QStringList, entries);
        QFETCH(QString, joined);
        QCOMPARE(JoinList(entries, S), joined);
    }

    void splitList_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("entries");

        QTest::newRow("empty") << QString() << QStringList();
        QTest::newRow("one") << QStringLiteral("Nick") << QStringList { "Nick" };
        QTest::newRow("three") << QString(u"a" + S + u"b" + S + u"c")
                               << QStringList { "a", "b", "c" };
        QTest::newRow("trailing separator of an older writer")
            << QString(u"a" + S) << QStringList { "a", QString() };
        QTest::newRow("half a separator is text")
            << QString(u"a" + S.left(1) + u"b") << QStringList { QString(u"a" + S.left(1) + u"b") };
        QTest::newRow("other separator is text")
            << QString(u"a" + sep::ListSep + u"b")
            << QStringList { QString(u"a" + sep::ListSep + u"b") };
    }

    void splitList()
    {
        QFETCH(QString, value);
        QFETCH(QStringList, entries);
        QCOMPARE(SplitList(value, S), entries);
        QCOMPARE(JoinList(SplitList(value, S), S), value);
    }

    void moveAddAndSave()
    {
        WriteSetting(kPlayer, QStringLiteral("OtherNames"), u"Zed" + S + u"Alpha" + S + u"Mid");
        WriteSetting(kPlayer, QStringLiteral("OtherOldNames"), QStringLiteral("Old"));
        FrmNames *names = openFromOptions();
        QCOMPARE(names->windowTitle(), QStringLiteral("Manage Nick Names"));
        QCOMPARE(names->parentWidget(), m_options.data());
        auto *show = control<QListWidget>(names, QStringLiteral("lstShow"));
        auto *hide = control<QListWidget>(names, QStringLiteral("lstHide"));
        QCOMPARE(entries(show), (QStringList { "Alpha", "Mid", "Zed" }));
        QCOMPARE(entries(hide), QStringList { "Old" });

        select(show, { QStringLiteral("Alpha"), QStringLiteral("Zed") });
        QTest::mouseClick(control<QPushButton>(names, QStringLiteral("cmdHide")), Qt::LeftButton);
        QCOMPARE(entries(show), QStringList { "Mid" });
        QCOMPARE(entries(hide), (QStringList { "Alpha", "Old", "Zed" }));

        select(hide, { QStringLiteral("Old") });
        QTest::mouseClick(control<QPushButton>(names, QStringLiteral("cmdShow")), Qt::LeftButton);
        QCOMPARE(entries(show), (QStringList { "Mid", "Old" }));

        // Return presses "Add"; an empty name adds nothing, a repeat is kept.
        auto *name = control<QLineEdit>(names, QStringLiteral("txtName"));
        QTest::keyClicks(name, QStringLiteral("New Name"));
        QTest::keyClick(name, Qt::Key_Return);
        QCOMPARE(name->text(), QString());
        QTest::keyClick(name, Qt::Key_Return);
        QTest::keyClicks(name, QStringLiteral("Mid"));
        QTest::mouseClick(control<QPushButton>(names, QStringLiteral("cmdAdd")), Qt::LeftButton);
        QCOMPARE(entries(show), (QStringList { "Mid", "Mid", "New Name", "Old" }));

        QTest::mouseClick(control<QPushButton>(names, QStringLiteral("cmdSave")), Qt::LeftButton);
        QCOMPARE(ReadSetting(kPlayer, QStringLiteral("OtherNames")),
                 QString(u"Mid" + S + u"Mid" + S + u"New Name" + S + u"Old"));
        QCOMPARE(ReadSetting(kPlayer, QStringLiteral("OtherOldNames")),
                 QString(u"Alpha" + S + u"Zed"));
        QCOMPARE(entries(control<QComboBox>(m_options, QStringLiteral("cmbPlayerDetails_1"))),
                 (QStringList { "Duke", "Mid", "Mid", "New Name", "Old" }));
        QTRY_VERIFY(!IsFormLoaded(QStringLiteral("FrmNames")));
    }

    void singleNameRoundTrip()
    {
        FrmNames *names = openFromOptions();
        QTest::keyClicks(control<QLineEdit>(names, QStringLiteral("txtName")),
                         QStringLiteral("^4Nick"));
        QTest::keyClick(control<QLineEdit>(names, QStringLiteral("txtName")), Qt::Key_Return);
        QTest::mouseClick(control<QPushButton>(names, QStringLiteral("cmdSave")), Qt::LeftButton);
        QCOMPARE(ReadSetting(kPlayer, QStringLiteral("OtherNames")), QStringLiteral("^4Nick"));
        QCOMPARE(ReadSetting(kPlayer, QStringLiteral("OtherOldNames")), QString());
        QTRY_VERIFY(!IsFormLoaded(QStringLiteral("FrmNames")));

        names = openFromOptions();
        QCOMPARE(entries(control<QListWidget>(names, QStringLiteral("lstShow"))),
                 QStringList { "^4Nick" });
    }

    void clearAndDiscard_data()
    {
        QTest::addColumn<bool>("byEscape");
        QTest::newRow("title bar") << false;
        QTest::newRow("Escape") << true;
    }

    void clearAndDiscard()
    {
        QFETCH(bool, byEscape);
        const QString shown = u"One" + S + u"Two";
        WriteSetting(kPlayer, QStringLiteral("OtherNames"), shown);
        WriteSetting(kPlayer, QStringLiteral("OtherOldNames"), QStringLiteral("Three"));
        FrmNames *names = openFromOptions();
        QTest::mouseClick(control<QPushButton>(names, QStringLiteral("cmdClearShow")),
                          Qt::LeftButton);
        QTest::mouseClick(control<QPushButton>(names, QStringLiteral("cmdClearHide")),
                          Qt::LeftButton);
        QCOMPARE(control<QListWidget>(names, QStringLiteral("lstShow"))->count(), 0);
        QCOMPARE(control<QListWidget>(names, QStringLiteral("lstHide"))->count(), 0);

        if (byEscape)
            QTest::keyClick(names, Qt::Key_Escape);
        else
            names->close();
        QTRY_VERIFY(!IsFormLoaded(QStringLiteral("FrmNames")));
        QCOMPARE(ReadSetting(kPlayer, QStringLiteral("OtherNames")), shown);
        QCOMPARE(ReadSetting(kPlayer, QStringLiteral("OtherOldNames")), QStringLiteral("Three"));
    }

    void clearedListsSaveEmpty()
    {
        WriteSetting(kPlayer, QStringLiteral("OtherNames"), QStringLiteral("One"));
        WriteSetting(kPlayer, QStringLiteral("OtherOldNames"), QStringLiteral("Two"));
        FrmNames *names = openFromOptions();
        QTest::mouseClick(control<QPushButton>(names, QStringLiteral("cmdClearShow")),
                          Qt::LeftButton);
        QTest::mouseClick(control<QPushButton>(names, QStringLiteral("cmdClearHide")),
                          Qt::LeftButton);
        QTest::mouseClick(control<QPushButton>(names, QStringLiteral("cmdSave")), Qt::LeftButton);
        QCOMPARE(ReadSetting(kPlayer, QStringLiteral("OtherNames")), QString());
        QCOMPARE(ReadSetting(kPlayer, QStringLiteral("OtherOldNames")), QString());
        QCOMPARE(entries(control<QComboBox>(m_options, QStringLiteral("cmbPlayerDetails_1"))),
                 QStringList { "Duke" });
    }
};

QTEST_MAIN(TestFrmNames)
#include "tst_frmnames.moc"
