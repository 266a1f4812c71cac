#include "datagramsocket.h"
#include "socketarray.h"
#include "streamsocket.h"
#include "wiretext.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include <algorithm>
#include <functional>

namespace {

const QHostAddress Loopback(QHostAddress::LocalHost);

QByteArray everyByte(int size)
{
    QByteArray bytes;
    bytes.reserve(size);
    for (int i = 0; i < size; ++i)
        bytes.append(char(i % 256));
    return bytes;
}

// What arrives on socket until at least want bytes have come or nothing more
// comes.
QByteArray receive(StreamSocket &socket, qsizetype want)
{
    QByteArray got;
    QObject context;
    QObject::connect(&socket, &StreamSocket::dataArrival, &context,
                     [&got](int, const QByteArray &data) { got += data; });
    QSignalSpy arrivals(&socket, &StreamSocket::dataArrival);
    while (got.size() < want && arrivals.wait(5000)) { }
    return got;
}

quint16 unusedPort()
{
    QTcpServer probe;
    probe.listen(Loopback);
    return probe.serverPort();
}

bool inUse(const StreamSocket &socket)
{
    return socket.state() == StreamSocket::State::Connected
        || socket.state() == StreamSocket::State::Connecting;
}

// A host as a session window runs one: element 0 listens, accepted
// connections go to the first element that is not in use, or a new one.
struct Host
{
    QObject owner;
    SocketArray<StreamSocket> sockets { &owner };
    std::function<void(int requestId)> onRequest;
    QList<int> requests;

    Host()
    {
        sockets.add().listen(Loopback);
        onRequest = [this](int requestId) { acceptOnFree(requestId); };
        sockets.connectAll(&StreamSocket::connectionRequest, &owner,
                           [this](int index, int requestId) {
                               QCOMPARE(index, 0);
                               requests.append(requestId);
                               onRequest(requestId);
                           });
    }

    StreamSocket &listener() { return *sockets.at(0); }
    quint16 port() { return listener().localPort(); }

    void acceptOnFree(int requestId)
    {
        for (int i = 1; i < sockets.size(); ++i) {
            if (!inUse(*sockets.at(i))) {
                sockets.at(i)->accept(listener(), requestId);
                return;
            }
        }
        sockets.add().accept(listener(), requestId);
    }
};

// Connects client to host and waits until host element `index` serves it.
bool link(Host &host, StreamSocket &client, int index)
{
    QSignalSpy connected(&client, &StreamSocket::connected);
    if (!client.connectToHost(QStringLiteral("127.0.0.1"), host.port()) || !connected.wait(5000))
        return false;
    return QTest::qWaitFor([&] {
        return host.sockets.size() > index
            && host.sockets.at(index)->state() == StreamSocket::State::Connected;
    });
}

} // namespace

class TestSockets : public QObject
{
    Q_OBJECT

private slots:
    void acceptsOnAnotherElement()
    {
        Host host;
        QCOMPARE(host.listener().state(), StreamSocket::State::Listening);
        QCOMPARE(host.listener().localIP(), QStringLiteral("127.0.0.1"));
        QVERIFY(host.port() != 0);
        bool accepted = false;
        host.onRequest = [&](int requestId) {
            StreamSocket &idle = host.sockets.add();
            idle.setTag(QStringLiteral("3"));
            accepted = idle.accept(host.listener(), requestId);
        };

        StreamSocket client(5);
        QSignalSpy connected(&client, &StreamSocket::connected);
        QVERIFY(client.connectToHost(QStringLiteral("localhost"), host.port()));
        QCOMPARE(client.state(), StreamSocket::State::Connecting);
        QVERIFY(connected.wait(5000));
        QCOMPARE(connected.first().at(0).toInt(), 5);
        QTRY_VERIFY(accepted);

        QCOMPARE(host.requests.size(), 1);
        QCOMPARE(host.sockets.size(), 2);
        StreamSocket &served = *host.sockets.at(1);
        QCOMPARE(served.index(), 1);
        QCOMPARE(served.tag(), QStringLiteral("3"));
        QCOMPARE(served.state(), StreamSocket::State::Connected);
        QCOMPARE(served.remoteHostIP(), QStringLiteral("127.0.0.1"));
        QCOMPARE(served.remotePort(), client.localPort());
        QCOMPARE(served.localPort(), host.port());
        QCOMPARE(client.remoteHostIP(), QStringLiteral("127.0.0.1"));
        QCOMPARE(client.remotePort(), host.port());
        QCOMPARE(client.localIP(), QStringLiteral("127.0.0.1"));
        QCOMPARE(host.listener().state(), StreamSocket::State::Listening);
    }

