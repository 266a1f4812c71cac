#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QtGlobal>

struct SessionPlayers;
struct VLSession;
class PlayerTable;

// The session protocol's texts: framing, the two records carried inside
// messages, the lists, and the message builders and parsers. Plain functions
// over texts (wire bytes go through wire::toText / wire::toBytes); nothing
// here touches a socket or a global.
//
// A message is its type word followed by its fields, each preceded by
// sep::MsgSep. One read is one message: what arrives together is handled as
// one, so parsers accept trailing extra fields and read only what they need.
// Everything parsed here may come from a hostile peer: a parser returns a
// failure status and no value rather than guess.
namespace session {

// Opens every player connection, in both directions.
inline constexpr QStringView Token = u"QT407213";
inline constexpr QStringView RolePlayer = u"PLAYER";
inline constexpr QStringView RoleFile = u"FILE";

inline constexpr int SlotCount = 8; // slots 0 (the host) to 7
inline constexpr int RecordFieldCount = 19;
inline constexpr int StyledFieldCount = 7;
inline constexpr int MapInfoItemCount = 8;

enum class Status {
    Ok,
    MissingFields, // fewer fields or items than the record needs
    WrongFieldCount, // a record with other than its exact number of fields
    BadNumber, // empty, not a decimal number, or out of its range
    BadValue, // a word, name, address or list item that is not allowed
    UnknownInfoType,
    TooManyNames,
    BadPort, // game port not 1 to 4
    TooLong, // longer than any real peer sends
};

// A parse result: value is meaningful only when status is Ok.
template <typename T> struct Decoded
{
    Status status = Status::Ok;
    T value {};
    [[nodiscard]] bool ok() const { return status == Status::Ok; }
};

// ---- Framing -------------------------------------------------------------

// The fields of one read, split at every MsgSep; field 0 is the type.
[[nodiscard]] QStringList splitMessage(const QString &read);
// type followed by each field, each preceded by MsgSep.
[[nodiscard]] QString buildMessage(QStringView type, const QStringList &fields = {});

// Message kinds in the order in which the dispatcher compares field 0.
enum class Kind {
    Empty, // an empty read: ignored
    OkToGet,
    RequestFile,
    Ack, // "2", or any other type that contains a "2" (acknowledgements run together)
    FileFin,
    Token,
    FirstDetails,
    PlayerDetails,
    Msg,
    MsgTo,
    StartGame,
    WrongPassword,
    ServerFull,
    Session,
    Unknown, // closes the connection
};

[[nodiscard]] Kind classify(QStringView type);

struct Message
{
    Kind kind = Kind::Empty;
    QStringList fields; // fields[0] is the type word
};

// One read as one message.
[[nodiscard]] Message decode(const QString &read);
[[nodiscard]] Message decode(QByteArrayView read);

// Who reads: the token message has other fields towards the host than
// towards a client.
enum class Direction { ToHost, ToClient };

// Whether a message at the end of the buffer whose last field could still go
// on (free text, a number that can grow) is taken now or left for the next
// read.
enum class Tail { Hold, Take };

struct Framed
{
    QList<Message> messages;
    qsizetype consumed = 0; // characters (bytes) taken from the front
};

// Splits a connection's receive buffer into every whole message at its
// front. The wire has no delimiter, but every type word is known and has a
// known number of fields, and no field holds MsgSep: a last field ends where
// the next type word stands before the next MsgSep. What is left is the
// start of a message still on its way. Data that does not start with a type
// word runs up to the next message start and comes out as one message of
// the kind classify() gives its first field.
[[nodiscard]] Framed frame(QStringView buffer, Direction direction, Tail tail = Tail::Hold);

// ---- Numbers ---------------------------------------------------------------

// A decimal integer within [min, max]: an optional "-" and ASCII digits only.
[[nodiscard]] bool parseNumber(QStringView text, qint64 min, qint64 max, qint64 &value);
// "-1" for true, "0" for false.
[[nodiscard]] QString boolText(bool value);

// ---- Player record ---------------------------------------------------------

// The 19 fields of a slot joined by DetailSep. Separators inside a text
// field are dropped, so that a field never splits on the way.
[[nodiscard]] QString encodePlayerRecord(const SessionPlayers &player);
// The record's fields into a fresh SessionPlayers (only the 19 record fields
// are set). Exactly 19 fields; numeric fields must be in range.
[[nodiscard]] Decoded<SessionPlayers> decodePlayerRecord(QStringView record);
// Copies the 19 record fields of record into slot, leaving IsActive,
// WinsockIndex and IPArray alone.
void storePlayerRecord(const SessionPlayers &record, SessionPlayers &slot);

// The record of slot PlayerIndex of the program's player table.
[[nodiscard]] QString PreparePlayerData(const PlayerTable &table, int PlayerIndex);
// Decodes Data into slot; the slot is untouched unless the record is sound.
Status FillPlayerData(SessionPlayers &slot, QStringView Data);

// ---- Styled text -----------------------------------------------------------

// One chat line: colour number, font, whole points, bold, italic, underline
// and the text with its colour codes.
struct StyledText
{
    qint64 colour = 0;
    QString font;
    int size = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    QString text;
};

// The seven fields joined by StyleSep. size is cut to whole points.
[[nodiscard]] QString PTFS(qint64 colour, const QString &font, double size, bool bold, bool italic,
                           bool underline, const QString &Text);
[[nodiscard]] QString encodeStyledText(const StyledText &styled);
// Exactly seven fields; colour 0 to 16777215, size 0 to 32767, flags integers.
[[nodiscard]] Decoded<StyledText> decodeStyledText(QStringView styled);

// ---- Lists -----------------------------------------------------------------

// Slot numbers joined by ListSep.
[[nodiscard]] QString buildTargetList(const QList<int> &slotList);
// At least one item, each a slot 0 to 7.
[[nodiscard]] Decoded<QList<int>> parseTargetList(QStringView list);

// Eight items joined by "%": the name of every active slot 0 to 7, empty for
// an inactive one. A "%" inside a name is dropped, as it would shift every
// slot after it on the receiver.
[[nodiscard]] QString buildPlayerNameList(const PlayerTable &table);
// Exactly eight items.
[[nodiscard]] Decoded<QStringList> parsePlayerNameList(QStringView list);

// The game settings carried by a state message.
struct MapInfo
{
    QString Game;
    QString ModTC;
    quint8 Mode = 0;
    quint8 Difficulty = 0;
    quint8 Episode = 0;
    quint8 Level = 0;
    QString CurrentMap;
    quint8 CheckSum = 0;
};

[[nodiscard]] MapInfo mapInfoOf(const VLSession &session);
void applyMapInfo(const MapInfo &info, VLSession &session);
// The eight items joined by "%"; a "%" inside a text item is dropped.
[[nodiscard]] QString buildMapInfo(const MapInfo &info);
// Exactly eight items, the numbers bytes; CurrentMap empty or a plain file
// name (no folder part, no control character).
[[nodiscard]] Decoded<MapInfo> parseMapInfo(QStringView list);

// True for a name that can only mean a file inside one folder.
[[nodiscard]] bool isPlainFileName(QStringView name);

// ---- Messages --------------------------------------------------------------

// Client -> host: token | "PLAYER" | password.
[[nodiscard]] QString authorisationRequest(const QString &password);

struct AuthorisationRequest
{
    QString role; // "PLAYER", "FILE" or anything a peer sends
    QString password; // empty when the field is missing
    bool hasPassword = false;
};
// Token message on the host. The role may be empty (field missing).
[[nodiscard]] AuthorisationRequest parseAuthorisationRequest(const QStringList &fields);

// Host -> client: token | "Game" or "Chat" | slot | MaxPlayers | in-game flag.
// Empty for an OverallMode other than 1 and 2: nothing is sent then.
[[nodiscard]] QString acceptanceMessage(quint8 overallMode, int slot, int maxPlayers, bool inGame);

struct Acceptance
{
    quint8 overallMode = 0; // 1 game, 2 chat
    quint8 slot = 0; // 1 to 7
    quint8 maxPlayers = 0; // 1 to 8
    bool inGame = false;
};
[[nodiscard]] Decoded<Acceptance> parseAcceptance(const QStringList &fields);

inline constexpr QStringView WrongPasswordWord = u"WRONGPASSWORD";
inline constexpr QStringView ServerFullWord = u"SERVERFULL";

// "FirstDetails" | record and "PlayerDetails" | record.
[[nodiscard]] QString firstDetailsMessage(const QString &record);
[[nodiscard]] QString playerDetailsMessage(const QString &record);
// The record of a details message, decoded.
[[nodiscard]] Decoded<SessionPlayers> parseDetails(const QStringList &fields);

// "Msg" | slot | styled text.
[[nodiscard]] QString chatMessage(int slot, const QString &styledText);
// "MsgTo" | target list | slot | styled text.
[[nodiscard]] QString privateChatMessage(const QList<int> &targets, int slot,
                                         const QString &styledText);

struct Chat
{
    QList<int> targets; // "MsgTo" only
    int slot = 0; // the first sender's slot, 0 to 7
    QString styledText; // seven sound fields, passed on as received
};
[[nodiscard]] Decoded<Chat> parseChat(const QStringList &fields);
[[nodiscard]] Decoded<Chat> parsePrivateChat(const QStringList &fields);

// "StartGame" | peer address list | launch arguments.
[[nodiscard]] QString startGameMessage(const QString &peerList, const QString &arguments);

struct StartGame
{
    QString peerList; // address:port items joined by "%"
    QString arguments; // the host's game-option switches
};
// The peer list must hold only address:port items (a dotted or host name
// address of letters, digits, "." and "-", a port 1 to 65535); the arguments
// must hold no control character and none of the command interpreter's
// special characters, since both end up in a batch file.
[[nodiscard]] Decoded<StartGame> parseStartGame(const QStringList &fields);

// ---- State message ----------------------------------------------------------

struct SessionState
{
    int infoType = 0; // 0 everything, 1 players, 2 settings
    QStringList names; // info types 0 and 1: eight names, empty for a free slot
    MapInfo map; // info types 0 and 2
    quint8 numPlayers = 0;
    quint8 maxPlayers = 0;
    quint8 currentPort = 0; // game port 1 to 4
};

// "Session" | infoType | lists and numbers of that info type; empty for an
// unknown info type.
[[nodiscard]] QString sessionStateMessage(int infoType, const PlayerTable &table,
                                          const VLSession &session);
// The game port is taken from the first character of its field only, so
// that a message read together with the next one still gives the port.
[[nodiscard]] Decoded<SessionState> parseSessionState(const QStringList &fields);

// ---- Transfer words ---------------------------------------------------------

inline constexpr QStringView RequestFileWord = u"REQUESTFILE";
inline constexpr QStringView OkToGetWord = u"OKTOGET";
inline constexpr QStringView FileFinWord = u"FILEFIN";
inline constexpr QStringView AckWord = u"2";
inline constexpr QStringView FileSizeWord = u"FILESIZE";
inline constexpr QStringView FileNotFoundWord = u"FILENOTFOUND";

// "REQUESTFILE" | name, "OKTOGET" | name, "FILEFIN" | name.
[[nodiscard]] QString requestFileMessage(const QString &fileName);
[[nodiscard]] QString okToGetMessage(const QString &fileName);
[[nodiscard]] QString fileFinMessage(const QString &fileName);
// The file name of a transfer message; a plain file name only.
[[nodiscard]] Decoded<QString> parseFileName(const QStringList &fields);
// "FILESIZE" ListSep length (no MsgSep: the size is the type field's second item).
[[nodiscard]] QString fileSizeReply(qint64 length);

struct FileSizeReply
{
    bool found = false;
    qint64 length = 0; // 0 to 2147483647
};
// The host's answer to "REQUESTFILE": "FILESIZE" with a length, or
// "FILENOTFOUND"; anything else is BadValue.
[[nodiscard]] Decoded<FileSizeReply> parseFileSizeReply(QStringView read);

} // namespace session
