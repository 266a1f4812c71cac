#include "frmbugreport.h"
#include "localhttpserver.h"
#include "modregistry.h"
#include "optionswindows.h"
#include "programend.h"
#include "shellactions.h"
#include "testsupport.h"
#include "utilityrequests.h"
#include "vl.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>

using testsupport::LocalHttpServer;
using testsupport::MessageBoxRecorder;

namespace {

const QString ScriptPath = QStringLiteral("/masterserver/master1/asp/bug_reports.asp");
const QString SendFailed = QStringLiteral(
    "Error whilst sending bug report, please ensure you are connected to the internet.");

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
    WriteSetting(QStringLiteral("Player"), QStringLiteral("PlayerName"), QStringLiteral("Duke"));
}

} // namespace

class TestFrmBugReport : public QObject
{
    Q_OBJECT

private:
    QWidget *m_owner = nullptr;

    FrmBugReport *open()
    {
        options::ShowBugReport(m_owner);
        auto *form = m_owner->findChild<FrmBugReport *>(QStringLiteral("FrmBugReport"));
        if (form != nullptr && !QTest::qWaitForWindowExposed(form))
            return nullptr;
        return form;
    }

    static QComboBox *area(FrmBugReport *form)
    {
        return form->findChild<QComboBox *>(QStringLiteral("cboArea"));
    }
    static QPlainTextEdit *report(FrmBugReport *form)
    {
        return form->findChild<QPlainTextEdit *>(QStringLiteral("txtReport"));
    }
    static QPushButton *sendButton(FrmBugReport *form)
    {
        return form->findChild<QPushButton *>(QStringLiteral("cmdSend"));
    }

    // Picks an area and types the report as a user would.
    static void fillIn(FrmBugReport *form, int areaIndex, const QString &text)
    {
        area(form)->setCurrentIndex(areaIndex);
        report(form)->setFocus();
        const QStringList lines = text.split(u'\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                QTest::keyClick(report(form), Qt::Key_Return);
            QTest::keyClicks(report(form), lines.at(i));
        }
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
        program::setEndHandler({});
        VL::instance().Version = QStringLiteral("2.0.13");
    }

    void query_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("areaText");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tail");

