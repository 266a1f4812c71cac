#pragma once

#include "sessionendpoint.h"

#include <QDialog>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <memory>

class FrmSession;
class JoinAttempt;

namespace Ui {
class FrmIP;
}

// "Join a Game": the player types an address or picks a saved host, and
// the window tries to join it, giving up after a hundred progress ticks;
// the session window opens once the host accepts.
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
    void windowClosed();

    void sessionAccepted();
    void sessionRefused(SessionEndpoint::Refusal reason);
    void sessionFailed(int number, const QString &description);

    std::unique_ptr<Ui::FrmIP> m_ui;
    QTimer m_progress;
    // The flat stored list: name, address and port of each saved host.
    QStringList m_storedHosts;
    JoinAttempt *m_join;
};

// Opens the single join window, modeless and owned by owner, or raises it.
FrmIP *ShowJoinWindow(QWidget *owner);
