#include "joinattempt.h"

#include "frmsession.h"
#include "messagebox.h"

#include <QWidget>

namespace {

int &connectingCount()
{
    static int count = 0;
    return count;
}

} // namespace

JoinAttempt::JoinAttempt(QWidget *owner, const SessionContext &context)
    : QObject(owner)
    , m_owner(owner)
    , m_context(context)
{
}

JoinAttempt::~JoinAttempt()
{
    drop();
}

bool JoinAttempt::anyConnecting()
{
    return connectingCount() > 0;
}

bool JoinAttempt::start(const QString &host, quint16 port, const QString &password)
{
    drop();
    if (ownsProgramSession() && !mayStart())
        return false;

    auto *endpoint = new SessionEndpoint(m_context, this);
    connect(endpoint, &SessionEndpoint::accepted, this, &JoinAttempt::onAccepted);
    connect(endpoint, &SessionEndpoint::refused, this, [this](SessionEndpoint::Refusal reason) {
        drop();
        emit refused(reason);
    });
    connect(endpoint, &SessionEndpoint::connectionFailed, this,
            [this](int number, const QString &description) {
                drop();
                emit failed(number, description);
            });
    if (!endpoint->SendGreeting(host, port, password)) {
        msgbox::show(m_owner, endpoint->lastErrorText(), QString::number(endpoint->lastError()),
                     msgbox::Icon::Warning);
        delete endpoint;
        return false;
    }
    m_endpoint = endpoint;
    if (ownsProgramSession())
        ++connectingCount();
    return true;
}

bool JoinAttempt::mayStart() const
{
    const FrmSession *running = FrmSession::running();
    // Turning the host's own session into a client would close its
    // listening socket.
    if (running != nullptr && running->endpoint().session().isHost) {
        msgbox::show(m_owner, QStringLiteral("You're a Host and cannot act as a Client!"),
                     QStringLiteral("Error"), msgbox::Icon::Warning);
        return false;
    }
    if (running != nullptr || anyConnecting()) {
        msgbox::show(m_owner,
                     QStringLiteral("You cannot join another session while a current session is "
                                    "running.\n\nPlease close all open sessions and try again."),
                     QStringLiteral("Join Error"), msgbox::Icon::Warning);
        return false;
    }
    return true;
}

void JoinAttempt::cancel()
{
    drop();
}

void JoinAttempt::drop()
{
    if (m_endpoint.isNull())
        return;
    SessionEndpoint *endpoint = m_endpoint;
    m_endpoint = nullptr;
    if (ownsProgramSession())
        --connectingCount();
    endpoint->disconnect(this);
    endpoint->closeConnection();
    // Queued: this may run inside one of the endpoint's own signals.
    endpoint->deleteLater();
}

void JoinAttempt::onAccepted()
{
    SessionEndpoint *endpoint = m_endpoint;
    if (endpoint == nullptr)
        return;
    m_endpoint = nullptr;
    if (ownsProgramSession())
        --connectingCount();
    endpoint->disconnect(this);
    // The session window owns the session from here on; the endpoint sends
    // the first details once this signal returns.
    auto *window = new FrmSession(endpoint);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->enterJoinedSession();
    emit accepted(window);
}
