#include "datagramsocket.h"

#include "streamsocket.h"
#include "wiretext.h"

#include <QHostInfo>
#include <QNetworkDatagram>
#include <QScopedValueRollback>
#include <QUdpSocket>
#include <QVariant>

#include <algorithm>

namespace {

// Some systems default to buffers of a few KiB, which would drop the larger
// datagrams of a lobby's reply; this leaves room for a burst of them.
constexpr int MinBufferBytes = 256 * 1024;
// The most one IPv4 datagram can carry.
constexpr qsizetype MaxDatagramBytes = 65507;
// Datagrams handled per read notification, so that a flood cannot keep the
// event loop from the rest of the program; the remainder is read next turn.
constexpr int DatagramsPerTurn = 64;
// Datagrams that may wait for one host name to resolve.
constexpr int MaxWaitingDatagrams = 64;

} // namespace

DatagramSocket::DatagramSocket(int index, QObject *parent)
    : QObject(parent)
    , m_index(index)
{
    createSocket();
}

// A socket reports only the first error it meets, so one whose bind failed
// is replaced rather than reused.
void DatagramSocket::createSocket()
{
    if (m_socket)
        m_socket->deleteLater();
    m_socket = new QUdpSocket(this);
    connect(m_socket, &QIODevice::readyRead, this, &DatagramSocket::readDatagrams);
    connect(m_socket, &QAbstractSocket::errorOccurred, this,
            [this](QAbstractSocket::SocketError e) {
                fail(sockets::errorNumber(e), m_socket->errorString());
                // A failing operation reports through its result, not a second time as an event.
                if (!m_inOperation)
                    emit error(m_index, m_lastError, m_lastErrorText);
            });
}

bool DatagramSocket::bind(const QHostAddress &address, quint16 port)
{
    if (isBound())
        return fail(sockets::AlreadyInUse, tr("The socket is already bound."));
    const QScopedValueRollback guard(m_inOperation, true);
    // Not shared: a second program on the same port must fail here rather
    // than silently take a share of the datagrams.
    if (!m_socket->bind(address, port, QAbstractSocket::DontShareAddress)) {
        fail(sockets::errorNumber(m_socket->error()), m_socket->errorString());
        createSocket();
        return false;
    }
    for (const auto option : { QAbstractSocket::ReceiveBufferSizeSocketOption,
                               QAbstractSocket::SendBufferSizeSocketOption }) {
        if (m_socket->socketOption(option).toInt() < MinBufferBytes)
            m_socket->setSocketOption(option, MinBufferBytes);
    }
    return true;
}

bool DatagramSocket::isBound() const
{
    return m_socket->state() == QAbstractSocket::BoundState;
}

void DatagramSocket::setRemote(const QString &host, quint16 port)
{
    m_target.clear();
    m_targetPort = port;
    m_currentLookup = -1;
    const QString name = host.trimmed();
    if (name.isEmpty())
        return;
    if (QHostAddress literal; literal.setAddress(name)) {
        m_target = literal;
        return;
    }
    Lookup lookup;
    lookup.port = port;
    lookup.id
        = QHostInfo::lookupHost(name, this, [this](const QHostInfo &info) { resolved(info); });
    m_currentLookup = lookup.id;
    m_lookups.append(lookup);
}

bool DatagramSocket::send(const QByteArray &datagram)
{
    if (!isBound() && !bind())
        return false;
    if (m_currentLookup != -1) {
        for (Lookup &lookup : m_lookups) {
            if (lookup.id != m_currentLookup)
                continue;
            if (lookup.datagrams.size() >= MaxWaitingDatagrams)
                return fail(sockets::NoBuffers,
                            tr("Too many datagrams are waiting for the host name."));
            lookup.datagrams.append(datagram);
            return true;
        }
    }
    if (m_target.isNull() || m_targetPort == 0)
        return fail(sockets::AddressNotAvailable, tr("No remote host is set."));
    return write(datagram, m_target, m_targetPort);
}

bool DatagramSocket::send(const QString &text)
{
    return send(wire::toBytes(text));
}

QString DatagramSocket::localIP() const
{
    return isBound() ? sockets::addressText(m_socket->localAddress()) : QString();
}

quint16 DatagramSocket::localPort() const
{
    return isBound() ? m_socket->localPort() : 0;
}

void DatagramSocket::close()
{
    for (Lookup &lookup : m_lookups)
        lookup.datagrams.clear();
    m_socket->close();
}

void DatagramSocket::readDatagrams()
{
    for (int n = 0; n < DatagramsPerTurn && isBound() && m_socket->hasPendingDatagrams(); ++n) {
        const QNetworkDatagram datagram = m_socket->receiveDatagram();
        if (!datagram.isValid())
            break;
        emit dataArrival(m_index, datagram.data(), sockets::addressText(datagram.senderAddress()),
                         quint16(std::max(datagram.senderPort(), 0)));
    }
}

void DatagramSocket::resolved(const QHostInfo &info)
{
    const auto found = std::find_if(m_lookups.begin(), m_lookups.end(),
                                    [&info](const Lookup &l) { return l.id == info.lookupId(); });
    if (found == m_lookups.end())
        return;
    const Lookup lookup = *found;
    m_lookups.erase(found);
    const bool current = lookup.id == m_currentLookup;
    if (current)
        m_currentLookup = -1;

    const QList<QHostAddress> addresses = info.addresses();
    const auto ipv4 = std::find_if(addresses.cbegin(), addresses.cend(), [](const QHostAddress &a) {
        return a.protocol() == QAbstractSocket::IPv4Protocol;
    });
    if (info.error() != QHostInfo::NoError || ipv4 == addresses.cend()) {
        fail(sockets::HostNotFound,
             info.error() != QHostInfo::NoError ? info.errorString()
                                                : tr("The host name has no IPv4 address."));
        emit error(m_index, m_lastError, m_lastErrorText);
        return;
    }
    if (current)
        m_target = *ipv4;
    for (const QByteArray &datagram : lookup.datagrams) {
        if (!write(datagram, *ipv4, lookup.port)) {
            emit error(m_index, m_lastError, m_lastErrorText);
            return;
        }
    }
}

bool DatagramSocket::write(const QByteArray &datagram, const QHostAddress &address, quint16 port)
{
    if (datagram.size() > MaxDatagramBytes)
        return fail(sockets::MessageTooLong, tr("The datagram is too large to send."));
    const QScopedValueRollback guard(m_inOperation, true);
    if (m_socket->writeDatagram(datagram, address, port) != datagram.size())
        return fail(sockets::errorNumber(m_socket->error()), m_socket->errorString());
    return true;
}

bool DatagramSocket::fail(int number, const QString &description)
{
    m_lastError = number;
    m_lastErrorText = description;
    return false;
}
