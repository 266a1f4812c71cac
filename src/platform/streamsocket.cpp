#include "streamsocket.h"

#include "wiretext.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <climits>
#include <utility>

namespace sockets {

int errorNumber(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
    case QAbstractSocket::ProxyConnectionRefusedError:
        return ConnectionRefused;
    case QAbstractSocket::RemoteHostClosedError:
    case QAbstractSocket::ProxyConnectionClosedError:
        return ConnectionReset;
    case QAbstractSocket::HostNotFoundError:
    case QAbstractSocket::ProxyNotFoundError:
        return HostNotFound;
    case QAbstractSocket::SocketAccessError:
        return AccessDenied;
    case QAbstractSocket::SocketResourceError:
        return NoBuffers;
    case QAbstractSocket::SocketTimeoutError:
    case QAbstractSocket::ProxyConnectionTimeoutError:
        return TimedOut;
    case QAbstractSocket::DatagramTooLargeError:
        return MessageTooLong;
    case QAbstractSocket::NetworkError:
        return NetworkDown;
    case QAbstractSocket::AddressInUseError:
        return AddressInUse;
    case QAbstractSocket::SocketAddressNotAvailableError:
        return AddressNotAvailable;
    case QAbstractSocket::UnsupportedSocketOperationError:
        return NotSupported;
    case QAbstractSocket::UnfinishedSocketOperationError:
        return InProgress;
    case QAbstractSocket::TemporaryError:
        return WouldBlock;
    default:
        return InvalidOperation;
    }
}

QString addressText(const QHostAddress &address)
{
    if (address.isNull())
        return {};
    bool isIPv4 = false;
    const quint32 ipv4 = address.toIPv4Address(&isIPv4);
    return isIPv4 ? QHostAddress(ipv4).toString() : address.toString();
}

} // namespace sockets

