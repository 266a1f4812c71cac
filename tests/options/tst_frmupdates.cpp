#include "frmupdates.h"
#include "localhttpserver.h"
#include "modregistry.h"
#include "optionswindows.h"
#include "shellactions.h"
#include "testsupport.h"
#include "utilityrequests.h"
#include "vl.h"
#include "webfetch.h"
#include "website.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QTcpServer>
#include <QTest>

using Picture = FrmUpdates::Picture;
using testsupport::LocalHttpServer;

namespace {

const QString ScriptPath = QStringLiteral("/masterserver/master1/asp/check_updates.asp");
const QString Connecting = QStringLiteral("Velkor is connecting to VE.Zuz...");
const QString Checking = QStringLiteral("Checking for any available updates...");

// A port on which nothing listens any more.
quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

void pointDirectoryAt(const QString &base)
{
    testsupport::freshSettingsStore();
    VL::instance().SetDefaultRegVals();
    WriteSetting(QStringLiteral("Network"), QStringLiteral("DirectoryURL"), base);
}

} // namespace

class TestFrmUpdates : public QObject
{
    Q_OBJECT

private:
    QWidget *m_owner = nullptr;

    // Opens the window the way the menu does and waits until row 0 has a
    // picture, that is until the check has come to an end.
    FrmUpdates *openAndWait()
    {
        options::ShowUpdates(m_owner);
        auto *form = m_owner->findChild<FrmUpdates *>(QStringLiteral("FrmUpdates"));
        if (form == nullptr)
            return nullptr;
        if (!QTest::qWaitFor([form] { return form->picture(0) != Picture::None; }, 10000))
            return nullptr;
        return form;
    }

    static QString stage(const FrmUpdates *form, int row)
    {
        return form->findChild<QLabel *>(u"lblStage_" + QString::number(row))->text();
    }

    static bool isBold(const FrmUpdates *form, int row)
    {
        return form->findChild<QLabel *>(u"lblStage_" + QString::number(row))->font().bold();
    }

private slots:
    void init()
    {
        m_owner = new QWidget;
        // Small enough that the windows centred on it fit on the test screen
        // also at 150 %.
        m_owner->setGeometry(50, 40, 400, 300);
        m_owner->show();
        VL::instance().Version = QStringLiteral("2.0.13");
    }

    void cleanup()
    {
        delete m_owner;
        m_owner = nullptr;
        setUtilityRequestTimeoutMs(0);
        shell::setOpenUrlHandler({});
        VL::instance().Version = QStringLiteral("2.0.13");
    }

    void compareVersions_data()
    {
        QTest::addColumn<QString>("newest");
        QTest::addColumn<QString>("current");
        QTest::addColumn<bool>("update");

        QTest::newRow("same") << "2.0.13"
                              << "2.0.13" << false;
        QTest::newRow("last number one higher") << "2.0.14"
                                                << "2.0.13" << true;
        QTest::newRow("older") << "2.0.12"
                               << "2.0.13" << false;
        QTest::newRow("shorter part is not smaller") << "2.0.9"
                                                     << "2.0.13" << false;
        QTest::newRow("minor beats longer patch") << "2.1.0"
                                                  << "2.0.13" << true;
        QTest::newRow("major with fewer parts") << "3.0"
                                                << "2.0.13" << true;
        QTest::newRow("extra part") << "2.0.13.1"
                                    << "2.0.13" << true;
        QTest::newRow("extra zero part") << "2.0.13.0"
                                         << "2.0.13" << false;
        QTest::newRow("leading zeros") << "2.0.013"
                                       << "2.0.13" << false;
        QTest::newRow("above 32767") << "2.0.40000"
                                     << "2.0.13" << true;
        QTest::newRow("beyond 64 bits") << "2.0.99999999999999999999999"
                                        << "2.0.13" << true;
        QTest::newRow("long but lower") << "1.99999999999999999999999"
                                        << "2.0.13" << false;
        QTest::newRow("too long to be a version")
            << QStringLiteral("9.") + QString(70, u'9') << "2.0.13" << false;
        QTest::newRow("letters") << "abc"
                                 << "2.0.13" << false;
        QTest::newRow("markup") << "<b>9.9</b>"
                                << "2.0.13" << false;
        QTest::newRow("sign") << "+3.0"
                              << "2.0.13" << false;
        QTest::newRow("negative") << "-3"
                                  << "2.0.13" << false;
        QTest::newRow("space") << "3.0 "
                               << "2.0.13" << false;
        QTest::newRow("empty part") << "3..0"
                                    << "2.0.13" << false;
        QTest::newRow("trailing dot") << "3."
                                      << "2.0.13" << false;
        QTest::newRow("non-ASCII digits") << QStringLiteral("\u0663.0") << "2.0.13" << false;
        QTest::newRow("empty") << ""
                               << "2.0.13" << false;
        QTest::newRow("own version broken") << "3.0"
                                            << "x" << false;
    }

