#pragma once

#include "sessioncodec.h"
#include "sessionconnection.h"
#include "streamsocket.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>

#include <array>
#include <bitset>
#include <functional>

#include "sessionplayers.h"
#include "vlsession.h"

class QTimer;

// What an endpoint asks of the machine, and where it keeps its session. By
// default it owns its session and player table and asks the stored settings;
// a test gives it tables to look into and answers of its own.
struct SessionContext
{
    VLSession *session = nullptr; // null: the endpoint's own
    PlayerTable *players = nullptr; // null: the endpoint's own
    // Puts this peer's own details into a slot. Null: the stored ones.
    std::function<void(SessionPlayers &slot)> GetMyDetails;
    // Whether game port 1 to 4 is set up here. Null: a stored executable.
    std::function<bool(int port)> isPortSetUp;
    // Whether the usermap (empty: none) is there for game port 1 to 4.
    // Null: the port's usermap folder.
    std::function<bool(int port, const QString &map)> hasMap;
};

// One session as seen by this peer, host or client. It owns the session, its
// player table and its connections (`sNet` of old: index 0 listens on the
// host and is the link to the host on a client; each with its own one-shot
// timer), runs the message dispatcher, keeps the session and the players up
// to date, and tells the session window what to show. No widgets: every line
// for the chat view arrives through systemLine() or chatLine(), and failures
// that the window reports to the user arrive as signals.
//
// Host: beginHostSession(), then startHosting(). Each accepted connection
// must send the token request within the authorisation interval (5000 ms) and
// its details before the same interval ends; a slot is held for a connection
// from the moment it is offered until its details arrive or it goes away, so
// two clients authorising at once never share a slot. One remote address
// holds at most MaxUnadmittedPerAddress connections that are nobody's yet.
//
// Client: SendGreeting() connects socket 0; the request goes out on connect,
// the acceptance fills the session (mode, slot, limit, in game), the first
// details go out, and the host's state messages follow.
//
// Every field from a peer is checked: a malformed message is ignored and
// changes nothing. Data that cannot be read closes a connection that is
// nobody's yet and is dropped otherwise; more than MaxReadBytes without a
// whole message drops its connection.
class SessionEndpoint final : public QObject
{
    Q_OBJECT

public:
    enum class Refusal { WrongPassword, ServerFull };

    static constexpr int MaxConnections = 255; // socket indices 1 to 255
    static constexpr int MaxReadBytes = SessionConnection::MaxBuffered;
    // Connections that are nobody's yet (authorising, offered, refused) one
    // remote address may hold.
    static constexpr int MaxUnadmittedPerAddress = 2;
    static constexpr int AuthorisationInterval = 5000;

    explicit SessionEndpoint(QObject *parent = nullptr);
    explicit SessionEndpoint(const SessionContext &context, QObject *parent = nullptr);
    ~SessionEndpoint() override;

    [[nodiscard]] const VLSession &session() const { return *m_session; }
    [[nodiscard]] const PlayerTable &players() const { return *m_players; }

    // Takes the settings a new session starts with (the hosting options',
    // or a client's defaults); before hosting or joining only.
    void setUp(const VLSession &settings);
    // Host: the settings the hosting options change while the session runs
    // (name, password, limit, game port, advertising).
    void updateSettings(const VLSession &settings);
    // Default game settings of the session's mode (a game session only).
    void setDefaultGameSettings();
    // Puts the player's own stored details into this peer's slot again
    // (after the options were saved).
    void refreshMyDetails();

    // ---- Host ----

    // Marks this peer as host (isHost, MyIndex 0), enlarges the table to
    // slots 0 to 7, resets slots 1 to 7 (ResetSessionPlayers) and makes slot 0
    // active on socket 0. Run before startHosting().
    void beginHostSession();
    // Listens on the session's VLPort (0: a free port, which is written back
    // to VLPort). False when listening fails; lastError() then holds the
    // number (sockets::AddressInUse, 10048, for a port in use) and its text.
    bool startHosting(const QHostAddress &address = QHostAddress(QHostAddress::AnyIPv4));

    // ---- Client ----