    void carriesEveryByteBothWays()
    {
        Host host;
        StreamSocket client(0);
        QVERIFY(link(host, client, 1));
        StreamSocket &served = *host.sockets.at(1);

        // Sent as text, read as bytes: one character is one byte.
        const QByteArray all = everyByte(256);
        QVERIFY(served.send(wire::toText(all)));
        QCOMPARE(receive(client, all.size()), all);

        // Large enough to be written in several pieces; each event carries
        // what one read returned, with the socket's index.
        const QByteArray bulk = everyByte(300 * 1024);
        QByteArray got;
        bool countsMatch = true;
        QObject::connect(&served, &StreamSocket::dataArrival, &host.owner,
                         [&](int index, const QByteArray &read) {
                             countsMatch = countsMatch && index == 1 && !read.isEmpty();
                             got += read;
                         });
        QSignalSpy complete(&client, &StreamSocket::sendComplete);
        QVERIFY(client.send(bulk));
        QTRY_COMPARE(got.size(), bulk.size());
        QCOMPARE(got, bulk);
        QVERIFY(countsMatch);
        QTRY_VERIFY(!complete.isEmpty());
        QCOMPARE(complete.last().at(0).toInt(), 0);
    }

    // A peer that sends faster than we read cannot grow our memory: the
    // socket holds at most its buffer, and the rest waits in TCP.
    void readBufferIsCapped()
    {
        Host host;
        StreamSocket client(0);
        QVERIFY(link(host, client, 1));
        StreamSocket &served = *host.sockets.at(1);
        const QByteArray flood = everyByte(4 * StreamSocket::MaxReadBuffer);
        QVERIFY(client.send(flood));
        QByteArray got;
        qsizetype largest = 0;
        QObject::connect(&served, &StreamSocket::dataArrival, &host.owner,
                         [&](int, const QByteArray &read) {
                             largest = std::max(largest, read.size());
                             got += read;
                         });
        QTRY_COMPARE_WITH_TIMEOUT(got.size(), flood.size(), 20000);
        QCOMPARE(got, flood);
        QVERIFY(largest <= StreamSocket::MaxReadBuffer);
    }

    void closedByPeer_data()
    {
        QTest::addColumn<bool>("clientCloses");
        QTest::newRow("client closes") << true;
        QTest::newRow("host closes") << false;
    }

    void closedByPeer()
    {
        QFETCH(bool, clientCloses);
        Host host;
        StreamSocket client(4);
        QVERIFY(link(host, client, 1));
        StreamSocket &closer = clientCloses ? client : *host.sockets.at(1);
        StreamSocket &peer = clientCloses ? *host.sockets.at(1) : client;
        QSignalSpy closerClosed(&closer, &StreamSocket::closed);
        QSignalSpy peerClosed(&peer, &StreamSocket::closed);
        QByteArray got;
        QObject::connect(&peer, &StreamSocket::dataArrival, &host.owner,
                         [&](int, const QByteArray &data) { got += data; });

        // Data queued just before the close still arrives, ahead of the closed event.
        QVERIFY(closer.send(QStringLiteral("bye")));
        closer.close();
        QCOMPARE(closer.state(), StreamSocket::State::Closed);
        QVERIFY(peerClosed.wait(5000));
        QCOMPARE(got, QByteArray("bye"));
        QCOMPARE(peerClosed.first().at(0).toInt(), peer.index());
        QCOMPARE(peer.state(), StreamSocket::State::Closed);
        QVERIFY(!peer.send(QByteArray("late")));
        QCOMPARE(closerClosed.size(), 0);
        QCOMPARE(host.listener().state(), StreamSocket::State::Listening);
    }

    void refusedConnectionRaisesError()
    {
        StreamSocket client(2);
        QSignalSpy error(&client, &StreamSocket::error);
        QSignalSpy connected(&client, &StreamSocket::connected);
        QSignalSpy closed(&client, &StreamSocket::closed);
        QVERIFY(client.connectToHost(QStringLiteral("127.0.0.1"), unusedPort()));
        QCOMPARE(error.size(), 0); // never from inside the call
        QVERIFY(error.wait(5000));
        QCOMPARE(error.first().at(0).toInt(), 2);
        QCOMPARE(error.first().at(1).toInt(), sockets::ConnectionRefused);
        QVERIFY(!error.first().at(2).toString().isEmpty());
        QCOMPARE(client.lastError(), sockets::ConnectionRefused);
        QCOMPARE(client.state(), StreamSocket::State::Closed);
        QCOMPARE(connected.size(), 0);
        QCOMPARE(closed.size(), 0);

        // The same socket serves a later attempt.
        Host host;
        QVERIFY(link(host, client, 1));
    }

