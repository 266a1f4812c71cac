#include "localhttpserver.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

namespace testsupport {

namespace {

constexpr qsizetype MaxRequestBytes = 64 * 1024;
constexpr qint64 TrickleLength = 1000 * 1000;

QByteArray reason(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

QByteArray headers(int status, qint64 length)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason(status) + "\r\n"
        + "Content-Type: text/html\r\nConnection: close\r\n";
    if (length >= 0)
        head += "Content-Length: " + QByteArray::number(length) + "\r\n";
    return head + "\r\n";
}

} // namespace

LocalHttpServer::LocalHttpServer(QObject *parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &LocalHttpServer::accept);
    m_server.listen(QHostAddress::LocalHost);
}

QString LocalHttpServer::baseUrl() const
{
    return u"http://127.0.0.1:" + QString::number(port());
}

QUrl LocalHttpServer::url(const QString &pathAndQuery) const
{
    return QUrl(baseUrl() + pathAndQuery);
}

void LocalHttpServer::serve(const QString &path, const QByteArray &body, int status)
{
    Route route;
    route.body = body;
    route.status = status;
    m_routes.insert(path, route);
}

void LocalHttpServer::serveHuge(const QString &path, qint64 size, bool announceLength,
                                const QByteArray &prefix)
{
    Route route;
    route.kind = Kind::Huge;
    route.size = size;
    route.announceLength = announceLength;
    route.body = prefix;
    m_routes.insert(path, route);
}

void LocalHttpServer::serveStall(const QString &path)
{
    Route route;
    route.kind = Kind::Stall;
    m_routes.insert(path, route);
}

void LocalHttpServer::serveTrickle(const QString &path, int intervalMs)
{
    Route route;
    route.kind = Kind::Trickle;
    route.intervalMs = intervalMs;
    m_routes.insert(path, route);
}

void LocalHttpServer::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
            buffer->append(socket->readAll());
            const qsizetype end = buffer->indexOf("\r\n\r\n");
            if (end < 0) {
                if (buffer->size() > MaxRequestBytes)
                    socket->abort();
                return;
            }
            // One request per connection: ignore whatever follows.
            disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
            const QList<QByteArray> requestLine = buffer->left(buffer->indexOf("\r\n")).split(' ');
            const QString target
                = requestLine.size() >= 2 ? QString::fromLatin1(requestLine.at(1)) : QString();
            m_requests.append(target);
            emit requestReceived(target);
            answer(socket, target);
        });
    }
}

void LocalHttpServer::answer(QTcpSocket *socket, const QString &target)
{
    const QString path = target.section(u'?', 0, 0);
    const auto found = m_routes.constFind(path);
    if (found == m_routes.constEnd()) {
        const QByteArray body = "Not Found";
        socket->write(headers(404, body.size()) + body);
        socket->disconnectFromHost();
        return;
    }

    const Route &route = *found;
    switch (route.kind) {
    case Kind::Body:
        socket->write(headers(route.status, route.body.size()) + route.body);
        socket->disconnectFromHost();
        break;
    case Kind::Huge: {
        QByteArray body = route.body.left(route.size);
        body.append(route.size - body.size(), 'x');
        socket->write(headers(200, route.announceLength ? route.size : -1) + body);
        socket->disconnectFromHost();
        break;
    }
    case Kind::Stall:
        break;
    case Kind::Trickle: {
        socket->write(headers(200, TrickleLength));
        // The timer dies with the socket; the announced length bounds it.
        auto *timer = new QTimer(socket);
        auto sent = std::make_shared<qint64>(0);
        connect(timer, &QTimer::timeout, socket, [socket, timer, sent] {
            if (++*sent >= TrickleLength)
                timer->stop();
            socket->write("x");
        });
        timer->start(route.intervalMs);
        break;
    }
    }
}

} // namespace testsupport