        QTest::newRow("spaces and ampersand")
            << "Duke Nukem"
            << "Main Lobby"
            << "Lobby & chat broke"
            << "&VL_USERNAME=Duke+Nukem&VL_TYPE=Main+Lobby&VL_REPORT=Lobby+%26+chat+broke";
        QTest::newRow("dash and punctuation")
            << "^3Duke"
            << "Session - SP"
            << "Crash: 100%!"
            << "&VL_USERNAME=%5E3Duke&VL_TYPE=Session+%2D+SP&VL_REPORT=Crash%3A+100%25%21";
        QTest::newRow("parameters in the text stay text")
            << "x&pwd=guess"
            << "Other Issue"
            << "a=b&mode=destroy"
            << "&VL_USERNAME=x%26pwd%3Dguess&VL_TYPE=Other+Issue&VL_REPORT=a%3Db%26mode%3Ddestroy";
        QTest::newRow("line break and Windows-1252")
            << ""
            << "Options" << QStringLiteral("caf\u00e9\n\u20ac5")
            << "&VL_USERNAME=&VL_TYPE=Options&VL_REPORT=caf%E9%0A%805";
    }

    void query()
    {
        QFETCH(QString, name);
        QFETCH(QString, areaText);
        QFETCH(QString, text);
        QFETCH(QString, tail);
        QCOMPARE(BugReportQuery(QStringLiteral("2.0.13"), name, areaText, text),
                 u"?mode=create&pwd=R462TpwxK&VL_VERSION=2.0.13&VL_DUKEPORT=0" + tail);
    }

    void startsAtPleaseSelect()
    {
        FrmBugReport *form = open();
        QVERIFY(form);
        const QStringList expected {
            "-- Please Select --", "General Use",           "Main Lobby",  "Options",
            "Session - SP",        "Session - MP",          "Map Options", "Server Options",
            "Connectivity Issues", "Game Launching Issues", "Other Issue"
        };
        QStringList items;
        for (int i = 0; i < area(form)->count(); ++i)
            items.append(area(form)->itemText(i));
        QCOMPARE(items, expected);
        QCOMPARE(area(form)->currentIndex(), 0);
        QCOMPARE(form->windowTitle(), QStringLiteral("Velkor - Bug Reports"));
    }

    void incompleteReport_data()
    {
        QTest::addColumn<int>("areaIndex");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<QString>("focus");

        QTest::newRow("no area") << 0 << "It crashed"
                                 << "Please select area of the issue."
                                 << "cboArea";
        QTest::newRow("no area and no text") << 0 << ""
                                             << "Please select area of the issue."
                                             << "cboArea";
        QTest::newRow("empty report") << 3 << ""
                                      << "Please explain your issue."
                                      << "txtReport";
        QTest::newRow("only blanks") << 3 << "  \n "
                                     << "Please explain your issue."
                                     << "txtReport";
    }

    void incompleteReport()
    {
        QFETCH(int, areaIndex);
        QFETCH(QString, text);
        QFETCH(QString, warning);
        QFETCH(QString, focus);

        LocalHttpServer server;
        server.serve(ScriptPath, "@@START@@OK@@END@@");
        pointDirectoryAt(server.baseUrl());
        FrmBugReport *form = open();
        QVERIFY(form);
        fillIn(form, areaIndex, text);
        sendButton(form)->setFocus();

        MessageBoxRecorder boxes;
        QTest::mouseClick(sendButton(form), Qt::LeftButton);
        QCOMPARE(boxes.texts(), QStringList { warning });
        QCOMPARE(boxes.shown().constFirst().title, QStringLiteral("Error"));
        QCOMPARE(boxes.shown().constFirst().icon, msgbox::Icon::Warning);
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QVERIFY(!form->isSending());
        QVERIFY(server.requests().isEmpty());
        QVERIFY(form->isVisible());
    }

    void loggedReport()
    {
        LocalHttpServer server;
        server.serve(ScriptPath, "<html>@@START@@OK@@END@@</html>");
        pointDirectoryAt(server.baseUrl());
        WriteSetting(QStringLiteral("Player"), QStringLiteral("PlayerName"),
                     QStringLiteral("Duke Nukem"));
        QPointer<FrmBugReport> form = open();
        QVERIFY(form);
        fillIn(form, 8, QStringLiteral("Join fails & times out"));

        MessageBoxRecorder boxes;
        QTest::mouseClick(sendButton(form), Qt::LeftButton);
        QTRY_COMPARE(boxes.texts(),
                     QStringList { QStringLiteral("Bug Report successfully logged.") });
        QCOMPARE(boxes.shown().constFirst().title, QStringLiteral("Bug Report"));
        QCOMPARE(boxes.shown().constFirst().icon, msgbox::Icon::Information);
        QCOMPARE(server.requests(),
                 QStringList { QStringLiteral(
                     "/masterserver/master1/asp/bug_reports.asp?mode=create&pwd=R462TpwxK"
                     "&VL_VERSION=2.0.13&VL_DUKEPORT=0&VL_USERNAME=Duke+Nukem"
                     "&VL_TYPE=Connectivity+Issues&VL_REPORT=Join+fails+%26+times+out") });
        QTRY_VERIFY(form.isNull());
    }

    void failedReport_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("body");

        QTest::newRow("lower case ok") << "serve" << QByteArray("@@START@@ok@@END@@");
        QTest::newRow("OK with a blank") << "serve" << QByteArray("@@START@@OK @@END@@");
        QTest::newRow("OK without markers") << "serve" << QByteArray("OK");
        QTest::newRow("refused") << "serve" << QByteArray("@@START@@FAILED@@END@@");
        QTest::newRow("error page") << "404" << QByteArray("<h1>Not Found</h1>");
        QTest::newRow("nothing listening") << "closed" << QByteArray();
        QTest::newRow("no answer within the time-out") << "stall" << QByteArray();
    }

    // Anything but a delivered "OK" keeps the window and the text.
    void failedReport()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, body);

        LocalHttpServer server;
        if (kind == u"stall")
            server.serveStall(ScriptPath);
        else
            server.serve(ScriptPath, body, kind == u"404" ? 404 : 200);
        pointDirectoryAt(kind == u"closed" ? u"http://127.0.0.1:" + QString::number(closedPort())
                                           : server.baseUrl());
        setUtilityRequestTimeoutMs(300);

        FrmBugReport *form = open();
        QVERIFY(form);
        const QString text = QStringLiteral("The map list\nis empty");
        fillIn(form, 6, text);

        MessageBoxRecorder boxes;
        QTest::mouseClick(sendButton(form), Qt::LeftButton);
        QTRY_COMPARE(boxes.texts(), QStringList { SendFailed });
        QCOMPARE(boxes.shown().constFirst().title, QStringLiteral("Bug Report"));
        QCOMPARE(boxes.shown().constFirst().icon, msgbox::Icon::Warning);
        QVERIFY(form->isVisible());
        QCOMPARE(report(form)->toPlainText(), text);
        QCOMPARE(area(form)->currentIndex(), 6);
        QVERIFY(sendButton(form)->isEnabled());
    }

    void sendWaitsWithoutReentry()
    {
        LocalHttpServer server;
        server.serveStall(ScriptPath);
        pointDirectoryAt(server.baseUrl());
        QPointer<FrmBugReport> form = open();
        QVERIFY(form);
        fillIn(form, 1, QStringLiteral("slow"));

        MessageBoxRecorder boxes;
        QTest::mouseClick(sendButton(form), Qt::LeftButton);
        QVERIFY(form->isSending());
        QVERIFY(!sendButton(form)->isEnabled());
        QTRY_COMPARE(server.requests().size(), 1);
        // The window still answers: the text can be edited while it waits.
        QTest::keyClicks(report(form), QStringLiteral("er"));
        QCOMPARE(report(form)->toPlainText(), QStringLiteral("slower"));
        QTest::keyClick(sendButton(form), Qt::Key_Space);
        QTest::keyClick(form, Qt::Key_S, Qt::AltModifier);
        QCOMPARE(server.requests().size(), 1);

        // Closing while the request waits drops it without a word.
        QTest::keyClick(form, Qt::Key_Escape);
        QTRY_VERIFY(form.isNull());
        QVERIFY(boxes.shown().isEmpty());
    }

    void reportLimit()
    {
        LocalHttpServer server;
        server.serve(ScriptPath, "@@START@@OK@@END@@");
        pointDirectoryAt(server.baseUrl());
        FrmBugReport *form = open();
        QVERIFY(form);
        QPlainTextEdit *box = report(form);

        // Typing stops at 1000 characters.
        const QString full(FrmBugReport::MaxReportLength, u'a');
        fillIn(form, 2, full);
        QCOMPARE(box->toPlainText(), full);
        QTest::keyClicks(box, QStringLiteral("bcd"));
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(box->toPlainText(), full);

        // A paste keeps the text around it and is cut to what fits.
        box->setPlainText(QStringLiteral("start end"));
        QTextCursor caret = box->textCursor();
        caret.setPosition(6);
        box->setTextCursor(caret);
        QApplication::clipboard()->setText(QString(2000, u'p'));
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->toPlainText(),
                 u"start " + QString(FrmBugReport::MaxReportLength - 9, u'p') + u"end");
        QCOMPARE(box->textCursor().position(), FrmBugReport::MaxReportLength - 3);
        // One undo takes the whole paste back.
        box->undo();
        QCOMPARE(box->toPlainText(), QStringLiteral("start end"));

        // A character of two UTF-16 units is never split at the limit.
        box->setPlainText(QString(FrmBugReport::MaxReportLength - 1, u'a'));
        box->moveCursor(QTextCursor::End);
        box->insertPlainText(QStringLiteral("\U0001F600"));
        QCOMPARE(box->toPlainText(), QString(FrmBugReport::MaxReportLength - 1, u'a'));

        // 1000 characters go out whole.
        box->setPlainText(QString(FrmBugReport::MaxReportLength - 1, u'a') + u'&');
        MessageBoxRecorder boxes;
        QTest::mouseClick(sendButton(form), Qt::LeftButton);
        QTRY_COMPARE(server.requests().size(), 1);
        QVERIFY(server.requests().constFirst().endsWith(
            u"&VL_REPORT=" + QString(FrmBugReport::MaxReportLength - 1, u'a') + u"%26"));
    }

    void noProgramVersionEndsProgram()
    {
        LocalHttpServer server;
        server.serve(ScriptPath, "@@START@@OK@@END@@");
        pointDirectoryAt(server.baseUrl());
        int ended = 0;
        program::setEndHandler([&ended](int status) { ended += status == EXIT_FAILURE ? 1 : 100; });
        FrmBugReport *form = open();
        QVERIFY(form);
        fillIn(form, 4, QStringLiteral("no version"));
        VL::instance().Version.clear();

        MessageBoxRecorder boxes;
        QTest::mouseClick(sendButton(form), Qt::LeftButton);
        QCOMPARE(boxes.texts(),
                 QStringList { QStringLiteral(
                     "Error getting application version information, please reinstall.") });
        QCOMPARE(boxes.shown().constFirst().title, QString());
        QTRY_COMPARE(ended, 1);
        QVERIFY(!form->isSending());
        QVERIFY(server.requests().isEmpty());
    }

    void singleInstance()
    {
        options::ShowBugReport(m_owner);
        options::ShowBugReport(m_owner);
        QCOMPARE(m_owner->findChildren<FrmBugReport *>().size(), 1);
        FrmBugReport *form = m_owner->findChild<FrmBugReport *>();
        QVERIFY(form->isVisible());
        QCOMPARE(form->minimumSize(), form->maximumSize());
    }
};

QTEST_MAIN(TestFrmBugReport)
#include "tst_frmbugreport.moc"
