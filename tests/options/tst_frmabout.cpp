#include "frmabout.h"
#include "modregistry.h"
#include "optionswindows.h"
#include "shellactions.h"
#include "testsupport.h"
#include "vl.h"
#include "website.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QWindow>

using testsupport::MessageBoxRecorder;

namespace {

const QString Site = QStringLiteral("http://directory.example:8080");

void pointDirectoryAt(const QString &base)
{
    testsupport::freshSettingsStore();
    VL::instance().SetDefaultRegVals();
    WriteSetting(QStringLiteral("Network"), QStringLiteral("DirectoryURL"), base);
}

} // namespace

class TestFrmAbout : public QObject
{
    Q_OBJECT

private:
    QWidget *m_owner = nullptr;
    QList<QUrl> m_opened;

    FrmAbout *open()
    {
        options::ShowAbout(m_owner);
        auto *form = m_owner->findChild<FrmAbout *>(QStringLiteral("FrmAbout"));
        if (form != nullptr && !QTest::qWaitForWindowExposed(form))
            return nullptr;
        return form;
    }

    static QLabel *link(FrmAbout *form)
    {
        return form->findChild<QLabel *>(QStringLiteral("lblURL"));
    }

private slots:
    void init()
    {
        m_owner = new QWidget;
        // Small enough that the windows centred on it fit on the test screen
        // also at 150 %.
        m_owner->setGeometry(50, 40, 400, 300);
        m_owner->show();
        m_opened.clear();
        shell::setOpenUrlHandler([this](const QUrl &url) { m_opened.append(url); });
        pointDirectoryAt(Site);
    }

    void cleanup()
    {
        delete m_owner;
        m_owner = nullptr;
        shell::setOpenUrlHandler({});
        QApplication::setWindowIcon(QIcon());
    }

    void showsNameVersionAndSite()
    {
        FrmAbout *form = open();
        QVERIFY(form);
        QCOMPARE(form->windowTitle(), QStringLiteral("About Velkor"));
        QCOMPARE(form->findChild<QLabel *>(QStringLiteral("lblTitle"))->text(),
                 QStringLiteral("Velkor - Version 2.0.13"));
        QCOMPARE(link(form)->text(), Website(1));
        QCOMPARE(link(form)->text(), Site + u"/velkor");
        QCOMPARE(form->linkColour(), QColor(0x00, 0x00, 0x80));
        QVERIFY(form->findChild<QPushButton *>(QStringLiteral("cmdClose"))->isDefault());
        // No program icon set: no empty picture either.
        QVERIFY(!form->findChild<QLabel *>(QStringLiteral("imgIcon"))->isVisible());

        // Single instance, centred on the owner, fixed size.
        options::ShowAbout(m_owner);
        QCOMPARE(m_owner->findChildren<FrmAbout *>().size(), 1);
        const QPoint offset = form->frameGeometry().center() - m_owner->frameGeometry().center();
        QVERIFY(qAbs(offset.x()) <= 2 && qAbs(offset.y()) <= 2);
        QCOMPARE(form->minimumSize(), form->maximumSize());
    }

    void programIcon()
    {
        QPixmap pixmap(64, 64);
        pixmap.fill(Qt::red);
        QApplication::setWindowIcon(QIcon(pixmap));
        FrmAbout *form = open();
        QVERIFY(form);
        auto *icon = form->findChild<QLabel *>(QStringLiteral("imgIcon"));
        QVERIFY(icon->isVisible());
        QVERIFY(!icon->pixmap().isNull());
    }

    void linkHoverColours()
    {
        FrmAbout *form = open();
        QVERIFY(form);
        const QColor blue(0x00, 0x00, 0x80);
        const QColor teal(0x00, 0xC0, 0xC0);
        const QPoint background(2, 2);
        QCOMPARE(form->childAt(background), nullptr);

        // Through the window, so that the label sees the pointer enter.
        QWindow *window = form->windowHandle();
        const QPoint onLink = link(form)->mapTo(form, link(form)->rect().center());
        QTest::mouseMove(window, onLink);
        QTRY_COMPARE(form->linkColour(), teal);
        QTest::mouseMove(window, background);
        QTRY_COMPARE(form->linkColour(), blue);

        QTest::mouseMove(window, onLink);
        QTRY_COMPARE(form->linkColour(), teal);
        QTest::mouseClick(form, Qt::LeftButton, {}, background);
        QCOMPARE(form->linkColour(), blue);
        QVERIFY(m_opened.isEmpty());
    }

    void linkOpensSite()
    {
        QPointer<FrmAbout> form = open();
        QVERIFY(form);
        QTest::mouseClick(link(form), Qt::LeftButton);
        QCOMPARE(m_opened, QList<QUrl> { QUrl(Website(1)) });
        QVERIFY(form->isVisible());

        // The link is reachable from the keyboard too.
        link(form)->setFocus();
        QTest::keyClick(link(form), Qt::Key_Space);
        QCOMPARE(m_opened.size(), 2);

        QTest::mouseClick(form->findChild<QPushButton *>(QStringLiteral("cmdClose")),
                          Qt::LeftButton);
        QTRY_VERIFY(form.isNull());
        QCOMPARE(m_opened.size(), 2);
    }

    // The address comes from the settings: only a web address goes to the
    // desktop.
    void localAddressIsNotOpened()
    {
        pointDirectoryAt(QStringLiteral("file:///usr/bin"));
        FrmAbout *form = open();
        QVERIFY(form);
        MessageBoxRecorder boxes;
        QTest::mouseClick(link(form), Qt::LeftButton);
        QVERIFY(m_opened.isEmpty());
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown().constFirst().icon, msgbox::Icon::Warning);
    }
};

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
