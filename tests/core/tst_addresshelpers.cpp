#include "addresshelpers.h"
#include "findip.h"
#include "localhttpserver.h"
#include "modregistry.h"
#include "testsupport.h"
#include "vl.h"
#include "webfetch.h"

#include <QPointer>
#include <QTcpServer>
#include <QTest>
#include <QWidget>

#include <memory>

using testsupport::LocalHttpServer;

namespace {

const QString ScriptPath = QStringLiteral("/masterserver/master1/asp");

// A fresh store each time: writes only go into existing keys, and the
// store is slow enough to skip for the pure checks.
void freshSettings()
{
    testsupport::freshSettingsStore();
    VL::instance().SetDefaultRegVals();
}

void setDirectory(const QString &base)
{
    freshSettings();
    WriteSetting(QStringLiteral("Network"), QStringLiteral("DirectoryURL"), base);
}

QString closedBase()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();
    return u"http://127.0.0.1:" + QString::number(port);
}

} // namespace

class TestAddressHelpers : public QObject
{
    Q_OBJECT

private slots:
    void validateIP_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<bool>("valid");

        QTest::newRow("private address") << QStringLiteral("192.168.0.1") << true;
        QTest::newRow("all zeros") << QStringLiteral("0.0.0.0") << true;
        QTest::newRow("all 255") << QStringLiteral("255.255.255.255") << true;
        QTest::newRow("leading zeros are decimal") << QStringLiteral("010.001.000.255") << true;
        QTest::newRow("long leading zeros") << QStringLiteral("00000000000000000001.2.3.4") << true;

