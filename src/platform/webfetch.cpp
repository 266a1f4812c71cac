#include "webfetch.h"

#include "wiretext.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <climits>
#include <utility>

namespace {

constexpr int MaxRedirects = 5;

bool isUsable(const QUrl &url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    // Anything else (file:, data:, qrc:) would read local things.
    const QString scheme = url.scheme().toLower();
    return scheme == u"http" || scheme == u"https";
}

// Only a reply that got no HTTP answer, or lost it half-way, is a failure;
// the status code itself is left to the callers' reading of the body.
bool isDelivered(const QNetworkReply &reply)
{
    const QNetworkReply::NetworkError error = reply.error();
    if (error == QNetworkReply::NoError)
        return true;
    if (!reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid())
        return false;
    const int code = static_cast<int>(error);
    return (code >= QNetworkReply::ContentAccessDenied
            && code <= QNetworkReply::UnknownContentError)
        || error == QNetworkReply::ProtocolInvalidOperationError
        || (code >= QNetworkReply::InternalServerError
            && code <= QNetworkReply::UnknownServerError);
}

} // namespace

WebFetch::WebFetch(QObject *parent)
    : QObject(parent)
    , m_manager(new QNetworkAccessManager(this))
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, [this] { complete(false); });
}

WebFetch::~WebFetch()
{
    if (m_reply) {
        // No slot of a half-destroyed object may run from the abort.
        m_reply->disconnect(this);
        m_reply->abort();
    }
    if (m_loop)
        m_loop->quit();
}

void WebFetch::setRequestTimeout(int seconds)
{
    seconds = qBound(1, seconds, INT_MAX / 1000);
    setRequestTimeoutMs(seconds * 1000);
}

void WebFetch::setRequestTimeoutMs(int milliseconds)
{
    m_timeoutMs = qMax(milliseconds, 1);
}

bool WebFetch::isBusy() const
{
    return m_reply != nullptr || m_loop != nullptr;
}

QString WebFetch::fetch(const QUrl &url, bool *ok)
{
    if (ok)
        *ok = false;
    if (isBusy())
        return {};

    QEventLoop loop;
    m_loop = &loop;
    m_done = false;
    m_resultOk = false;
    m_result.clear();
    if (!start(url)) {
        m_loop = nullptr;
        return {};
    }

    const QPointer<WebFetch> self(this);
    if (!m_done)
        loop.exec();
    if (!self)
        return {};

    m_loop = nullptr;
    if (ok)
        *ok = m_resultOk;
    return std::exchange(m_result, QString());
}

bool WebFetch::get(const QUrl &url)
{
    if (isBusy())
        return false;
    return start(url);
}

void WebFetch::cancel()
{
    if (m_reply)
        complete(false);
}

bool WebFetch::start(const QUrl &url)
{
    if (!isUsable(url))
        return false;

    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(MaxRedirects);

    m_body.clear();
    m_reply = m_manager->get(request);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &WebFetch::checkAnnouncedLength);
    connect(m_reply, &QNetworkReply::readyRead, this, &WebFetch::readAvailable);
    connect(m_reply, &QNetworkReply::finished, this, &WebFetch::replyFinished);
    m_timer->start(m_timeoutMs);
    return true;
}

void WebFetch::checkAnnouncedLength()
{
    if (!m_reply)
        return;
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > MaxBodyBytes)
        complete(false);
}

void WebFetch::readAvailable()
{
    if (!m_reply)
        return;
    m_body.append(m_reply->readAll());
    if (m_body.size() > MaxBodyBytes)
        complete(false);
}

void WebFetch::replyFinished()
{
    if (!m_reply)
        return;
    readAvailable();
    if (m_reply)
        complete(isDelivered(*m_reply));
}

void WebFetch::complete(bool ok)
{
    m_timer->stop();
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    if (reply) {
        reply->disconnect(this);
        if (reply->isRunning())
            reply->abort();
        reply->deleteLater();
    }

    QString body = ok ? wire::toText(m_body) : QString();
    // Do not keep up to a megabyte around between requests.
    m_body = QByteArray();

    if (m_loop) {
        m_done = true;
        m_resultOk = ok;
        m_result = std::move(body);
        m_loop->quit();
    } else {
        emit finished(body, ok);
    }
}