    // Connects socket 0 to the host; the authorisation request goes out once
    // the connection is up. False on a host, while socket 0 listens, or when
    // the connection cannot be started (lastError() tells why). A socket 0
    // already connected is left as it is (true).
    bool SendGreeting(const QString &host, quint16 port, const QString &password = QString());
    // Client: closes socket 0 without any event (a cancelled or refused join).
    void closeConnection();

    // ---- Both ----

    // Chat: a client sends "Msg" with its slot to the host; the host sends it
    // to every player, but only while NumPlayers is above 1. Returns whether
    // anything went out. The window shows its own line itself.
    bool sendChat(const QString &styledText);
    // Private chat to the given slots. A client sends one "MsgTo" to the
    // host; the host sends "Msg" to each listed player and shows a line for
    // slot 0 through chatLine().
    void sendChatTo(const QList<int> &slotList, const QString &styledText);
    // Client: "PlayerDetails" with its own record (after the options were saved).
    void sendDetails();
    // Host: a "Session" state message of infoType 0, 1 or 2 on connection
    // index connection (0: to every player). lobbyUpdateDue() comes first
    // when the session is advertised.
    void SendSessionState(int connection, int infoType);
    // Host: "StartGame" with the IPArray of slot Player and Arguments, on
    // that player's connection; nothing for a slot that is not active.
    void SendStartPacket(int Player, const QString &Arguments);
    // Host: drops the player served by that socket, as if it had closed.
    // Socket 0 and indices outside the array are ignored.
    void KickPlayer(int socketIndex);

    // 1 for the host plus every active slot from 1 to 7.
    [[nodiscard]] int CountPlayers() const;
    // A socket free for a new connection (1 to 255) with its tag cleared,
    // created when none is free; -1 when all 255 are busy.
    [[nodiscard]] int FindFree_sNet();
    [[nodiscard]] bool isHost() const;
    // Host: the port socket 0 listens on.
    [[nodiscard]] quint16 listeningPort() const;
    // The socket at index; null when there is none.
    [[nodiscard]] StreamSocket *socket(int index) const;
    [[nodiscard]] int socketCount() const { return int(m_links.size()); }
    // Number and text of socket 0's latest failure.
    [[nodiscard]] int lastError() const;
    [[nodiscard]] QString lastErrorText() const;
    // Client: whether a state message has been handled since the window
    // opened (the first one takes the players over silently).
    [[nodiscard]] bool firstStateHandled() const { return m_firstStateHandled; }

    // true saves the snapshot of slots 0 to 7 (active, name); false compares
    // with it and announces, for slots 1 to 7, every player who joined, left
    // or changed names.
    void CheckPlayerChanges(bool SaveCurrentList);

    // Tests shorten the authorisation time limit; running timers keep theirs.
    void setAuthorisationInterval(int milliseconds);
    // Tests lower what a connection buffers without a whole message.
    void setMaxReadBytes(int bytes);
    // Tests shorten the wait for the rest of a message cut on the way.
    void setSettleInterval(int milliseconds);

signals:
    // A system line for the chat view: text with colour codes (line breaks as
    // CR LF), a style 0-8 and whether a line break follows. The endpoint
    // writes these itself: the announcements (joined, left, changed names),
    // "Player at Index ... dropped ...", "Winsock Error: ...", the oversized
    // read, "Host has ended the session.", the in-game notice on acceptance,
    // "Game details updated by ..." (client, info type 2) and "You do not
    // have the map [...] in play.".
    void systemLine(const QString &text, int style, bool addReturn);
    // A chat line from a slot (0 to 7), with its styled text (7 fields).
    void chatLine(int slot, const QString &styledText);
    // The player table changed: rebuild the player view.
    void playersChanged();
    // A state message was taken over (client: refresh the header for the
    // port and the status bar) or sent (host).
    void stateApplied(int infoType);
    // Client: socket 0 is connected; the request is on its way.
    void connectedToHost();
    // Client: the host accepted us; the session holds mode, slot, limit and
    // the in-game flag, and the table has slots 0 to 7. Start the session in
    // the window now: the first details go out right after this signal.
    void accepted();
    // Client: the host refused us; socket 0 is closed.
    void refused(SessionEndpoint::Refusal reason);
    // Client: a state message named a game port (1 to 4) that is not set up
    // here; socket 0 is closed and nothing of the message was taken over.
    void portNotConfigured(int port);
    // Client: the connection to the host ended (closed, kicked, or the host
    // broke the protocol); the "Host has ended the session." line came first.
    void hostEnded();
    // Client: socket 0 failed (connect refused, reset...); the "Winsock
    // Error" line came first and socket 0 is closed.
    void connectionFailed(int number, const QString &description);
    // Host: socket 0 failed while listening; the session must end.
    void listenerFailed(int number, const QString &description);
    // Client: "StartGame" arrived; the session's SessionArgs and the own
    // slot's IPArray are set.
    void startGameRequested();
    // Client: the session's usermap changed to one that is missing here.
    void mapMissing(const QString &map);

