#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

namespace testsupport {

// A small HTTP/1.1 server on 127.0.0.1 for tests of the web requests. Each
// path (without the query) gets one behaviour; an unknown path answers
// 404 "Not Found". Every request target (path and query, as sent) is
// recorded. Each answer closes its connection.
class LocalHttpServer final : public QObject
{
    Q_OBJECT

public:
    // Listens at once on a free port of 127.0.0.1.
    explicit LocalHttpServer(QObject *parent = nullptr);

    [[nodiscard]] bool isListening() const { return m_server.isListening(); }
    [[nodiscard]] quint16 port() const { return m_server.serverPort(); }
    // "http://127.0.0.1:<port>"
    [[nodiscard]] QString baseUrl() const;
    // baseUrl() followed by pathAndQuery ("/x.asp?a=b").
    [[nodiscard]] QUrl url(const QString &pathAndQuery) const;

    // A fixed body with the given status and a Content-Length.
    void serve(const QString &path, const QByteArray &body, int status = 200);
    // size bytes starting with prefix and padded with 'x'; with announceLength
    // false there is no Content-Length and the body ends when the
    // connection closes.
    void serveHuge(const QString &path, qint64 size, bool announceLength = true,
                   const QByteArray &prefix = {});
    // Reads the request and never answers.
    void serveStall(const QString &path);
    // Sends the headers, then one byte of a long body every intervalMs.
    void serveTrickle(const QString &path, int intervalMs = 20);

    [[nodiscard]] QStringList requests() const { return m_requests; }
    void clearRequests() { m_requests.clear(); }

signals:
    void requestReceived(const QString &target);

private:
    enum class Kind { Body, Huge, Stall, Trickle };
    struct Route
    {
        Kind kind = Kind::Body;
        QByteArray body;
        int status = 200;
        qint64 size = 0;
        bool announceLength = true;
        int intervalMs = 20;
    };

    void accept();
    void answer(QTcpSocket *socket, const QString &target);

    QTcpServer m_server;
    QHash<QString, Route> m_routes;
    QStringList m_requests;
};

} // namespace testsupport
