#include "localhttpserver.h"
#include "webfetch.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <memory>

using testsupport::LocalHttpServer;

class TestWebFetch : public QObject
{
    Q_OBJECT

private:
    // A port on which nothing listens any more.
    static quint16 closedPort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        const quint16 port = probe.serverPort();
        probe.close();
        return port;
    }

private slots:
    void deliversBody_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("expected");

        QTest::newRow("marked reply") << QByteArray("<html>@@START@@1.2.3.4@@END@@</html>") << 200
                                      << QStringLiteral("<html>@@START@@1.2.3.4@@END@@</html>");
        QTest::newRow("empty body") << QByteArray() << 200 << QString();
        QTest::newRow("error page is still a body")
            << QByteArray("@@START@@gone@@END@@") << 404 << QStringLiteral("@@START@@gone@@END@@");
        QTest::newRow("server error page") << QByteArray("oops") << 500 << QStringLiteral("oops");
        QTest::newRow("windows-1252 bytes")
            << QByteArray("\x80 caf\xe9 \x81") << 200 << QStringLiteral("\u20ac caf\u00e9 \u0081");
        QTest::newRow("exactly the cap") << QByteArray(WebFetch::MaxBodyBytes, 'y') << 200
                                         << QString(WebFetch::MaxBodyBytes, u'y');
    }

    void deliversBody()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(QString, expected);

        LocalHttpServer server;
        QVERIFY(server.isListening());
        server.serve(QStringLiteral("/dir/page.asp"), body, status);

        WebFetch fetch;
        bool ok = false;
        const QString text
            = fetch.fetch(server.url(QStringLiteral("/dir/page.asp?mode=x&v=a%2Bb")), &ok);
        QVERIFY(ok);
        QCOMPARE(text.size(), expected.size());
        QCOMPARE(text, expected);
        QCOMPARE(server.requests(), QStringList { QStringLiteral("/dir/page.asp?mode=x&v=a%2Bb") });
        QVERIFY(!fetch.isBusy());
    }

    void failsEmpty_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("nothing listening") << QStringLiteral("closed");
        QTest::newRow("announced body over the cap") << QStringLiteral("huge announced");
        QTest::newRow("streamed body over the cap") << QStringLiteral("huge streamed");
        QTest::newRow("no answer past the time-out") << QStringLiteral("stall");
        QTest::newRow("bytes trickling past the time-out") << QStringLiteral("trickle");
        QTest::newRow("local file address") << QStringLiteral("file");
        QTest::newRow("no host") << QStringLiteral("no host");
        QTest::newRow("empty address") << QStringLiteral("empty");
    }

    void failsEmpty()
    {
        QFETCH(QString, kind);

        LocalHttpServer server;
        QVERIFY(server.isListening());
        // Valid markers up front: only the cap can make these fail.
        const QByteArray marked = "@@START@@1.2.3.4@@END@@";
        server.serveHuge(QStringLiteral("/huge-announced"), WebFetch::MaxBodyBytes + 1, true,
                         marked);
        server.serveHuge(QStringLiteral("/huge-streamed"), 2 * WebFetch::MaxBodyBytes, false,
                         marked);
        server.serveStall(QStringLiteral("/stall"));
        server.serveTrickle(QStringLiteral("/trickle"), 10);

        QUrl url;
        if (kind == u"closed")
            url = QUrl(u"http://127.0.0.1:" + QString::number(closedPort()) + u"/x.asp");
        else if (kind == u"file")
            url = QUrl::fromLocalFile(QCoreApplication::applicationFilePath());
        else if (kind == u"no host")
            url = QUrl(QStringLiteral("http:///x.asp"));
        else if (kind != u"empty")
            url = server.url(u'/' + QString(kind).replace(u' ', u'-'));

        WebFetch fetch;
        fetch.setRequestTimeoutMs(300);
        bool ok = true;
        QCOMPARE(fetch.fetch(url, &ok), QString());
        QVERIFY(!ok);
        QVERIFY(!fetch.isBusy());

        // The object stays usable after a failure.
        server.serve(QStringLiteral("/after"), "fine");
        QCOMPARE(fetch.fetch(server.url(QStringLiteral("/after")), &ok), QStringLiteral("fine"));
        QVERIFY(ok);
    }

    void asynchronousGet()
    {
        LocalHttpServer server;
        server.serve(QStringLiteral("/a.asp"), "@@START@@OK@@END@@");
        server.serveStall(QStringLiteral("/stall"));

        WebFetch fetch;
        QSignalSpy finished(&fetch, &WebFetch::finished);
        QVERIFY(fetch.get(server.url(QStringLiteral("/a.asp"))));
        QVERIFY(fetch.isBusy());
        QVERIFY(!fetch.get(server.url(QStringLiteral("/a.asp"))));
        QVERIFY(finished.wait());
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.at(0).at(0).toString(), QStringLiteral("@@START@@OK@@END@@"));
        QCOMPARE(finished.at(0).at(1).toBool(), true);
        QVERIFY(!fetch.isBusy());

        // A refused address emits nothing; a cancelled request ends once.
        finished.clear();
        QVERIFY(!fetch.get(QUrl(QStringLiteral("file:///etc/hostname"))));
        QVERIFY(fetch.get(server.url(QStringLiteral("/stall"))));
        QTRY_COMPARE(server.requests().size(), 2);
        fetch.cancel();
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.at(0).at(0).toString(), QString());
        QCOMPARE(finished.at(0).at(1).toBool(), false);
        QVERIFY(!fetch.isBusy());

        // Failures arrive through the same signal.
        finished.clear();
        QVERIFY(fetch.get(QUrl(u"http://127.0.0.1:" + QString::number(closedPort()) + u"/")));
        QVERIFY(finished.wait());
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.at(0).at(1).toBool(), false);
    }

    void cancelWhileWaiting()
    {
        LocalHttpServer server;
        server.serveStall(QStringLiteral("/stall"));

        WebFetch fetch;
        fetch.setRequestTimeout(60);
        bool busyInTimer = false;
        QTimer::singleShot(0, &fetch, [&] {
            // Events keep running while the fetch waits.
            busyInTimer = fetch.isBusy();
            QTimer::singleShot(100, &fetch, [&] { fetch.cancel(); });
        });
        bool ok = true;
        QCOMPARE(fetch.fetch(server.url(QStringLiteral("/stall")), &ok), QString());
        QVERIFY(!ok);
        QVERIFY(busyInTimer);
        QVERIFY(!fetch.isBusy());
    }

    void secondFetchRefusedWhileBusy()
    {
        LocalHttpServer server;
        server.serveStall(QStringLiteral("/stall"));
        server.serve(QStringLiteral("/other"), "other");

        WebFetch fetch;
        fetch.setRequestTimeout(60);
        bool refusedFetch = false;
        bool refusedGet = false;
        connect(&server, &LocalHttpServer::requestReceived, &fetch, [&] {
            bool ok = true;
            const QString body = fetch.fetch(server.url(QStringLiteral("/other")), &ok);
            refusedFetch = body.isEmpty() && !ok && fetch.isBusy();
            refusedGet = !fetch.get(server.url(QStringLiteral("/other")));
            fetch.cancel();
        });
        QCOMPARE(fetch.fetch(server.url(QStringLiteral("/stall"))), QString());
        QVERIFY(refusedFetch);
        QVERIFY(refusedGet);
        QCOMPARE(server.requests(), QStringList { QStringLiteral("/stall") });
    }

    void destroyedWhileWaiting_data()
    {
        QTest::addColumn<bool>("later");
        QTest::newRow("deleted from a nested event") << false;
        QTest::newRow("deleteLater from a nested event") << true;
    }

    void destroyedWhileWaiting()
    {
        QFETCH(bool, later);

        LocalHttpServer server;
        server.serveStall(QStringLiteral("/stall"));

        // The window owns the fetch object and closes while it waits.
        auto window = std::make_unique<QWidget>();
        auto *fetch = new WebFetch(window.get());
        fetch->setRequestTimeout(60);
        const QPointer<WebFetch> guard(fetch);
        connect(&server, &LocalHttpServer::requestReceived, fetch, [&] {
            if (later)
                window.release()->deleteLater();
            else
                window.reset();
        });
        bool ok = true;
        QCOMPARE(fetch->fetch(server.url(QStringLiteral("/stall")), &ok), QString());
        QVERIFY(!ok);
        QTRY_VERIFY(guard.isNull());

        // An asynchronous request in flight dies quietly with its object.
        auto owner = std::make_unique<QObject>();
        auto *async = new WebFetch(owner.get());
        int finishedCount = 0;
        connect(async, &WebFetch::finished, this, [&] { ++finishedCount; });
        QVERIFY(async->get(server.url(QStringLiteral("/stall"))));
        QTRY_COMPARE(server.requests().size(), 2);
        owner.reset();
        QCoreApplication::processEvents();
        QCOMPARE(finishedCount, 0);
    }
};

QTEST_MAIN(TestWebFetch)
#include "tst_webfetch.moc"