    void sendFailsWhenNotConnected()
    {
        StreamSocket fresh(0);
        QVERIFY(!fresh.send(QByteArray("x")));
        QCOMPARE(fresh.lastError(), sockets::NotConnected);
        QVERIFY(!fresh.lastErrorText().isEmpty());

        Host host;
        QVERIFY(!host.listener().send(QStringLiteral("x")));
        QCOMPARE(host.listener().lastError(), sockets::NotConnected);

        StreamSocket client(1);
        QVERIFY(client.connectToHost(QStringLiteral("127.0.0.1"), host.port()));
        QVERIFY(!client.send(QByteArray("x")));
        QCOMPARE(client.lastError(), sockets::NotConnected);
        QVERIFY(!client.connectToHost(QStringLiteral("127.0.0.1"), host.port()));
        QCOMPARE(client.lastError(), sockets::AlreadyInUse);

        client.close();
        QVERIFY(!client.send(QByteArray("x")));
        QCOMPARE(client.state(), StreamSocket::State::Closed);
    }

    void listeningPortInUseFails()
    {
        Host host;
        StreamSocket second(0);
        second.setLocalPort(host.port());
        QVERIFY(!second.listen(Loopback));
        QCOMPARE(second.lastError(), sockets::AddressInUse);
        QVERIFY(!second.lastErrorText().isEmpty());
        QCOMPARE(second.state(), StreamSocket::State::Closed);
        QVERIFY(!host.listener().listen(Loopback));
        QCOMPARE(host.listener().state(), StreamSocket::State::Listening);

        StreamSocket client(1);
        QVERIFY(link(host, client, 1));
    }

    void refusedRequestKeepsListening_data()
    {
        QTest::addColumn<QString>("policy");
        QTest::newRow("rejected") << QStringLiteral("reject");
        QTest::newRow("left unanswered") << QStringLiteral("ignore");
        QTest::newRow("accepted on a busy element") << QStringLiteral("busy");
        QTest::newRow("accepted on the listener") << QStringLiteral("self");
    }

    void refusedRequestKeepsListening()
    {
        QFETCH(QString, policy);
        Host host;
        StreamSocket first(1);
        QVERIFY(link(host, first, 1));

        bool answered = false;
        host.onRequest = [&](int requestId) {
            if (policy == QLatin1String("reject"))
                answered = host.listener().reject(requestId) && !host.listener().reject(requestId);
            else if (policy == QLatin1String("busy"))
                answered = !host.sockets.at(1)->accept(host.listener(), requestId)
                    && host.sockets.at(1)->lastError() == sockets::AlreadyInUse;
            else if (policy == QLatin1String("self"))
                answered = !host.listener().accept(host.listener(), requestId);
            else
                answered = true;
        };
        StreamSocket second(2);
        QSignalSpy secondClosed(&second, &StreamSocket::closed);
        QVERIFY(second.connectToHost(QStringLiteral("127.0.0.1"), host.port()));
        QVERIFY(secondClosed.wait(5000));
        QVERIFY(answered);
        QCOMPARE(host.sockets.size(), 2);
        QCOMPARE(host.listener().state(), StreamSocket::State::Listening);

        // The busy connection is untouched and new requests are served again.
        QVERIFY(first.send(QByteArray("still here")));
        QCOMPARE(receive(*host.sockets.at(1), 10), QByteArray("still here"));
        host.onRequest = [&](int requestId) { host.acceptOnFree(requestId); };
        StreamSocket third(3);
        QVERIFY(link(host, third, 2));
        QCOMPARE(host.requests.size(), 3);
    }

    void socketArrayGrowsAndWiresEveryElement()
    {
        auto owner = std::make_unique<QObject>();
        SocketArray<DatagramSocket> array(owner.get());
        QCOMPARE(array.size(), 0);
        QCOMPARE(array.at(0), nullptr);
        array.add();
        QObject receiver;
        QList<int> errors;
        array.connectAll(&DatagramSocket::error, &receiver,
                         [&](int index, int, const QString &) { errors.append(index); });
        array.add();
        array.add();
        QCOMPARE(array.size(), 3);
        for (int i = 0; i < array.size(); ++i) {
            QCOMPARE(array.at(i)->index(), i);
            QCOMPARE(array.at(i)->parent(), owner.get());
        }
        QCOMPARE(array.at(3), nullptr);
        QCOMPARE(array.at(-1), nullptr);

        // A real failure on every element reaches the one slot with the element's index.
        for (int i = 0; i < array.size(); ++i)
            array.at(i)->setRemote(QStringLiteral("no-such-host.invalid"), 7999);
        for (int i = 0; i < array.size(); ++i)
            QVERIFY(array.at(i)->send(QByteArray("x")));
        QTRY_COMPARE_WITH_TIMEOUT(errors.size(), 3, 30000);
        std::sort(errors.begin(), errors.end());
        QCOMPARE(errors, QList<int>({ 0, 1, 2 }));
        QCOMPARE(array.at(1)->lastError(), sockets::HostNotFound);

        owner.reset();
        QCOMPARE(array.at(0), nullptr);
    }