namespace {

// How long a closed connection may keep flushing queued data to a peer that
// does not read it before it is cut off.
constexpr int LingerMs = 30000;

// Ends a connection that no StreamSocket owns any more: queued data is still
// written, then the socket deletes itself.
void release(QTcpSocket *socket)
{
    socket->disconnectFromHost();
    if (socket->state() == QAbstractSocket::UnconnectedState) {
        socket->deleteLater();
        return;
    }
    QObject::connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(LingerMs, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
}

} // namespace

StreamSocket::StreamSocket(int index, QObject *parent)
    : QObject(parent)
    , m_index(index)
{
}

bool StreamSocket::listen(const QHostAddress &address)
{
    if (state() != State::Closed)
        return fail(sockets::AlreadyInUse, tr("The socket is already in use."));
    drop();
    if (!m_server) {
        m_server = new QTcpServer(this);
        connect(m_server, &QTcpServer::newConnection, this, &StreamSocket::takePendingConnections);
        connect(m_server, &QTcpServer::acceptError, this, [this](QAbstractSocket::SocketError e) {
            fail(sockets::errorNumber(e), m_server->errorString());
            emit error(m_index, m_lastError, m_lastErrorText);
        });
    }
    if (!m_server->listen(address, m_localPort))
        return fail(sockets::errorNumber(m_server->serverError()), m_server->errorString());
    return true;
}

void StreamSocket::takePendingConnections()
{
    while (m_server->hasPendingConnections()) {
        QTcpSocket *socket = m_server->nextPendingConnection();
        if (!socket)
            break;
        m_lastRequestId = m_lastRequestId == INT_MAX ? 1 : m_lastRequestId + 1;
        const int requestId = m_lastRequestId;
        m_requests.insert(requestId, socket);
        emit connectionRequest(m_index, requestId);
        if (QTcpSocket *unanswered = m_requests.take(requestId))
            release(unanswered);
    }
}

bool StreamSocket::accept(StreamSocket &listening, int requestId)
{
    if (&listening == this)
        return fail(sockets::InvalidOperation, tr("A listening socket cannot accept on itself."));
    const State current = state();
    if (current != State::Closed && current != State::Closing)
        return fail(sockets::AlreadyInUse, tr("The socket is already in use."));
    QTcpSocket *socket = listening.m_requests.take(requestId);
    if (!socket)
        return fail(sockets::InvalidOperation,
                    tr("No connection request %1 is pending.").arg(requestId));
    drop();
    socket->setParent(this);
    attach(socket);
    return true;
}

bool StreamSocket::reject(int requestId)
{
    QTcpSocket *socket = m_requests.take(requestId);
    if (!socket)
        return fail(sockets::InvalidOperation,
                    tr("No connection request %1 is pending.").arg(requestId));
    release(socket);
    return true;
}

bool StreamSocket::connectToHost(const QString &host, quint16 port)
{
    const State current = state();
    if (current == State::Listening || current == State::Connecting || current == State::Connected)
        return fail(sockets::AlreadyInUse, tr("The socket is already in use."));
    const QString name = host.trimmed();
    if (name.isEmpty())
        return fail(sockets::HostNotFound, tr("No host was given."));
    if (port == 0)
        return fail(sockets::AddressNotAvailable, tr("No port was given."));
    drop();
    auto *socket = new QTcpSocket(this);
    attach(socket);
    m_connectPending = true;
    // Started from the event loop, so that even a failure the system reports
    // at once arrives as an event after this call has returned.
    QTimer::singleShot(0, socket, [this, socket, name, port] {
        if (socket != m_socket)
            return;
        m_connectPending = false;
        socket->connectToHost(name, port, QIODevice::ReadWrite, QAbstractSocket::IPv4Protocol);
    });
    return true;
}

bool StreamSocket::send(const QByteArray &bytes)
{
    if (state() != State::Connected)
        return fail(sockets::NotConnected, tr("The socket is not connected."));
    if (bytes.isEmpty())
        return true;
    if (m_socket->write(bytes) != bytes.size())
        return fail(sockets::errorNumber(m_socket->error()), m_socket->errorString());
    return true;
}

bool StreamSocket::send(const QString &text)
{
    return send(wire::toBytes(text));
}

void StreamSocket::close()
{
    for (QTcpSocket *request : std::as_const(m_requests))
        release(request);
    m_requests.clear();
    if (m_server)
        m_server->close();
    if (m_socket) {
        QTcpSocket *socket = std::exchange(m_socket, nullptr);
        disconnect(socket, nullptr, this, nullptr);
        release(socket);
    }
    m_connectPending = false;
}

StreamSocket::State StreamSocket::state() const
{
    if (m_server && m_server->isListening())
        return State::Listening;
    if (!m_socket)
        return State::Closed;
    if (m_connectPending)
        return State::Connecting;
    switch (m_socket->state()) {
    case QAbstractSocket::HostLookupState:
    case QAbstractSocket::ConnectingState:
        return State::Connecting;
    case QAbstractSocket::ConnectedState:
        return State::Connected;
    case QAbstractSocket::ClosingState:
        return State::Closing;
    default:
        return State::Closed;
    }
}

QString StreamSocket::remoteHostIP() const
{
    return m_socket ? sockets::addressText(m_socket->peerAddress()) : QString();
}

quint16 StreamSocket::remotePort() const
{
    return m_socket ? m_socket->peerPort() : 0;
}

QString StreamSocket::localIP() const
{
    if (m_server && m_server->isListening())
        return sockets::addressText(m_server->serverAddress());
    return m_socket ? sockets::addressText(m_socket->localAddress()) : QString();
}

quint16 StreamSocket::localPort() const
{
    if (m_server && m_server->isListening())
        return m_server->serverPort();
    if (m_socket && m_socket->localPort() != 0)
        return m_socket->localPort();
    return m_localPort;
}

void StreamSocket::attach(QTcpSocket *socket)
{
    m_socket = socket;
    socket->setReadBufferSize(MaxReadBuffer);
    connect(socket, &QAbstractSocket::connected, this, [this] { emit connected(m_index); });
    connect(socket, &QIODevice::readyRead, this, [this, socket] {
        // Read at once: each event hands over what arrived, at most
        // the read buffer's size.
        const QByteArray data = socket->readAll();
        if (!data.isEmpty())
            emit dataArrival(m_index, data);
    });
    connect(socket, &QIODevice::bytesWritten, this, [this, socket] {
        if (socket->bytesToWrite() == 0)
            emit sendComplete(m_index);
    });
    connect(socket, &QAbstractSocket::disconnected, this, [this, socket] {
        if (socket != m_socket)
            return;
        m_socket = nullptr;
        disconnect(socket, nullptr, this, nullptr);
        socket->deleteLater();
        emit closed(m_index);
    });
    connect(socket, &QAbstractSocket::errorOccurred, this,
            [this, socket](QAbstractSocket::SocketError e) {
                // A peer's close arrives as disconnected() and is reported as closed().
                if (socket != m_socket || e == QAbstractSocket::RemoteHostClosedError)
                    return;
                fail(sockets::errorNumber(e), socket->errorString());
                drop();
                emit error(m_index, m_lastError, m_lastErrorText);
            });
}

// Forgets the current connection at once, without flushing.
void StreamSocket::drop()
{
    if (!m_socket)
        return;
    QTcpSocket *socket = std::exchange(m_socket, nullptr);
    disconnect(socket, nullptr, this, nullptr);
    socket->abort();
    socket->deleteLater();
    m_connectPending = false;
}

bool StreamSocket::fail(int number, const QString &description)
{
    m_lastError = number;
    m_lastErrorText = description;
    return false;
}