    // Host, transfer connections (tag "FILE"). The connection's timer is
    // stopped on "REQUESTFILE"; while nothing is connected to fileRequested
    // the connection is closed at once instead, so that none is left open
    // without anyone to serve it.
    void fileRequested(int socketIndex, const QString &fileName);
    void fileAccepted(int socketIndex, const QString &fileName); // "OKTOGET"
    void chunkRequested(int socketIndex); // "2"
    void fileFinished(int socketIndex, const QString &fileName); // "FILEFIN"

    // Host: a connection's time limit ran out (the lobby keep-alive check).
    void keepAliveCheckDue();
    // Host: a state message is about to go out while advertising; the lobby
    // should hear the session's details first.
    void lobbyUpdateDue();

private:
    // Where a host connection stands; the tag and the timer mirror it.
    enum class ClientPhase { Idle, Connecting, Authorising, InSession, Ended };

    int addConnection();
    void onConnectionRequest(int index, int requestId);
    void onConnected(int index);
    void onMessage(SessionConnection *link, const session::Message &message);
    void onOverflow(SessionConnection *link);
    void onClosed(int index);
    void onError(int index, int number, const QString &description);
    void onTimer(int index);

    // Host side.
    void dispatchHost(int index, const session::Message &message);
    void authorise(int index, const QStringList &fields);
    void refuse(int index, QStringView word);
    void admit(int index, const QStringList &fields);
    void updateDetails(int index, const QStringList &fields);
    void relayChat(int index, const QStringList &fields);
    void relayPrivateChat(int index, const QStringList &fields);
    void requestFile(int index, const QStringList &fields);
    void handleClosed(int index);
    // Host: to every admitted player but exceptSlot (0: nobody left out;
    // the host's own slot 0 is never sent to).
    void broadcast(const QString &data, int exceptSlot = 0);
    // On connection index (a client's 0 is its link to the host).
    void sendOn(int index, const QString &data);
    // Host: a private line from fromSlot to each listed slot once; slot 0
    // (the host) sees it here, the sender is left out.
    void deliverPrivate(const QList<int> &targetSlots, int fromSlot, const QString &styledText);
    // The slot an admitted player's connection serves, or -1.
    [[nodiscard]] int playerSlot(int index) const;
    // The connection of an admitted, active slot, or null.
    [[nodiscard]] SessionConnection *playerLink(int slot) const;
    [[nodiscard]] std::bitset<8> heldSlots() const;
    [[nodiscard]] int unadmittedFrom(const QString &address) const;

    // Client side.
    void dispatchClient(const session::Message &message);
    void acceptance(const QStringList &fields);
    void applyState(const QStringList &fields);
    void startGame(const QStringList &fields);
    void endByHost();

    // sNet: index 0 listens on a host and is the connection to the host on
    // a client; a host's players and transfers use 1 to 255.
    QList<SessionConnection *> m_links;

    VLSession m_ownSession;
    PlayerTable m_ownPlayers;
    VLSession *m_session;
    PlayerTable *m_players;
    std::function<void(SessionPlayers &)> m_getMyDetails;
    std::function<bool(int)> m_isPortSetUp;
    std::function<bool(int, const QString &)> m_hasMap;

    ClientPhase m_phase = ClientPhase::Idle;
    int m_interval = AuthorisationInterval;
    int m_maxReadBytes = MaxReadBytes;
    int m_settleInterval = SessionConnection::SettleInterval;
    bool m_firstStateHandled = false;
    bool m_shuttingDown = false;

    struct SnapshotEntry
    {
        bool active = false;
        QString name;
    };
    std::array<SnapshotEntry, 8> m_snapshot;
};
