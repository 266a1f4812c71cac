#pragma once

#include "sessionendpoint.h"

#include <QDialog>
#include <QPointer>
#include <QString>

#include <memory>

class JoinAttempt;

namespace Ui {
class FrmConnecting;
}

// "Join a Session": joins a server chosen in the browser (the session
// window opens once the host accepts) and offers a retry with a password when the host
// refuses the one given. It has no time limit of its own.
class FrmConnecting final : public QDialog
{
    Q_OBJECT

public:
    explicit FrmConnecting(QWidget *owner = nullptr);
    ~FrmConnecting() override;

    // Port comes from a lobby's server record and is checked here; a bad
    // one ends the attempt as a failed connection.
    void StartConnection(const QString &Host, const QString &Port, const QString &HostName,
                         const QString &Password = QString());

private:
    void retry();
    void cancel();
    void failed();
    void windowClosed();

    void sessionAccepted();
    void sessionRefused(SessionEndpoint::Refusal reason);
    void sessionFailed(int number, const QString &description);

    std::unique_ptr<Ui::FrmConnecting> m_ui;
    JoinAttempt *m_join;
    // The last attempt, for Retry.
    QString m_host;
    QString m_port;
    QString m_hostName;
    QString m_password;
};

// Opens the single connecting window, modeless and owned by owner, or
// raises it; the caller then calls StartConnection.
FrmConnecting *ShowConnecting(QWidget *owner);
