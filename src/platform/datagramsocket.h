#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>

class QHostInfo;
class QUdpSocket;

// One UDP socket of a window's socket array. Each received datagram raises
// its own dataArrival() event, which carries the datagram and its sender.
//
// A remote given as a host name is resolved in the event loop; datagrams sent
// meanwhile wait and go out to that name once it is resolved, or are dropped
// with an error event when it cannot be.
class DatagramSocket final : public QObject
{
    Q_OBJECT

public:
    explicit DatagramSocket(int index, QObject *parent = nullptr);

    [[nodiscard]] int index() const { return m_index; }
    [[nodiscard]] const QString &tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }

    // Binds to the given address and port (0 picks a free one). Fails when
    // already bound or when the port is taken, also by another program.
    bool bind(const QHostAddress &address, quint16 port);
    // Binds to a free port on every IPv4 address.
    bool bind() { return bind(QHostAddress(QHostAddress::AnyIPv4), 0); }
    [[nodiscard]] bool isBound() const;

    // Where send() goes: a dotted address or a host name, and a port.
    void setRemote(const QString &host, quint16 port);
    // Sends one datagram to the remote, binding to a free port first when
    // unbound. Fails when no remote is set or the datagram cannot be sent.
    bool send(const QByteArray &datagram);
    bool send(const QString &text);

    [[nodiscard]] QString localIP() const;
    [[nodiscard]] quint16 localPort() const;

    // Unbinds; datagrams still waiting for a name to resolve are dropped.
    // The remote stays set.
    void close();

    // Number and description of the latest failure, failed operation or error event.
    [[nodiscard]] int lastError() const { return m_lastError; }
    [[nodiscard]] const QString &lastErrorText() const { return m_lastErrorText; }

signals:
    // senderIP is dotted text (IPv4 mapped into IPv6 shown as IPv4).
    void dataArrival(int index, const QByteArray &datagram, const QString &senderIP,
                     quint16 senderPort);
    void error(int index, int number, const QString &description);

private:
    struct Lookup
    {
        int id = -1;
        quint16 port = 0;
        QList<QByteArray> datagrams;
    };

    void createSocket();
    void readDatagrams();
    void resolved(const QHostInfo &info);
    bool write(const QByteArray &datagram, const QHostAddress &address, quint16 port);
    bool fail(int number, const QString &description);

    int m_index;
    QString m_tag;
    QUdpSocket *m_socket = nullptr;
    bool m_inOperation = false;
    QHostAddress m_target;
    quint16 m_targetPort = 0;
    int m_currentLookup = -1;
    QList<Lookup> m_lookups;
    int m_lastError = 0;
    QString m_lastErrorText;
};
