#include "forms.h"
#include "frmhostnames.h"
#include "frmip.h"
#include "frmmanageip.h"
#include "frmserveroptions.h"
#include "modregistry.h"
#include "separators.h"
#include "sessionplayers.h"
#include "storedlists.h"
#include "tables.h"
#include "testsupport.h"
#include "vl.h"
#include "vlsession.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;
using testsupport::click;
using testsupport::control;
using testsupport::MessageBoxRecorder;

namespace {

const QString kGame = QStringLiteral("Game");
const QString kSession = QStringLiteral("Session");

QString caption(QWidget *window, const QString &button)
{
    return control<QPushButton>(window, button)->text().remove(u'&');
}

void type(QWidget *window, const QString &field, const QString &text)
{
    control<QLineEdit>(window, field)->setText(text);
}

QStringList rows(QTreeWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        const QTreeWidgetItem *item = list->topLevelItem(row);
        texts << item->text(0) + u'|' + item->text(1) + u'|' + item->text(2);
    }
    return texts;
}

QStringList names(QListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

void clickRow(QTreeWidget *list, int row)
{
    const QRect area = list->visualItemRect(list->topLevelItem(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, area.center());
}

void clickRow(QListWidget *list, int row)
{
    const QRect area = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, area.center());
}

} // namespace

class TestListEditors : public QObject
{
    Q_OBJECT

private:
    QPointer<FrmManageIP> m_hosts;

    FrmManageIP *openHosts(QWidget *owner = nullptr)
    {
        m_hosts = FrmManageIP::showFor(owner);
        if (!QTest::qWaitForWindowExposed(m_hosts))
            qFatal("host manager not exposed");
        return m_hosts;
    }

    QTreeWidget *hostList() { return control<QTreeWidget>(m_hosts, QStringLiteral("lstHosts")); }

    void addHost(const QString &name, const QString &host, const QString &port)
    {
        type(m_hosts, QStringLiteral("txtHostName"), name);
        type(m_hosts, QStringLiteral("txtHost"), host);
        type(m_hosts, QStringLiteral("txtPort"), port);
        click(m_hosts, QStringLiteral("cmdAdd"));
    }

private slots:
    void initTestCase() { tables::FillPortNames(); }

    void init() { testsupport::freshProgram(); }

    void cleanup() { testsupport::deleteAllWindows(); }

