#pragma once

#include "sessionendpoint.h"

#include <QDialog>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <memory>

class FrmSession;

namespace Ui {
class FrmIP;
}

// "Join a Game": the player types an address or picks a saved host, and
// the window connects to it through a hidden session window, giving up
// after a hundred progress ticks.
class FrmIP final : public QDialog
{
    Q_OBJECT

public:
    static constexpr int ProgressInterval = 100;

    explicit FrmIP(QWidget *owner = nullptr);
    ~FrmIP() override;

    // Refills the saved-hosts list from the settings and selects its first
    // entry.
    void GetHostList();

    // Tests shorten the progress tick.
    void setProgressInterval(int milliseconds);

private:
    void hostChosen(int index);
    void manage();
    void connectToHost();
    void cancel();
    void progressTick();
    void lock();
    void unlock();
    void dropSession();
    void windowClosed();

    void sessionAccepted();
    void sessionRefused(SessionEndpoint::Refusal reason);
    void sessionFailed(int number, const QString &description);

    std::unique_ptr<Ui::FrmIP> m_ui;
    QTimer m_progress;
    // The flat stored list: name, address and port of each saved host.
    QStringList m_storedHosts;
    // The hidden session window of the current or last attempt.
    QPointer<FrmSession> m_session;
};

// Opens the single join window, modeless and owned by owner, or raises it.
FrmIP *ShowJoinWindow(QWidget *owner);

// The session window for a join attempt: own when it is still open, else a
// new one. Refuses (message box, nullptr) while this peer hosts or while
// another session is running.
FrmSession *OpenJoinSession(FrmSession *own, QWidget *parent);

// Closes a session window of a join attempt that never got in, without
// asking.
void CloseJoinSession(FrmSession *session);
