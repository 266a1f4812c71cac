#pragma once

#include <QAbstractSocket>
#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QString>

class QTcpServer;
class QTcpSocket;

// Error numbers of the socket layer. They follow the classic Winsock codes, so
// that callers and users can name a failure by one familiar number.
namespace sockets {

inline constexpr int AccessDenied = 10013;
inline constexpr int InvalidOperation = 10022;
inline constexpr int WouldBlock = 10035;
inline constexpr int InProgress = 10036;
inline constexpr int MessageTooLong = 10040;
inline constexpr int NotSupported = 10045;
inline constexpr int AddressInUse = 10048;
inline constexpr int AddressNotAvailable = 10049;
inline constexpr int NetworkDown = 10050;
inline constexpr int ConnectionReset = 10054;
inline constexpr int NoBuffers = 10055;
inline constexpr int AlreadyInUse = 10056;
inline constexpr int NotConnected = 10057;
inline constexpr int TimedOut = 10060;
inline constexpr int ConnectionRefused = 10061;
inline constexpr int HostNotFound = 11001;

[[nodiscard]] int errorNumber(QAbstractSocket::SocketError error);

// Dotted text of an address; IPv4 addresses mapped into IPv6 are shown as IPv4.
[[nodiscard]] QString addressText(const QHostAddress &address);

} // namespace sockets

// One TCP socket of a window's socket array: either a listening socket or one
// connection. Every event carries the socket's index in its array. Nothing
// here blocks: connecting (name resolution included) runs in the event loop
// and reports back through connected() or error().
//
// Connection requests: a listening socket raises connectionRequest() for each
// incoming connection. During that event the receiver either accepts the
// request on another, idle socket (accept()) or refuses it (reject()). A
// request still unanswered when the event returns is refused, so a receiver
// must be connected directly, and no connection is ever left hanging. The
// listening socket keeps listening in every case.
class StreamSocket final : public QObject
{
    Q_OBJECT

public:
    // Closing: the connection is shutting down; like Closed it counts as not
    // connected, and the socket may be reused.
    enum class State { Closed, Listening, Connecting, Connected, Closing };
    Q_ENUM(State)

    // The most one read takes from the system, and so the most one
    // dataArrival() event carries.
    static constexpr qint64 MaxReadBuffer = 1024 * 1024;

    explicit StreamSocket(int index, QObject *parent = nullptr);

    [[nodiscard]] int index() const { return m_index; }
    [[nodiscard]] const QString &tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }

    // The port listen() uses; 0 picks a free one.
    void setLocalPort(quint16 port) { m_localPort = port; }
    // Listens on the local port, on every IPv4 address unless one is given.
    bool listen(const QHostAddress &address = QHostAddress(QHostAddress::AnyIPv4));
    // Takes the connection of request requestId raised by listening. Fails
    // when this socket is not idle or the request is unknown.
    bool accept(StreamSocket &listening, int requestId);
    // Refuses a pending connection request of this listening socket: the
    // requesting peer sees its connection closed.
    bool reject(int requestId);
    // Starts connecting to a host name or dotted IPv4 address; returns at
    // once. Fails only when this socket is in use or the arguments are empty.
    bool connectToHost(const QString &host, quint16 port);

    // Queues data on a connected socket; sendComplete() follows once
    // everything queued is written. Fails when the socket is not connected.
    bool send(const QByteArray &bytes);
    bool send(const QString &text);

    // Stops listening or ends the connection. Data already queued is still
    // delivered to the peer; unread data is dropped. Raises no event.
    void close();

    [[nodiscard]] State state() const;
    [[nodiscard]] QString remoteHostIP() const;
    [[nodiscard]] quint16 remotePort() const;
    [[nodiscard]] QString localIP() const;
    [[nodiscard]] quint16 localPort() const;

    // Number and description of the latest failure, failed operation or error event.
    [[nodiscard]] int lastError() const { return m_lastError; }
    [[nodiscard]] const QString &lastErrorText() const { return m_lastErrorText; }

signals:
    void connectionRequest(int index, int requestId);
    void connected(int index);
    // What one read returned; arrival order, no message boundaries.
    void dataArrival(int index, const QByteArray &data);
    void sendComplete(int index);
    // The peer closed the connection.
    void closed(int index);
    // The connection failed or could not be made; the socket is closed.
    void error(int index, int number, const QString &description);

private:
    void takePendingConnections();
    void attach(QTcpSocket *socket);
    void drop();
    bool fail(int number, const QString &description);

    int m_index;
    QString m_tag;
    quint16 m_localPort = 0;
    QTcpServer *m_server = nullptr;
    QTcpSocket *m_socket = nullptr;
    bool m_connectPending = false;
    QHash<int, QTcpSocket *> m_requests;
    int m_lastRequestId = 0;
    int m_lastError = 0;
    QString m_lastErrorText;
};