    void datagramsBothWays_data()
    {
        QTest::addColumn<QString>("server");
        QTest::newRow("dotted address") << QStringLiteral("127.0.0.1");
        QTest::newRow("host name") << QStringLiteral("localhost");
    }

    void datagramsBothWays()
    {
        QFETCH(QString, server);
        DatagramSocket master(3);
        QVERIFY(master.bind(Loopback, 0));
        QVERIFY(master.isBound());
        QCOMPARE(master.localIP(), QStringLiteral("127.0.0.1"));
        DatagramSocket browser(7);
        QCOMPARE(browser.localPort(), 0);

        const QByteArray payload = everyByte(8 * 1024);
        QSignalSpy masterArrival(&master, &DatagramSocket::dataArrival);
        browser.setRemote(server, master.localPort());
        QVERIFY(browser.send(payload));
        QVERIFY(browser.localPort() != 0);
        QVERIFY(masterArrival.wait(5000));
        const QList<QVariant> first = masterArrival.first();
        QCOMPARE(first.at(0).toInt(), 3);
        QCOMPARE(first.at(1).toByteArray(), payload);
        QCOMPARE(first.at(2).toString(), QStringLiteral("127.0.0.1"));
        QCOMPARE(first.at(3).value<quint16>(), browser.localPort());

        // Answer the sender, as a master server does.
        QSignalSpy browserArrival(&browser, &DatagramSocket::dataArrival);
        master.setRemote(first.at(2).toString(), first.at(3).value<quint16>());
        QVERIFY(master.send(wire::toText(payload)));
        QVERIFY(browserArrival.wait(5000));
        QCOMPARE(browserArrival.first().at(0).toInt(), 7);
        QCOMPARE(wire::toText(browserArrival.first().at(1).toByteArray()), wire::toText(payload));
        QCOMPARE(browserArrival.first().at(3).value<quint16>(), master.localPort());

        // A burst keeps its boundaries: one event per datagram.
        QStringList received;
        QObject::connect(
            &master, &DatagramSocket::dataArrival, &master,
            [&](int, const QByteArray &datagram) { received.append(wire::toText(datagram)); });
        QStringList sent;
        for (int i = 0; i < 200; ++i) {
            sent.append(QString::number(i));
            QVERIFY(browser.send(sent.last()));
        }
        QTRY_COMPARE(received.size(), sent.size());
        received.sort();
        sent.sort();
        QCOMPARE(received, sent);
    }

    void datagramFailures()
    {
        DatagramSocket master(0);
        QVERIFY(master.bind(Loopback, 0));
        QVERIFY(!master.bind(Loopback, 0));
        QCOMPARE(master.lastError(), sockets::AlreadyInUse);

        DatagramSocket rival(1);
        QSignalSpy rivalError(&rival, &DatagramSocket::error);
        QVERIFY(!rival.bind(Loopback, master.localPort()));
        QCOMPARE(rival.lastError(), sockets::AddressInUse);
        QVERIFY(!rival.lastErrorText().isEmpty());

        QVERIFY(!rival.send(QByteArray("x")));
        QCOMPARE(rival.lastError(), sockets::AddressNotAvailable);

        rival.setRemote(QStringLiteral("127.0.0.1"), master.localPort());
        QVERIFY(!rival.send(QByteArray(70000, 'x')));
        QCOMPARE(rival.lastError(), sockets::MessageTooLong);
        QCOMPARE(rivalError.size(), 0); // failed operations do not also raise events

        QSignalSpy arrival(&master, &DatagramSocket::dataArrival);
        QVERIFY(rival.send(QByteArray()));
        QVERIFY(arrival.wait(5000));
        QCOMPARE(arrival.first().at(1).toByteArray(), QByteArray());

        master.close();
        QVERIFY(!master.isBound());
        QCOMPARE(master.localPort(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSockets)
#include "tst_sockets.moc"
