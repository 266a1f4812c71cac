#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QEventLoop;
class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

// Plain web GET for the web directory scripts. One request at a time per
// object; the body comes back as Windows-1252 text, and every failure (no
// answer, time-out, cancel, an oversized body) gives an empty text. HTTP
// status codes are not examined: an error page is still a body.
class WebFetch final : public QObject
{
    Q_OBJECT

public:
    // A web host may be hostile: a larger body is aborted as a failure.
    static constexpr qint64 MaxBodyBytes = 1024 * 1024;
    static constexpr int DefaultTimeoutSeconds = 10;

    explicit WebFetch(QObject *parent = nullptr);
    ~WebFetch() override;

    // The time-out covers the whole request, from sending to the last byte;
    // it applies to the next request. Values below 1 count as 1.
    void setRequestTimeout(int seconds);
    void setRequestTimeoutMs(int milliseconds);
    [[nodiscard]] int requestTimeoutMs() const { return m_timeoutMs; }

    // GETs url and waits for the body in a local event loop, so the windows
    // keep painting and handling events meanwhile. Returns empty at once
    // when a request is already under way or url is not an http(s) address.
    // ok, when given, tells a delivered body (possibly empty) from a failure.
    // The object may be destroyed while this waits; the call then returns
    // empty and the caller must not touch the object again (use a QPointer).
    QString fetch(const QUrl &url, bool *ok = nullptr);

    // Starts a GET and returns at once; finished() follows exactly once.
    // Returns false, and emits nothing, when busy or url is not usable.
    bool get(const QUrl &url);

    // Abandons the request under way: a waiting fetch() returns empty, a
    // get() finishes with ok false. Does nothing when idle.
    void cancel();

    [[nodiscard]] bool isBusy() const;

signals:
    // End of a request started by get(); body is empty when ok is false.
    void finished(const QString &body, bool ok);

private:
    bool start(const QUrl &url);
    void readAvailable();
    void checkAnnouncedLength();
    void replyFinished();
    void complete(bool ok);

    QNetworkAccessManager *m_manager = nullptr;
    QTimer *m_timer = nullptr;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_body;
    int m_timeoutMs = DefaultTimeoutSeconds * 1000;

    // Set while fetch() waits: where its result goes.
    QEventLoop *m_loop = nullptr;
    bool m_done = false;
    bool m_resultOk = false;
    QString m_result;
};