    void compareVersions()
    {
        QFETCH(QString, newest);
        QFETCH(QString, current);
        QFETCH(bool, update);
        QCOMPARE(Update_CheckVersions(newest, current), update);
    }

    void answeredCheck_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("update");

        QTest::newRow("same version")
            << QByteArray("<p>@@START@@2.0.13@@END@@</p>") << 200 << false;
        QTest::newRow("older version") << QByteArray("@@START@@2.0.12@@END@@") << 200 << false;
        QTest::newRow("last number one higher")
            << QByteArray("@@START@@2.0.14@@END@@") << 200 << true;
        QTest::newRow("line break around the version")
            << QByteArray("@@START@@\r\n2.1\r\n@@END@@") << 200 << true;
        QTest::newRow("number above 32767")
            << QByteArray("@@START@@2.0.99999999999999999999@@END@@") << 200 << true;
    }

    void answeredCheck()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(bool, update);

        LocalHttpServer server;
        server.serve(ScriptPath, body, status);
        pointDirectoryAt(server.baseUrl());

        FrmUpdates *form = openAndWait();
        QVERIFY(form);
        QCOMPARE(server.requests(),
                 QStringList {
                     QStringLiteral("/masterserver/master1/asp/check_updates.asp?myver=2.0.13") });
        // The 4 second wait of the real program.
        QCOMPARE(form->findChild<WebFetch *>()->requestTimeoutMs(), 4000);

        QCOMPARE(form->picture(0), Picture::Success);
        QCOMPARE(stage(form, 0), Connecting);
        QCOMPARE(form->picture(1), Picture::Success);
        QCOMPARE(stage(form, 1), Checking);
        auto *getUpdate = form->findChild<QPushButton *>(QStringLiteral("cmdURL"));
        if (update) {
            QCOMPARE(form->picture(2), Picture::Attention);
            QCOMPARE(stage(form, 2), QStringLiteral("There is a new update available"));
            QVERIFY(isBold(form, 2));
            QVERIFY(getUpdate->isVisible());
            QVERIFY(getUpdate->isEnabled());
        } else {
            QCOMPARE(form->picture(2), Picture::Success);
            QCOMPARE(stage(form, 2), QStringLiteral("There are no updates available"));
            QVERIFY(!getUpdate->isVisible());
            QVERIFY(!getUpdate->isEnabled());
        }
    }

    // Every reply that carries no version ends in the attention row and
    // never offers an update.
    void unusableReply_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");

        QTest::newRow("no markers") << QByteArray("2.0.14") << 200;
        QTest::newRow("end marker only") << QByteArray("2.0.14@@END@@") << 200;
        QTest::newRow("empty body") << QByteArray() << 200;
        QTest::newRow("single character") << QByteArray("@@START@@3@@END@@") << 200;
        QTest::newRow("not a version") << QByteArray("@@START@@latest@@END@@") << 200;
        QTest::newRow("markup") << QByteArray("@@START@@<b>9.9.9</b>@@END@@") << 200;
        QTest::newRow("error page") << QByteArray("<h1>Not Found</h1>") << 404;
        QTest::newRow("huge version")
            << QByteArray("@@START@@9." + QByteArray(100000, '9') + "@@END@@") << 200;
    }

    void unusableReply()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, status);

        LocalHttpServer server;
        server.serve(ScriptPath, body, status);
        pointDirectoryAt(server.baseUrl());

        FrmUpdates *form = openAndWait();
        QVERIFY(form);
        QCOMPARE(form->picture(0), Picture::Error);
        QCOMPARE(stage(form, 0), Connecting);
        QCOMPARE(form->picture(1), Picture::Attention);
        QCOMPARE(stage(form, 1), QStringLiteral("Error retreiving update information."));
        QVERIFY(isBold(form, 1));
        QCOMPARE(form->picture(2), Picture::None);
        QCOMPARE(stage(form, 2), QString());
        QVERIFY(form->newestVersion().isEmpty());
        QVERIFY(!form->findChild<QPushButton *>(QStringLiteral("cmdURL"))->isVisible());
    }

    void failedRequest_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("nothing listening") << QStringLiteral("closed");
        QTest::newRow("no answer within the time-out") << QStringLiteral("stall");
        QTest::newRow("directory address not a web address") << QStringLiteral("file");
    }

    void failedRequest()
    {
        QFETCH(QString, kind);

        LocalHttpServer server;
        server.serveStall(ScriptPath);
        if (kind == u"closed")
            pointDirectoryAt(u"http://127.0.0.1:" + QString::number(closedPort()));
        else if (kind == u"stall")
            pointDirectoryAt(server.baseUrl());
        else
            pointDirectoryAt(QStringLiteral("file:///tmp"));
        setUtilityRequestTimeoutMs(300);

        FrmUpdates *form = openAndWait();
        QVERIFY(form);
        QCOMPARE(form->picture(0), Picture::Error);
        QCOMPARE(stage(form, 0), Connecting);
        QCOMPARE(form->picture(1), Picture::None);
        QCOMPARE(stage(form, 1),
                 QStringLiteral("Error contacting VE.Zuz, please check your connection."));
        QVERIFY(isBold(form, 1));
        QCOMPARE(stage(form, 2), QString());
    }

    void noProgramVersion()
    {
        LocalHttpServer server;
        server.serve(ScriptPath, "@@START@@2.0.14@@END@@");
        pointDirectoryAt(server.baseUrl());
        VL::instance().Version.clear();

        FrmUpdates *form = openAndWait();
        QVERIFY(form);
        QCOMPARE(form->picture(0), Picture::Error);
        QCOMPARE(stage(form, 0), Connecting);
        QCOMPARE(
            stage(form, 1),
            QStringLiteral("Error getting application version information, please reinstall."));
        QVERIFY(isBold(form, 1));
        QVERIFY(!form->findChild<WebFetch *>()->isBusy());
        QVERIFY(server.requests().isEmpty());
    }

    void getUpdateOpensSiteAndCloses()
    {
        LocalHttpServer server;
        server.serve(ScriptPath, "@@START@@2.0.14@@END@@");
        pointDirectoryAt(server.baseUrl());
        QList<QUrl> opened;
        shell::setOpenUrlHandler([&opened](const QUrl &url) { opened.append(url); });

        QPointer<FrmUpdates> form = openAndWait();
        QVERIFY(form);
        auto *getUpdate = form->findChild<QPushButton *>(QStringLiteral("cmdURL"));
        QTRY_VERIFY(getUpdate->isVisible());
        QTest::mouseClick(getUpdate, Qt::LeftButton);
        QCOMPARE(opened, QList<QUrl> { QUrl(server.baseUrl() + u"/velkor") });
        QCOMPARE(opened.constFirst(), QUrl(Website(1)));
        QTRY_VERIFY(form.isNull());
    }

    void closingWhileWaiting()
    {
        LocalHttpServer server;
        server.serveStall(ScriptPath);
        pointDirectoryAt(server.baseUrl());
        testsupport::MessageBoxRecorder boxes;

        options::ShowUpdates(m_owner);
        QPointer<FrmUpdates> form = m_owner->findChild<FrmUpdates *>();
        QVERIFY(form);
        QTRY_COMPARE(server.requests().size(), 1);
        QCOMPARE(form->picture(0), Picture::None);
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QTest::keyClick(form, Qt::Key_Escape);
        QTRY_VERIFY(form.isNull());
        QVERIFY(boxes.shown().isEmpty());
    }

    void singleInstanceCentredOnOwner()
    {
        LocalHttpServer server;
        server.serveStall(ScriptPath);
        pointDirectoryAt(server.baseUrl());

        options::ShowUpdates(m_owner);
        options::ShowUpdates(m_owner);
        const QList<FrmUpdates *> forms = m_owner->findChildren<FrmUpdates *>();
        QCOMPARE(forms.size(), 1);
        FrmUpdates *form = forms.constFirst();
        QVERIFY(form->isVisible());
        QVERIFY(form->isWindow());
        const QPoint offset = form->frameGeometry().center() - m_owner->frameGeometry().center();
        QVERIFY2(qAbs(offset.x()) <= 2 && qAbs(offset.y()) <= 2,
                 qPrintable(QString::number(offset.x()) + u',' + QString::number(offset.y())));
        // Fixed border: the layout pins the size.
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QVERIFY(!(form->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(form->findChild<QPushButton *>(QStringLiteral("cmdClose"))->isDefault());
    }

    // The pictures are drawn for the screen's pixel ratio, not scaled up.
    void picturesAtScale()
    {
        for (const qreal ratio : { 1.0, 1.5, 2.0 }) {
            for (const Picture picture : { Picture::Success, Picture::Error, Picture::Attention }) {
                const QPixmap pixmap = FrmUpdates::drawPicture(picture, 16, ratio);
                QCOMPARE(pixmap.devicePixelRatio(), ratio);
                QCOMPARE(pixmap.width(), qCeil(16 * ratio));
                const QImage image = pixmap.toImage();
                // Something is drawn in the middle, and the corners stay clear.
                QVERIFY(qAlpha(image.pixel(image.width() / 2, image.height() * 3 / 4)) > 0);
                QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            }
        }
        const QImage success = FrmUpdates::drawPicture(Picture::Success, 16, 1).toImage();
        const QImage error = FrmUpdates::drawPicture(Picture::Error, 16, 1).toImage();
        QVERIFY(QColor(success.pixel(3, 8)).green() > QColor(success.pixel(3, 8)).red());
        QVERIFY(QColor(error.pixel(3, 8)).red() > QColor(error.pixel(3, 8)).green());
    }
};

QTEST_MAIN(TestFrmUpdates)
#include "tst_frmupdates.moc"