    void storedHostsLoadCompleteTriplesOnly_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("empty") << QStringList() << QStringList();
        QTest::newRow("two hosts") << QStringList {
            u"Home"_s, u"10.0.0.1"_s, u"8501"_s, u"Club"_s, u"1.2.3.4"_s, u"9000"_s
        } << QStringList { u"Home|10.0.0.1|8501"_s, u"Club|1.2.3.4|9000"_s };
        QTest::newRow("cut short") << QStringList { u"Home"_s, u"10.0.0.1"_s, u"8501"_s, u"Club"_s }
                                   << QStringList { u"Home|10.0.0.1|8501"_s };
    }

    void storedHostsLoadCompleteTriplesOnly()
    {
        QFETCH(QStringList, stored);
        QFETCH(QStringList, expected);
        WriteSetting(kGame, QStringLiteral("StoredIPs"), JoinList(stored, sep::ListSep));
        openHosts();
        QCOMPARE(rows(hostList()), expected);
    }

    void addChecksEachField_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("field");
        QTest::newRow("no name") << QString() << u"300.1.1.1"_s << u"0"_s
                                 << u"Please enter a host name."_s << u"txtHostName"_s;
        QTest::newRow("bad address") << u"Home"_s << u"300.1.1.1"_s << u"0"_s
                                     << u"IP Address entered is not valid."_s << u"txtHost"_s;
        QTest::newRow("short address") << u"Home"_s << u"1.2.3"_s << u"8501"_s
                                       << u"IP Address entered is not valid."_s << u"txtHost"_s;
        QTest::newRow("port zero") << u"Home"_s << u"1.2.3.4"_s << u"0"_s
                                   << u"Port number entered is not valid."_s << u"txtPort"_s;
        QTest::newRow("port too big") << u"Home"_s << u"1.2.3.4"_s << u"32768"_s
                                      << u"Port number entered is not valid."_s << u"txtPort"_s;
    }

    void addChecksEachField()
    {
        QFETCH(QString, name);
        QFETCH(QString, host);
        QFETCH(QString, port);
        QFETCH(QString, message);
        QFETCH(QString, field);
        MessageBoxRecorder boxes;
        openHosts();
        addHost(name, host, port);
        QCOMPARE(boxes.texts(), QStringList { message });
        QCOMPARE(boxes.shown().first().title, u"Error"_s);
        QCOMPARE(boxes.shown().first().icon, msgbox::Icon::Error);
        QCOMPARE(m_hosts->focusWidget(), control<QLineEdit>(m_hosts, field));
        QCOMPARE(hostList()->topLevelItemCount(), 0);
        // The entries stay for the player to mend.
        QCOMPARE(control<QLineEdit>(m_hosts, QStringLiteral("txtHost"))->text(), host);
    }

    void threeHostsAreSavedAsNineFields()
    {
        openHosts();
        addHost(u"Home"_s, u"10.0.0.1"_s, u"8501"_s);
        addHost(u"Club"_s, u"1.2.3.4"_s, u"9000"_s);
        addHost(u"Work"_s, u"192.168.1.20"_s, u"32767"_s);
        QCOMPARE(hostList()->topLevelItemCount(), 3);
        // Each Add leaves the fields ready for the next host.
        QCOMPARE(control<QLineEdit>(m_hosts, u"txtHostName"_s)->text(), QString());
        QCOMPARE(control<QLineEdit>(m_hosts, u"txtPort"_s)->text(), u"8501"_s);

        click(m_hosts, u"cmdSave"_s);
        QTRY_VERIFY(m_hosts.isNull());
        const QString stored = ReadSetting(kGame, u"StoredIPs"_s);
        QCOMPARE(stored.count(sep::ListSep), 8);
        QVERIFY(!stored.endsWith(sep::ListSep.at(1)));
        QCOMPARE(SplitList(stored, sep::ListSep),
                 (QStringList { u"Home"_s, u"10.0.0.1"_s, u"8501"_s, u"Club"_s, u"1.2.3.4"_s,
                                u"9000"_s, u"Work"_s, u"192.168.1.20"_s, u"32767"_s }));
    }

    void savingAnEmptyListWritesNothingAndCancelKeepsTheStore()
    {
        WriteSetting(kGame, u"StoredIPs"_s,
                     JoinList({ u"Home"_s, u"10.0.0.1"_s, u"8501"_s }, sep::ListSep));
        openHosts();
        clickRow(hostList(), 0);
        click(m_hosts, u"cmdRemove"_s);
        click(m_hosts, u"cmdCancel"_s);
        QTRY_VERIFY(m_hosts.isNull());
        QCOMPARE(ReadSetting(kGame, u"StoredIPs"_s).isEmpty(), false);

        openHosts();
        clickRow(hostList(), 0);
        click(m_hosts, u"cmdRemove"_s);
        QCOMPARE(hostList()->topLevelItemCount(), 0);
        click(m_hosts, u"cmdSave"_s);
        QTRY_VERIFY(m_hosts.isNull());
        QCOMPARE(ReadSetting(kGame, u"StoredIPs"_s), QString());
        openHosts();
        QCOMPARE(hostList()->topLevelItemCount(), 0);
    }

    void updateRewritesTheChosenEntry()
    {
        openHosts();
        addHost(u"Home"_s, u"10.0.0.1"_s, u"8501"_s);
        addHost(u"Club"_s, u"1.2.3.4"_s, u"9000"_s);
        clickRow(hostList(), 1);
        QCOMPARE(caption(m_hosts, u"cmdAdd"_s), u"Update"_s);
        QCOMPARE(control<QLineEdit>(m_hosts, u"txtHost"_s)->text(), u"1.2.3.4"_s);
        QCOMPARE(control<QLineEdit>(m_hosts, u"txtPort"_s)->text(), u"9000"_s);

        type(m_hosts, u"txtHost"_s, u"5.6.7.8"_s);
        click(m_hosts, u"cmdAdd"_s);
        QCOMPARE(rows(hostList()),
                 (QStringList { u"Home|10.0.0.1|8501"_s, u"Club|5.6.7.8|9000"_s }));
        QCOMPARE(caption(m_hosts, u"cmdAdd"_s), u"Add"_s);
        QCOMPARE(control<QLineEdit>(m_hosts, u"txtPort"_s)->text(), u"8501"_s);
        QCOMPARE(control<QLineEdit>(m_hosts, u"txtHost"_s)->text(), QString());
    }

    void removeForgetsTheEntryBeingEdited()
    {
        openHosts();
        addHost(u"Home"_s, u"10.0.0.1"_s, u"8501"_s);
        addHost(u"Club"_s, u"1.2.3.4"_s, u"9000"_s);

        // Nothing selected: nothing happens.
        hostList()->clearSelection();
        click(m_hosts, u"cmdRemove"_s);
        QCOMPARE(hostList()->topLevelItemCount(), 2);

        // The last row is edited and removed; a later Add must neither
        // touch a row that no longer exists nor overwrite the other one.
        clickRow(hostList(), 1);
        click(m_hosts, u"cmdRemove"_s);
        QCOMPARE(caption(m_hosts, u"cmdAdd"_s), u"Add"_s);
        addHost(u"Work"_s, u"192.168.1.20"_s, u"8502"_s);
        QCOMPARE(rows(hostList()),
                 (QStringList { u"Home|10.0.0.1|8501"_s, u"Work|192.168.1.20|8502"_s }));
    }

    void managerDisablesTheJoinWindowAndRefreshesIt()
    {
        QPointer<FrmIP> join = ShowJoinWindow(nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(join));
        click(join, u"cmdManage"_s);
        m_hosts = FindForm<FrmManageIP>(u"FrmManageIP"_s);
        QVERIFY(m_hosts);
        QVERIFY(!join->isEnabled());
        // The manager itself stays usable while its owner is disabled.
        QVERIFY(m_hosts->isEnabled());
        QVERIFY(control<QPushButton>(m_hosts, u"cmdAdd"_s)->isEnabled());

        addHost(u"Home"_s, u"10.0.0.1"_s, u"8501"_s);
        click(m_hosts, u"cmdSave"_s);
        QTRY_VERIFY(m_hosts.isNull());
        QVERIFY(join->isEnabled());
        auto *saved = control<QComboBox>(join, u"cboHosts"_s);
        QCOMPARE(saved->count(), 2);
        QCOMPARE(saved->itemText(1), u"Home"_s);

        // Cancel enables it again as well.
        click(join, u"cmdManage"_s);
        m_hosts = FindForm<FrmManageIP>(u"FrmManageIP"_s);
        QVERIFY(!join->isEnabled());
        QTest::keyClick(m_hosts, Qt::Key_Escape);
        QTRY_VERIFY(m_hosts.isNull());
        QVERIFY(join->isEnabled());
    }

    void hostNamesAddChangeAndRemove()
    {
        MessageBoxRecorder boxes;
        WriteSetting(kSession, u"HostNames"_s, JoinList({ u"Zulu"_s, u"Alpha"_s }, sep::ListSep));
        QPointer<FrmHostNames> window = FrmHostNames::showFor(nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        auto *list = control<QListWidget>(window, u"lstNames"_s);
        QCOMPARE(names(list), (QStringList { u"Alpha"_s, u"Zulu"_s }));

        click(window, u"cmdAdd"_s);
        QCOMPARE(boxes.texts(), QStringList { u"Please enter a host name to continue."_s });
        QCOMPARE(boxes.shown().first().title, u"Error"_s);
        QCOMPARE(window->focusWidget(), control<QLineEdit>(window, u"txtName"_s));

        // Enter adds: Add is the default button.
        type(window, u"txtName"_s, u"Mike"_s);
        QTest::keyClick(control<QLineEdit>(window, u"txtName"_s), Qt::Key_Return);
        QCOMPARE(names(list), (QStringList { u"Alpha"_s, u"Mike"_s, u"Zulu"_s }));
        QCOMPARE(control<QLineEdit>(window, u"txtName"_s)->text(), QString());

        clickRow(list, 0);
        QCOMPARE(caption(window, u"cmdAdd"_s), u"Change"_s);
        QCOMPARE(control<QLineEdit>(window, u"txtName"_s)->text(), u"Alpha"_s);
        type(window, u"txtName"_s, u"Yankee"_s);
        click(window, u"cmdAdd"_s);
        QCOMPARE(names(list), (QStringList { u"Mike"_s, u"Yankee"_s, u"Zulu"_s }));
        QCOMPARE(caption(window, u"cmdAdd"_s), u"Add"_s);

        // Remove takes every selected name and leaves nothing being changed.
        clickRow(list, 0);
        list->item(2)->setSelected(true);
        click(window, u"cmdRemove"_s);
        QCOMPARE(names(list), QStringList { u"Yankee"_s });
        QCOMPARE(caption(window, u"cmdAdd"_s), u"Add"_s);
        QCOMPARE(control<QLineEdit>(window, u"txtName"_s)->text(), QString());
        type(window, u"txtName"_s, u"Bravo"_s);
        click(window, u"cmdAdd"_s);
        QCOMPARE(names(list), (QStringList { u"Bravo"_s, u"Yankee"_s }));

        click(window, u"cmdCancel"_s);
        QTRY_VERIFY(window.isNull());
        QCOMPARE(SplitList(ReadSetting(kSession, u"HostNames"_s), sep::ListSep),
                 (QStringList { u"Zulu"_s, u"Alpha"_s }));
    }

    void savedHostNamesReachTheHostingOptions()
    {
        QPointer<FrmServerOptions> options = ShowServerOptions(nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(options));
        auto *name = control<QComboBox>(options, u"cboHostName"_s);
        QCOMPARE(name->count(), 0);
        name->setEditText(u"Typed Name"_s);

        click(options, u"cmdManage"_s);
        QPointer<FrmHostNames> window = FindForm<FrmHostNames>(u"FrmHostNames"_s);
        QVERIFY(window);
        type(window, u"txtName"_s, u"Friday Frags"_s);
        click(window, u"cmdAdd"_s);
        type(window, u"txtName"_s, u"Duke Night"_s);
        click(window, u"cmdAdd"_s);
        click(window, u"cmdSave"_s);
        QTRY_VERIFY(window.isNull());

        const QString stored = ReadSetting(kSession, u"HostNames"_s);
        QCOMPARE(stored, JoinList({ u"Duke Night"_s, u"Friday Frags"_s }, sep::ListSep));
        QCOMPARE(name->count(), 2);
        QCOMPARE(name->itemText(0), u"Duke Night"_s);
        QCOMPARE(name->currentText(), u"Typed Name"_s);
    }
};

QTEST_MAIN(TestListEditors)
#include "tst_listeditors.moc"
