#pragma once

#include "sessionendpoint.h"

#include <QObject>
#include <QPointer>
#include <QString>

class FrmSession;
class QWidget;

// One attempt to join a session, shared by the join and connecting windows.
// It owns the connecting endpoint during the handshake and, when the host
// accepts, hands it to a new session window, which then owns the session;
// no window exists for an attempt that does not get in.
class JoinAttempt final : public QObject
{
    Q_OBJECT

public:
    // owner: the window that tells the player why an attempt cannot start.
    // context: where a test's session and answers come from.
    explicit JoinAttempt(QWidget *owner, const SessionContext &context = {});
    ~JoinAttempt() override;

    // Starts connecting. False, after telling the player, while this peer
    // hosts, while a session is running or under way, or when the
    // connection cannot be started.
    bool start(const QString &host, quint16 port, const QString &password);
    // Ends the attempt under way without any event.
    void cancel();
    [[nodiscard]] bool connecting() const { return !m_endpoint.isNull(); }

    // Whether any attempt is connecting: the program holds one session, and
    // an attempt under way counts.
    [[nodiscard]] static bool anyConnecting();

signals:
    // The host took us: window is the new session window, shown.
    void accepted(FrmSession *window);
    void refused(SessionEndpoint::Refusal reason);
    // The connection failed or was never made; the endpoint is gone.
    void failed(int number, const QString &description);

private:
    // The program's own join, not a second peer of a test: the one-session
    // rules apply to it.
    [[nodiscard]] bool ownsProgramSession() const { return m_context.session == nullptr; }
    [[nodiscard]] bool mayStart() const;
    void onAccepted();
    void drop();

    QPointer<QWidget> m_owner;
    SessionContext m_context;
    QPointer<SessionEndpoint> m_endpoint;
};
