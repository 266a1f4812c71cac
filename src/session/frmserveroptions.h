#pragma once

#include <QDialog>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace Ui {
class FrmServerOptions;
}

// One lobby a session can be advertised on.
struct VLSession;

struct LobbyChoice
{
    qint16 UID = -1;
    QString Name;
};

// Where the hosting options find the lobbies and how they switch the
// session's lobby reporting. The browser's lobby table and the session
// window's reporting plug in here; while nothing is plugged in no lobby is
// known, so a session is never advertised.
struct LobbySource
{
    // The active lobbies, in the lobby table's order.
    std::function<QList<LobbyChoice>()> lobbies;
    // Empties the lobby cache and fetches the lobby list anew.
    std::function<void()> refresh;
    // Start or stop reporting the session to VLSession::LobbyUID; sLog asks
    // for the line in the chat view.
    std::function<void(bool sLog)> startReporting;
    std::function<void(bool sLog)> stopReporting;
};

void setLobbySource(LobbySource source);

// The active lobbies of the lobby source.
[[nodiscard]] QList<LobbyChoice> GetLobbyListArray();

// "Velkor - Server and Hosting Options": sets a session up before it is
// hosted (Create Session) and changes it while it runs (Update Session).
class FrmServerOptions final : public QDialog
{
    Q_OBJECT

public:
    explicit FrmServerOptions(QWidget *owner = nullptr);
    ~FrmServerOptions() override;

    // The defaults for a new session; also the Reset button.
    void NewValues();
    // The running session's values.
    void GetValues();
    // Refills the lobby list from the lobby source.
    void GetLobbies();
    // Reloads the saved session names, keeping the name being typed.
    void UpdateHosts();
    // Copies the entries into the session and the settings and switches
    // the lobby reporting as the entries ask.
    // Writes the choices into session (and the stored host name).
    void SetDetails(bool FirstTime, VLSession &session);

private:
    void sessionTypeChanged(int index);
    void advertiseChanged();
    void fillPorts();
    void refreshLobbies();
    void createSession();
    void updateSession();
    [[nodiscard]] QString hostName() const;

    std::unique_ptr<Ui::FrmServerOptions> m_ui;
    QList<LobbyChoice> m_lobbies;
    // The lobby of the running session when the window opened; none when
    // the window opened to create a session.
    std::optional<qint16> m_shownLobby;
};

// Opens the single hosting options window, modeless and owned by owner, or
// raises it.
FrmServerOptions *ShowServerOptions(QWidget *owner);