        QTest::newRow("empty") << QString() << false;
        QTest::newRow("two dots") << QStringLiteral("192.168.0") << false;
        QTest::newRow("four dots") << QStringLiteral("1.2.3.4.5") << false;
        QTest::newRow("comma") << QStringLiteral("1,2.3.4") << false;
        QTest::newRow("comma as a fourth separator") << QStringLiteral("1.2.3.4,5") << false;
        QTest::newRow("empty part") << QStringLiteral("1..2.3") << false;
        QTest::newRow("trailing dot") << QStringLiteral("1.2.3.") << false;
        QTest::newRow("leading space") << QStringLiteral(" 1.2.3.4") << false;
        QTest::newRow("trailing space") << QStringLiteral("1.2.3.4 ") << false;
        QTest::newRow("space inside a part") << QStringLiteral("1.2. 3.4") << false;
        QTest::newRow("first part 256") << QStringLiteral("256.1.1.1") << false;
        QTest::newRow("last part 256") << QStringLiteral("1.2.3.256") << false;
        QTest::newRow("huge part") << QStringLiteral("1.2.3.99999999999999999999") << false;
        QTest::newRow("minus sign") << QStringLiteral("-1.2.3.4") << false;
        QTest::newRow("plus sign") << QStringLiteral("+1.2.3.4") << false;
        QTest::newRow("minus zero") << QStringLiteral("1.2.3.-0") << false;
        QTest::newRow("exponent") << QStringLiteral("1e2.2.3.4") << false;
        QTest::newRow("hex") << QStringLiteral("0x10.2.3.4") << false;
        QTest::newRow("hex digits") << QStringLiteral("ff.2.3.4") << false;
        QTest::newRow("decimal point in part") << QStringLiteral("1.2.3.4e0") << false;
        QTest::newRow("arabic-indic digits") << QStringLiteral("\u0661.2.3.4") << false;
        QTest::newRow("fullwidth digits") << QStringLiteral("\uff11.2.3.4") << false;
        QTest::newRow("tab inside") << QStringLiteral("1.2.3.\t4") << false;
        QTest::newRow("host name") << QStringLiteral("a.b.c.d") << false;
        QTest::newRow("with port") << QStringLiteral("1.2.3.4:8501") << false;
    }

    void validateIP()
    {
        QFETCH(QString, ip);
        QFETCH(bool, valid);
        const QString before = ip;
        QCOMPARE(ValidateIP(ip), valid);
        QCOMPARE(ip, before);
    }

    void validatePort_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<bool>("valid");

        QTest::newRow("1") << QStringLiteral("1") << true;
        QTest::newRow("8501") << QStringLiteral("8501") << true;
        QTest::newRow("32767") << QStringLiteral("32767") << true;
        QTest::newRow("leading zeros") << QStringLiteral("007999") << true;
        QTest::newRow("0") << QStringLiteral("0") << false;
        QTest::newRow("zeros") << QStringLiteral("0000") << false;
        QTest::newRow("32768") << QStringLiteral("32768") << false;
        QTest::newRow("65535") << QStringLiteral("65535") << false;
        QTest::newRow("overflowing") << QStringLiteral("4294967297") << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("space") << QStringLiteral(" 80") << false;
        QTest::newRow("sign") << QStringLiteral("+80") << false;
        QTest::newRow("negative") << QStringLiteral("-80") << false;
        QTest::newRow("fraction") << QStringLiteral("80.5") << false;
        QTest::newRow("exponent") << QStringLiteral("8e3") << false;
        QTest::newRow("hex") << QStringLiteral("0x50") << false;
        QTest::newRow("non-ascii digits") << QStringLiteral("\u0668\u0660") << false;
    }

    void validatePort()
    {
        QFETCH(QString, port);
        QFETCH(bool, valid);
        QCOMPARE(ValidatePort(port), valid);
    }

    void checkPrivateIP_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<bool>("isPrivate");

        QTest::newRow("10/8") << QStringLiteral("10.1.2.3") << true;
        QTest::newRow("10/8 lower bound") << QStringLiteral("10.0.0.0") << true;
        QTest::newRow("10/8 upper bound") << QStringLiteral("10.255.255.255") << true;
        QTest::newRow("172.31") << QStringLiteral("172.31.200.1") << true;
        QTest::newRow("172.16 lower bound") << QStringLiteral("172.16.0.0") << true;
        QTest::newRow("192.168") << QStringLiteral("192.168.255.10") << true;
        QTest::newRow("link-local") << QStringLiteral("169.254.0.1") << true;
        QTest::newRow("link-local upper bound") << QStringLiteral("169.254.255.254") << true;
        QTest::newRow("leading zeros") << QStringLiteral("010.001.002.003") << true;

        QTest::newRow("172.32") << QStringLiteral("172.32.0.1") << false;
        QTest::newRow("172.15") << QStringLiteral("172.15.255.255") << false;
        QTest::newRow("link-local network") << QStringLiteral("169.254.0.0") << false;
        QTest::newRow("link-local broadcast") << QStringLiteral("169.254.255.255") << false;
        QTest::newRow("public") << QStringLiteral("8.8.8.8") << false;
        QTest::newRow("11/8") << QStringLiteral("11.0.0.0") << false;
        QTest::newRow("192.169") << QStringLiteral("192.169.0.1") << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("blank") << QStringLiteral("   ") << false;
        QTest::newRow("letters padded into the range") << QStringLiteral("10.a.b.c") << false;
        QTest::newRow("part too long") << QStringLiteral("10.1000.0.0") << false;
    }

    void checkPrivateIP()
    {
        QFETCH(QString, ip);
        QFETCH(bool, isPrivate);
        QCOMPARE(CheckPrivateIP(ip), isPrivate);
    }

    void endpointParts_data()
    {
        QTest::addColumn<QString>("endpoint");
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("port");

        QTest::newRow("address and port") << QStringLiteral("10.0.0.5:23513")
                                          << QStringLiteral("10.0.0.5") << QStringLiteral("23513");
        QTest::newRow("no colon") << QStringLiteral("10.0.0.5") << QStringLiteral(" ")
                                  << QStringLiteral(" ");
        QTest::newRow("empty") << QString() << QStringLiteral(" ") << QStringLiteral(" ");
        QTest::newRow("colon only") << QStringLiteral(":") << QString() << QString();
        QTest::newRow("first colon splits")
            << QStringLiteral("a:b:c") << QStringLiteral("a") << QStringLiteral("b:c");
    }

    void endpointParts()
    {
        QFETCH(QString, endpoint);
        QFETCH(QString, ip);
        QFETCH(QString, port);
        QCOMPARE(GetIPfromPort(endpoint), ip);
        QCOMPARE(GetPortfromIP(endpoint), port);
    }

    void urlEncode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("encoded");

        QTest::newRow("space and ampersand")
            << QStringLiteral("a b&c") << QStringLiteral("a+b%26c");
        QTest::newRow("tab") << QStringLiteral("\t") << QStringLiteral("%09");
        QTest::newRow("letters and digits kept")
            << QStringLiteral("AZaz09Duke3D") << QStringLiteral("AZaz09Duke3D");
        QTest::newRow("punctuation encoded")
            << QStringLiteral("-_.~+%=?/#") << QStringLiteral("%2D%5F%2E%7E%2B%25%3D%3F%2F%23");
        QTest::newRow("windows-1252 bytes")
            << QStringLiteral("caf\u00e9 \u20ac") << QStringLiteral("caf%E9+%80");
        QTest::newRow("not in windows-1252") << QStringLiteral("\u4e2d") << QStringLiteral("%3F");
        QTest::newRow("line break") << QStringLiteral("a\r\nb") << QStringLiteral("a%0D%0Ab");
        QTest::newRow("empty") << QString() << QString();
    }

    void urlEncode()
    {
        QFETCH(QString, text);
        QFETCH(QString, encoded);
        QCOMPARE(URLEncode(text), encoded);
    }

    void getBetween_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("between");

        QTest::newRow("page with markers")
            << QStringLiteral("<html><body>@@START@@81.2.3.4@@END@@</body></html>")
            << QStringLiteral("81.2.3.4");
        QTest::newRow("two characters")
            << QStringLiteral("@@START@@OK@@END@@") << QStringLiteral("OK");
        QTest::newRow("single character") << QStringLiteral("@@START@@1@@END@@") << QString();
        QTest::newRow("nothing between") << QStringLiteral("@@START@@@@END@@") << QString();
        QTest::newRow("no end marker") << QStringLiteral("@@START@@81.2.3.4") << QString();
        QTest::newRow("only the end marker")
            << QStringLiteral("a long page 81.2.3.4@@END@@") << QString();
        QTest::newRow("neither marker") << QStringLiteral("Service unavailable") << QString();
        QTest::newRow("end before start")
            << QStringLiteral("@@END@@ x @@START@@81.2.3.4@@END@@") << QString();
        QTest::newRow("first markers count")
            << QStringLiteral("@@START@@ab@@END@@@@START@@cd@@END@@") << QStringLiteral("ab");
        QTest::newRow("markers are case-sensitive")
            << QStringLiteral("@@start@@ab@@end@@") << QString();
        QTest::newRow("empty") << QString() << QString();
    }

    void getBetween()
    {
        QFETCH(QString, text);
        QFETCH(QString, between);
        QCOMPARE(GetBetween(QStringLiteral("@@START@@"), QStringLiteral("@@END@@"), text), between);
    }

    void findTextPos_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("part");
        QTest::addColumn<int>("position");

        QTest::newRow("at start") << QStringLiteral("abc") << QStringLiteral("a") << 1;
        QTest::newRow("inside") << QStringLiteral("abcbc") << QStringLiteral("bc") << 2;
        QTest::newRow("absent") << QStringLiteral("abc") << QStringLiteral("d") << 0;
        QTest::newRow("case differs") << QStringLiteral("ABC") << QStringLiteral("b") << 0;
        QTest::newRow("empty part") << QStringLiteral("abc") << QString() << 0;
        QTest::newRow("empty text") << QString() << QStringLiteral("a") << 0;
    }

    void findTextPos()
    {
        QFETCH(QString, text);
        QFETCH(QString, part);
        QFETCH(int, position);
        QCOMPARE(FindTextPos(text, part), position);
    }

    void directoryLocation()
    {
        freshSettings();
        const QByteArray saved = qgetenv("VELKOR_DIRECTORY_URL");
        qunsetenv("VELKOR_DIRECTORY_URL");
        QCOMPARE(DirectoryBaseURL(), QStringLiteral("http://127.0.0.1:8470"));
        QCOMPARE(DirectoryScriptURL(), QStringLiteral("http://127.0.0.1:8470") + ScriptPath);

        qputenv("VELKOR_DIRECTORY_URL", "http://env.example:81/");
        QCOMPARE(DirectoryBaseURL(), QStringLiteral("http://env.example:81/"));
        QCOMPARE(DirectoryScriptURL(), QStringLiteral("http://env.example:81") + ScriptPath);

        WriteSetting(QStringLiteral("Network"), QStringLiteral("DirectoryURL"),
                     QStringLiteral("https://setting.example/base//"));
        QCOMPARE(DirectoryBaseURL(), QStringLiteral("https://setting.example/base//"));
        QCOMPARE(DirectoryScriptURL(), QStringLiteral("https://setting.example/base") + ScriptPath);
        QCOMPARE(DirectoryRequestURL(QStringLiteral("vl.asp?mode=request&pwd=R462TpwxK")),
                 QUrl(QStringLiteral("https://setting.example/base") + ScriptPath
                      + u"/vl.asp?mode=request&pwd=R462TpwxK"));

        qputenv("VELKOR_DIRECTORY_URL", saved);
    }

    void hostileDirectorySetting_data()
    {
        QTest::addColumn<QString>("base");
        QTest::newRow("not an address") << QStringLiteral("not a url");
        QTest::newRow("other scheme") << QStringLiteral("ftp://127.0.0.1/");
        QTest::newRow("local file") << QStringLiteral("file:///etc");
        QTest::newRow("script") << QStringLiteral("javascript:alert(1)");
        QTest::newRow("no host") << QStringLiteral("http://");
        QTest::newRow("query") << QStringLiteral("http://127.0.0.1:9/x?y=");
        QTest::newRow("fragment") << QStringLiteral("http://127.0.0.1:9/#x");
        QTest::newRow("broken bracket") << QStringLiteral("http://[::1");
        QTest::newRow("space in host") << QStringLiteral("http://a b/");
        QTest::newRow("bad port") << QStringLiteral("http://127.0.0.1:99999/");
        QTest::newRow("control character") << (QStringLiteral("http://127.0.0.1/") + QChar(14));
    }

    void hostileDirectorySetting()
    {
        QFETCH(QString, base);
        setDirectory(base);
        QVERIFY(!DirectoryRequestURL(QStringLiteral("vl.asp?mode=request")).isValid());

        testsupport::MessageBoxRecorder boxes;
        WebFetch inet;
        QCOMPARE(WebRequest(QStringLiteral("vl.asp"), QStringLiteral("mode=request"), inet),
                 QString());
        QCOMPARE(FindIP(1, inet, QString()), QString());
        QVERIFY(boxes.shown().isEmpty());
        QVERIFY(!inet.isBusy());
    }

    void webRequest_data()
    {
        QTest::addColumn<QString>("basePath");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("target");

        QTest::newRow("query gets its question mark")
            << QString() << QStringLiteral("mode=request&pwd=R462TpwxK")
            << ScriptPath + u"/vl.asp?mode=request&pwd=R462TpwxK";
        QTest::newRow("question mark kept single")
            << QStringLiteral("/") << QStringLiteral("?mode=heartbeat")
            << ScriptPath + u"/vl.asp?mode=heartbeat";
        QTest::newRow("empty query") << QString() << QString() << ScriptPath + u"/vl.asp?";
        QTest::newRow("encoded query passes unchanged")
            << QString() << u"mode=create&VL_REPORT=" + URLEncode(QStringLiteral("a b&c#d"))
            << ScriptPath + u"/vl.asp?mode=create&VL_REPORT=a+b%26c%23d";
        QTest::newRow("raw space and hash stay in the query")
            << QString() << QStringLiteral("a=b c#d") << ScriptPath + u"/vl.asp?a=b%20c%23d";
        QTest::newRow("base with a path") << QStringLiteral("/web/") << QStringLiteral("x=1")
                                          << u"/web" + ScriptPath + u"/vl.asp?x=1";
    }

    void webRequest()
    {
        QFETCH(QString, basePath);
        QFETCH(QString, query);
        QFETCH(QString, target);

        LocalHttpServer server;
        QVERIFY(server.isListening());
        server.serve(target.section(u'?', 0, 0), "@@START@@OK@@END@@");
        setDirectory(server.baseUrl() + basePath);

        WebFetch inet;
        inet.setRequestTimeout(1);
        QCOMPARE(WebRequest(QStringLiteral("vl.asp"), query, inet),
                 QStringLiteral("@@START@@OK@@END@@"));
        QCOMPARE(server.requests(), QStringList { target });
        QCOMPARE(inet.requestTimeoutMs(), 10000);
    }

    void webRequestFailures()
    {
        LocalHttpServer server;
        server.serveHuge(ScriptPath + u"/vl.asp", WebFetch::MaxBodyBytes + 100, false,
                         "@@START@@OK@@END@@");

        WebFetch inet;
        setDirectory(closedBase());
        QCOMPARE(WebRequest(QStringLiteral("vl.asp"), QStringLiteral("mode=request"), inet),
                 QString());
        setDirectory(server.baseUrl());
        QCOMPARE(WebRequest(QStringLiteral("vl.asp"), QStringLiteral("mode=request"), inet),
                 QString());
        QCOMPARE(server.requests().size(), 1);
    }

    void findIP_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("warns");

        const QString body = QStringLiteral("body");
        QTest::newRow("marked address") << body << QByteArray("<p>@@START@@81.2.3.4@@END@@</p>")
                                        << QStringLiteral("81.2.3.4") << false;
        QTest::newRow("address followed by a line break")
            << body << QByteArray("@@START@@81.2.3.4\r\n@@END@@") << QStringLiteral("81.2.3.4")
            << false;
        QTest::newRow("no markers") << body << QByteArray("81.2.3.4") << QString() << true;
        QTest::newRow("not an address")
            << body << QByteArray("@@START@@300.2.3.4@@END@@") << QString() << true;
        QTest::newRow("address after text")
            << body << QByteArray("@@START@@ip=81.2.3.4@@END@@") << QString() << true;
        QTest::newRow("empty reply") << body << QByteArray() << QString() << true;
        QTest::newRow("nothing listening")
            << QStringLiteral("closed") << QByteArray() << QString() << false;
        QTest::newRow("reply over the cap")
            << QStringLiteral("huge") << QByteArray() << QString() << false;
    }

    void findIP()
    {
        QFETCH(QString, reply);
        QFETCH(QByteArray, body);
        QFETCH(QString, address);
        QFETCH(bool, warns);

        LocalHttpServer server;
        QVERIFY(server.isListening());
        const QString path = ScriptPath + u"/myip.asp";
        if (reply == u"huge")
            server.serveHuge(path, 2 * WebFetch::MaxBodyBytes, true, "@@START@@81.2.3.4@@END@@");
        else
            server.serve(path, body);
        setDirectory(reply == u"closed" ? closedBase() : server.baseUrl());

        testsupport::MessageBoxRecorder boxes;
        QWidget window;
        WebFetch inet;
        QCOMPARE(FindIP(1, inet, QStringLiteral("192.168.1.9"), &window), address);
        QVERIFY(!inet.isBusy());
        QCOMPARE(inet.requestTimeoutMs(), 4000);
        if (reply != u"closed")
            QCOMPARE(server.requests(), QStringList { path });

        if (!warns) {
            QVERIFY(boxes.shown().isEmpty());
            return;
        }
        QCOMPARE(boxes.shown().size(), 1);
        const msgbox::Request &box = boxes.shown().constFirst();
        QCOMPARE(box.text, QStringLiteral("Unable to get your Selected IP Address."));
        QCOMPARE(box.title, QStringLiteral("IP Address"));
        QCOMPARE(box.icon, msgbox::Icon::Warning);
        QCOMPARE(box.parent, &window);
    }

    void findIPOtherTypes()
    {
        LocalHttpServer server;
        setDirectory(server.baseUrl());
        testsupport::MessageBoxRecorder boxes;
        WebFetch inet;
        QCOMPARE(FindIP(2, inet, QStringLiteral("192.168.1.9")), QStringLiteral("192.168.1.9"));
        QCOMPARE(FindIP(0, inet, QStringLiteral("192.168.1.9")), QString());
        QCOMPARE(FindIP(3, inet, QStringLiteral("192.168.1.9")), QString());
        QVERIFY(server.requests().isEmpty());
        QVERIFY(boxes.shown().isEmpty());
    }

    void findIPTimesOut()
    {
        LocalHttpServer server;
        server.serveStall(ScriptPath + u"/myip.asp");
        setDirectory(server.baseUrl());

        testsupport::MessageBoxRecorder boxes;
        WebFetch inet;
        inet.setRequestTimeout(60);
        QCOMPARE(FindIP(1, inet, QString()), QString());
        QVERIFY(boxes.shown().isEmpty());
        QVERIFY(!inet.isBusy());
    }

    void findIPWindowClosesWhileWaiting()
    {
        LocalHttpServer server;
        server.serveStall(ScriptPath + u"/myip.asp");
        setDirectory(server.baseUrl());

        testsupport::MessageBoxRecorder boxes;
        auto window = std::make_unique<QWidget>();
        auto *inet = new WebFetch(window.get());
        const QPointer<WebFetch> guard(inet);
        connect(&server, &LocalHttpServer::requestReceived, this, [&] { window.reset(); });
        QCOMPARE(FindIP(1, *inet, QString(), window.get()), QString());
        QVERIFY(guard.isNull());
        QVERIFY(boxes.shown().isEmpty());
    }
};

QTEST_MAIN(TestAddressHelpers)
#include "tst_addresshelpers.moc"
