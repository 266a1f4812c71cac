#pragma once

#include "sessionendpoint.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QCloseEvent;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QTextEdit;

namespace Ui {
class FrmSession;
}

// The session window, host or client: chat view, chat box, player view,
// header and status bar over one session endpoint, which owns the sockets.
// A single instance named "FrmSession"; it ends when it closes.
class FrmSession final : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int MaxChatLength = 255;

    explicit FrmSession(QWidget *parent = nullptr);
    // A window over a session and player table of its own (tests run a host
    // and its clients in one process).
    explicit FrmSession(const SessionContext &context, QWidget *parent = nullptr);
    // A window that takes over endpoint (a join the host has just accepted).
    explicit FrmSession(SessionEndpoint *endpoint, QWidget *parent = nullptr);
    ~FrmSession() override;

    // Opens the session in the role the endpoint's session gives: 1 game,
    // 2 chat.
    void StartUpSession(int sessionMode);
    // Client: starts the session the host has just accepted us into and
    // shows the window.
    void enterJoinedSession();

    // Close without asking.
    bool boolForceClose = false;

    // A system line of style 0 to 3 in the chat view.
    void AddCustomText2(const QString &message, int messageType, bool addReturn);

    void UpdateHeader(const QString &NewHeader, bool BlankOut);
    void UpdateHeaderForPort();
    // Not in chat sessions: their status bar keeps what it shows.
    void UpdateStatsBar();
    void UpdatePlayerList();
    // Applies the stored chat font to the chat box (and its colour to "^0").
    void UpdateFonts();

    // The styled text of a chat line typed into tb.
    [[nodiscard]] static QString PTFS(const QPlainTextEdit *tb, const QString &Text);

    // Sends the chat box to the given slots (Send to...): shown here, the
    // box emptied. Nothing happens while the box is empty.
    void SendTo(const QList<int> &targets);

    [[nodiscard]] SessionEndpoint &endpoint() { return *m_endpoint; }
    [[nodiscard]] const SessionEndpoint &endpoint() const { return *m_endpoint; }

    // The window that holds the program's one session (a join still
    // connecting included), or null. Hosting and joining are refused while
    // there is one.
    [[nodiscard]] static FrmSession *running();

signals:
    // The listening port is taken: the window closes and the hosting
    // options open again.
    void hostingFailed();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setUpLook();
    void setUpStatusBar();
    void setUpActions();
    void bindEndpoint();

    void startHosting(int sessionMode);
    void startClient(int sessionMode);
    void writeOpeningLines();

    void send();
    void showSendTo();
    void showPlayerDetails();
    void showServerOptions();
    void showMainOptions();
    void showFileTransfers();
    void quitVelkor();
    void refuseClient();
    void showPlayerMenu(const QPoint &globalPos);
    void kickSelectedPlayer();
    void limitChatBox();

    void onListenerFailed(int number, const QString &description);
    void onPortNotConfigured(int port);
    void onHostEnded();
    void onStateApplied(int infoType);
    void onMyDetailsSaved();
    void forceClose();
    void endSession();

    std::unique_ptr<Ui::FrmSession> m_ui;
    SessionEndpoint *m_endpoint = nullptr;
    QMenu *m_playerMenu = nullptr;
    QPointer<QWidget> m_playerList;
    QPointer<QWidget> m_playerDetails;
    QLabel *m_panels[4] = {};
    QString m_headerBase;
    bool m_ended = false;
    bool m_limiting = false;
};
