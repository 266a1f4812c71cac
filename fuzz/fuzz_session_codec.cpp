// libFuzzer harness for the session codec. Every parser takes arbitrary
// bytes. Whatever a parser accepts must come back unchanged through its own
// builder, the wire bytes and the parser again; and whatever a builder makes
// of hostile texts (separators inside names, odd numbers) must parse to the
// same values, less the separators the builder drops and what a receiver
// does not keep of a peer's text (control characters, overlong names).

#include "fuzzcheck.h"
#include "separators.h"
#include "sessioncodec.h"
#include "sessionplayers.h"
#include "vlsession.h"
#include "wiretext.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

using namespace session;
using fuzzcheck::without;

namespace {

const QString Percent = QStringLiteral("%");

// Numbers for the builders, taken from the end of the input so that they
// change independently of the text at its start.
class Numbers
{
public:
    explicit Numbers(QByteArrayView bytes)
        : m_bytes(bytes)
    {
    }

    // A value in [min, max] from the next up to eight bytes.
    qint64 in(qint64 min, qint64 max)
    {
        quint64 raw = 0;
        for (int i = 0; i < 8 && !m_bytes.isEmpty(); ++i) {
            raw = (raw << 8) | quint8(m_bytes[m_at % m_bytes.size()]);
            ++m_at;
            if ((quint64(max - min) >> (8 * (i + 1))) == 0)
                break;
        }
        const quint64 span = quint64(max) - quint64(min) + 1;
        return span == 0 ? qint64(raw) : qint64(quint64(min) + raw % span);
    }

    template <typename T> T any()
    {
        return T(in(std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
    }

private:
    QByteArrayView m_bytes;
    qsizetype m_at = 0;
};

// The message a peer would receive: text -> wire bytes -> one read.
Message received(const QString &message)
{
    FUZZ_REQUIRE(wire::isRepresentable(message));
    return decode(QByteArrayView(wire::toBytes(message)));
}

// What a receiver keeps of a peer's text: no control character in a one-line
// field (a name also within the name box's length), only tab and line breaks
// in comments, and spaces for them in a chat line.
bool isControl(QChar c)
{
    return c.unicode() < 32 || c.unicode() == 127;
}

QString oneLine(QString text, qsizetype maxLength = -1)
{
    text.removeIf(isControl);
    if (maxLength >= 0)
        text.truncate(maxLength);
    return text;
}

QString multiLine(QString text)
{
    text.removeIf([](QChar c) { return isControl(c) && c != u'\r' && c != u'\n' && c != u'\t'; });
    return text;
}

QString chatText(QString text)
{
    for (QChar &c : text) {
        if (isControl(c))
            c = u' ';
    }
    return text;
}

constexpr qsizetype NameLength = 32;
constexpr qsizetype ChatLength = 255;

// ---- Player record ----------------------------------------------------------

// The record as the encoder passes it on: separators gone from the texts.
SessionPlayers sentRecord(SessionPlayers player)
{
    QString *texts[] = {
        &player.PlayerName, &player.FullName,   &player.Location, &player.Email,
        &player.WebsiteURL, &player.VLVersion,  &player.Comments, &player.AvatarData,
        &player.IPAddress,  &player.PortNumber, &player.LocalIP,  &player.LocalPortNumber,
    };
    for (QString *text : texts)
        *text = without(*text, { sep::DetailSep, sep::MsgSep });
    for (QString *text : texts) {
        if (text != &player.Comments)
            *text = oneLine(*text);
    }
    player.Comments = multiLine(player.Comments);
    player.PlayerName.truncate(NameLength);
    return player;
}

bool sameRecord(const SessionPlayers &a, const SessionPlayers &b)
{
    return a.PlayerName == b.PlayerName && a.FullName == b.FullName && a.Location == b.Location
        && a.Age == b.Age && a.Rating == b.Rating && a.Bandwidth == b.Bandwidth
        && a.Email == b.Email && a.WebsiteURL == b.WebsiteURL && a.VLVersion == b.VLVersion
        && a.PrivilegeLevel == b.PrivilegeLevel && a.Comments == b.Comments
        && a.PassedSecurity == b.PassedSecurity && a.AvatarNum == b.AvatarNum
        && a.AvatarData == b.AvatarData && a.IPAddress == b.IPAddress
        && a.PortNumber == b.PortNumber && a.LocalIP == b.LocalIP
        && a.LocalPortNumber == b.LocalPortNumber && a.DukeNukemPort == b.DukeNukemPort;
}

// The record must arrive whole through both details messages and through the
// player table's own pair of functions.
void sendRecord(const SessionPlayers &player)
{
    const SessionPlayers expected = sentRecord(player);
    const QString record = encodePlayerRecord(player);
    const Decoded<SessionPlayers> decoded = decodePlayerRecord(record);
    FUZZ_REQUIRE(decoded.ok());
    FUZZ_REQUIRE(sameRecord(decoded.value, expected));
    // What was read back travels on unchanged.
    const QString canonical = encodePlayerRecord(decoded.value);
    const Decoded<SessionPlayers> reread = decodePlayerRecord(canonical);
    FUZZ_REQUIRE(reread.ok() && sameRecord(reread.value, expected));
    FUZZ_REQUIRE(encodePlayerRecord(reread.value) == canonical);

    const Message first = received(firstDetailsMessage(record));
    FUZZ_REQUIRE(first.kind == Kind::FirstDetails);
    const Decoded<SessionPlayers> details = parseDetails(first.fields);
    FUZZ_REQUIRE(details.ok() && sameRecord(details.value, expected));
    const Message again = received(playerDetailsMessage(record));
    FUZZ_REQUIRE(again.kind == Kind::PlayerDetails);
    FUZZ_REQUIRE(parseDetails(again.fields).ok());

    PlayerTable table;
    SessionPlayers &slot = table[5];
    slot.IsActive = true;
    slot.WinsockIndex = 3;
    FUZZ_REQUIRE(FillPlayerData(slot, record) == Status::Ok);
    FUZZ_REQUIRE(slot.IsActive && slot.WinsockIndex == 3);
    FUZZ_REQUIRE(PreparePlayerData(table, 5) == canonical);
}

void recordFromText(QStringView text)
{
    const Decoded<SessionPlayers> record = decodePlayerRecord(text);
    if (record.ok())
        sendRecord(record.value);
}

// Every text field from a piece of the input, separators and all.
void recordFromPieces(const QStringList &pieces, Numbers &numbers)
{
    auto piece = [&pieces](int i) { return pieces.value(i % pieces.size()); };
    SessionPlayers player;
    player.PlayerName = piece(0);
    player.FullName = piece(1);
    player.Location = piece(2);
    player.Age = numbers.any<quint8>();
    player.Rating = numbers.any<qint16>();
    player.Bandwidth = numbers.any<qint16>();
    player.Email = piece(3);
    player.WebsiteURL = piece(4);
    player.VLVersion = piece(5);
    player.PrivilegeLevel = numbers.any<quint8>();
    player.Comments = piece(6);
    player.PassedSecurity = numbers.in(0, 1) != 0;
    player.AvatarNum = numbers.any<quint8>();
    player.AvatarData = piece(7);
    player.IPAddress = piece(8);
    player.PortNumber = piece(9);
    player.LocalIP = piece(10);
    player.LocalPortNumber = piece(11);
    player.DukeNukemPort = numbers.any<quint8>();
    sendRecord(player);
}

// ---- Styled text and chat ----------------------------------------------------

bool sameStyled(const StyledText &a, const StyledText &b)
{
    return a.colour == b.colour && a.font == b.font && a.size == b.size && a.bold == b.bold
        && a.italic == b.italic && a.underline == b.underline && a.text == b.text;
}

// A chat line must reach every receiver as its sender's box made it, alone
// and to a target list.
void sendChat(const QString &sent, int slot, const QList<int> &targets)
{
    const Decoded<StyledText> read = decodeStyledText(sent);
    FUZZ_REQUIRE(read.ok());
    const QString styled = encodeStyledText(read.value);
    const Message chat = received(chatMessage(slot, sent));
    FUZZ_REQUIRE(chat.kind == Kind::Msg);
    const Decoded<Chat> parsed = parseChat(chat.fields);
    FUZZ_REQUIRE(parsed.ok());
    FUZZ_REQUIRE(parsed.value.slot == slot && parsed.value.styledText == styled);

    const Message to = received(privateChatMessage(targets, slot, sent));
    FUZZ_REQUIRE(to.kind == Kind::MsgTo);
    const Decoded<Chat> parsedTo = parsePrivateChat(to.fields);
    FUZZ_REQUIRE(parsedTo.ok());
    FUZZ_REQUIRE(parsedTo.value.slot == slot && parsedTo.value.styledText == styled);
    FUZZ_REQUIRE(parsedTo.value.targets == targets);
}

QList<int> targetsFrom(Numbers &numbers)
{
    QList<int> targets;
    const qint64 count = numbers.in(1, SlotCount);
    for (qint64 i = 0; i < count; ++i)
        targets.append(int(numbers.in(0, SlotCount - 1)));
    return targets;
}

void sendStyled(const StyledText &styled, Numbers &numbers)
{
    StyledText expected = styled;
    expected.font = oneLine(without(styled.font, { sep::StyleSep, sep::MsgSep }));
    const QString text = without(styled.text, { sep::StyleSep, sep::MsgSep });
    expected.text = chatText(text);
    const QString encoded = encodeStyledText(styled);
    const Decoded<StyledText> decoded = decodeStyledText(encoded);
    if (text.size() > ChatLength) {
        FUZZ_REQUIRE(decoded.status == Status::TooLong);
        return;
    }
    FUZZ_REQUIRE(decoded.ok());
    FUZZ_REQUIRE(sameStyled(decoded.value, expected));
    const QString canonical = encodeStyledText(decoded.value);
    FUZZ_REQUIRE(encodeStyledText(decodeStyledText(canonical).value) == canonical);
    sendChat(encoded, int(numbers.in(0, SlotCount - 1)), targetsFrom(numbers));
}

void styledFromText(QStringView text, Numbers &numbers)
{
    const Decoded<StyledText> styled = decodeStyledText(text);
    if (styled.ok())
        sendStyled(styled.value, numbers);
}

// What the chat box sends: its own colour number (or a system colour), any
// size and the texts as typed.
void styledFromPieces(const QStringList &pieces, Numbers &numbers)
{
    const qint64 colour = numbers.in(std::numeric_limits<qint32>::min(), 16777215);
    const double size = double(numbers.any<qint32>()) / double(numbers.in(1, 64));
    const bool bold = numbers.in(0, 1) != 0;
    const bool italic = numbers.in(0, 1) != 0;
    const bool underline = numbers.in(0, 1) != 0;
    const QString font = pieces.value(1 % pieces.size());
    const QString text = pieces.constLast();
    const Decoded<StyledText> decoded
        = decodeStyledText(PTFS(colour, font, size, bold, italic, underline, text));
    if (without(text, { sep::StyleSep, sep::MsgSep }).size() > ChatLength) {
        FUZZ_REQUIRE(decoded.status == Status::TooLong);
        return;
    }
    FUZZ_REQUIRE(decoded.ok());
    const StyledText &styled = decoded.value;
    FUZZ_REQUIRE(styled.colour == colour && styled.bold == bold && styled.italic == italic
                 && styled.underline == underline);
    FUZZ_REQUIRE(styled.font == oneLine(without(font, { sep::StyleSep, sep::MsgSep })));
    FUZZ_REQUIRE(styled.text == chatText(without(text, { sep::StyleSep, sep::MsgSep })));
    FUZZ_REQUIRE(styled.size >= 0 && styled.size <= 32767);
    if (size >= 0 && size < 32767)
        FUZZ_REQUIRE(styled.size == int(std::trunc(size)));
    sendStyled(styled, numbers);
}

// A peer's chat message, relayed as received.
void chatFromFields(const QStringList &fields, Numbers &numbers)
{
    const Decoded<Chat> chat = parseChat(fields);
    if (chat.ok()) {
        FUZZ_REQUIRE(decodeStyledText(chat.value.styledText).ok());
        sendChat(chat.value.styledText, chat.value.slot, targetsFrom(numbers));
    }
    const Decoded<Chat> to = parsePrivateChat(fields);
    if (to.ok()) {
        FUZZ_REQUIRE(!to.value.targets.isEmpty());
        sendChat(to.value.styledText, to.value.slot, to.value.targets);
    }
}

// ---- Lists -------------------------------------------------------------------

void targetListFromText(QStringView text)
{
    const Decoded<QList<int>> targets = parseTargetList(text);
    if (!targets.ok())
        return;
    const Decoded<QList<int>> again = parseTargetList(buildTargetList(targets.value));
    FUZZ_REQUIRE(again.ok() && again.value == targets.value);
}

void targetListFromNumbers(Numbers &numbers)
{
    const QList<int> targets = targetsFrom(numbers);
    const Decoded<QList<int>> parsed = parseTargetList(buildTargetList(targets));
    FUZZ_REQUIRE(parsed.ok() && parsed.value == targets);
}

// The table behind a name list: a slot is active when it has a name.
PlayerTable tableOf(const QStringList &names)
{
    PlayerTable table;
    for (int slot = 0; slot < SlotCount; ++slot) {
        table[slot].PlayerName = names.value(slot);
        table[slot].IsActive = !names.value(slot).isEmpty();
    }
    return table;
}

void nameListFromText(QStringView text)
{
    const Decoded<QStringList> names = parsePlayerNameList(text);
    if (!names.ok())
        return;
    FUZZ_REQUIRE(names.value.size() == SlotCount);
    // A name read from a whole message may hold its separator; the builder drops it.
    QStringList expected;
    for (const QString &name : names.value)
        expected.append(oneLine(without(name, { Percent, sep::MsgSep }), NameLength));
    const Decoded<QStringList> again
        = parsePlayerNameList(buildPlayerNameList(tableOf(names.value)));
    FUZZ_REQUIRE(again.ok() && again.value == expected);
}

// Names as players chose them, "%" and separators included; an inactive
// slot is sent empty whatever its name.
void nameListFromPieces(const QStringList &pieces, Numbers &numbers)
{
    PlayerTable table;
    QStringList expected;
    for (int slot = 0; slot < SlotCount; ++slot) {
        SessionPlayers &player = table[slot];
        player.PlayerName = pieces.value(slot % pieces.size());
        player.IsActive = numbers.in(0, 1) != 0;
        expected.append(player.IsActive ? oneLine(
                            without(player.PlayerName, { Percent, sep::MsgSep }), NameLength)
                                        : QString());
    }
    const Decoded<QStringList> names = parsePlayerNameList(buildPlayerNameList(table));
    FUZZ_REQUIRE(names.ok() && names.value == expected);
}

bool sameMap(const MapInfo &a, const MapInfo &b)
{
    return a.Game == b.Game && a.ModTC == b.ModTC && a.Mode == b.Mode
        && a.Difficulty == b.Difficulty && a.Episode == b.Episode && a.Level == b.Level
        && a.CurrentMap == b.CurrentMap && a.CheckSum == b.CheckSum;
}

void mapFromText(QStringView text)
{
    const Decoded<MapInfo> map = parseMapInfo(text);
    if (!map.ok())
        return;
    MapInfo expected = map.value;
    expected.Game = oneLine(without(expected.Game, { Percent, sep::MsgSep }));
    expected.ModTC = oneLine(without(expected.ModTC, { Percent, sep::MsgSep }));
    const Decoded<MapInfo> again = parseMapInfo(buildMapInfo(map.value));
    FUZZ_REQUIRE(again.ok() && sameMap(again.value, expected));
    VLSession session;
    applyMapInfo(map.value, session);
    FUZZ_REQUIRE(sameMap(mapInfoOf(session), map.value));
}

// Settings as the host typed them: a map name the receiver cannot take as
// a plain file name is refused, everything else arrives.
void mapFromPieces(const QStringList &pieces, Numbers &numbers)
{
    MapInfo map;
    map.Game = pieces.value(2 % pieces.size());
    map.ModTC = pieces.value(3 % pieces.size());
    map.Mode = numbers.any<quint8>();
    map.Difficulty = numbers.any<quint8>();
    map.Episode = numbers.any<quint8>();
    map.Level = numbers.any<quint8>();
    map.CurrentMap = pieces.value(4 % pieces.size());
    map.CheckSum = numbers.any<quint8>();

    MapInfo expected = map;
    expected.Game = oneLine(without(map.Game, { Percent, sep::MsgSep }));
    expected.ModTC = oneLine(without(map.ModTC, { Percent, sep::MsgSep }));
    expected.CurrentMap = without(map.CurrentMap, { Percent, sep::MsgSep });
    const Decoded<MapInfo> parsed = parseMapInfo(buildMapInfo(map));
    if (expected.CurrentMap.isEmpty() || isPlainFileName(expected.CurrentMap)) {
        FUZZ_REQUIRE(parsed.ok() && sameMap(parsed.value, expected));
    } else {
        FUZZ_REQUIRE(parsed.status == Status::BadValue);
    }
}

// ---- Messages ----------------------------------------------------------------

bool sameState(const SessionState &a, const SessionState &b)
{
    return a.infoType == b.infoType && a.names == b.names && sameMap(a.map, b.map)
        && a.numPlayers == b.numPlayers && a.maxPlayers == b.maxPlayers
        && a.currentPort == b.currentPort;
}

void stateFromFields(const QStringList &fields)
{
    const Decoded<SessionState> state = parseSessionState(fields);
    if (!state.ok())
        return;
    const SessionState &value = state.value;
    FUZZ_REQUIRE(value.currentPort >= 1 && value.currentPort <= 4);
    VLSession session;
    applyMapInfo(value.map, session);
    session.NumPlayers = value.numPlayers;
    session.MaxPlayers = value.maxPlayers;
    session.CurrentPort = value.currentPort;
    const Message sent
        = received(sessionStateMessage(value.infoType, tableOf(value.names), session));
    FUZZ_REQUIRE(sent.kind == Kind::Session);
    const Decoded<SessionState> again = parseSessionState(sent.fields);
    FUZZ_REQUIRE(again.ok() && sameState(again.value, value));
}

// The host's state with names and settings from the input, every info type.
void stateFromPieces(const QStringList &pieces, Numbers &numbers)
{
    QStringList names;
    for (int slot = 0; slot < SlotCount; ++slot)
        names.append(
            oneLine(without(pieces.value((slot + 5) % pieces.size()), { Percent, sep::MsgSep }),
                    NameLength));
    VLSession session;
    session.Game = pieces.value(0);
    session.ModTC = QStringLiteral("DUKE");
    session.Mode = numbers.any<quint8>();
    session.Level = numbers.any<quint8>();
    session.CurrentMap = QStringLiteral("E1L1.MAP");
    session.NumPlayers = quint8(numbers.in(1, SlotCount));
    session.MaxPlayers = quint8(numbers.in(1, SlotCount));
    session.CurrentPort = quint8(numbers.in(1, 4));
    const PlayerTable table = tableOf(names);
    for (int infoType = 0; infoType <= 2; ++infoType) {
        const Message sent = received(sessionStateMessage(infoType, table, session));
        FUZZ_REQUIRE(sent.kind == Kind::Session);
        const Decoded<SessionState> state = parseSessionState(sent.fields);
        FUZZ_REQUIRE(state.ok() && state.value.infoType == infoType);
        FUZZ_REQUIRE(state.value.numPlayers == session.NumPlayers
                     && state.value.maxPlayers == session.MaxPlayers
                     && state.value.currentPort == session.CurrentPort);
        if (infoType != 2)
            FUZZ_REQUIRE(state.value.names == names);
        if (infoType != 1) {
            MapInfo expected = mapInfoOf(session);
            expected.Game = oneLine(without(expected.Game, { Percent, sep::MsgSep }));
            FUZZ_REQUIRE(sameMap(state.value.map, expected));
        }
    }
    FUZZ_REQUIRE(sessionStateMessage(3, table, session).isEmpty());
}

bool sameAcceptance(const Acceptance &a, const Acceptance &b)
{
    return a.overallMode == b.overallMode && a.slot == b.slot && a.maxPlayers == b.maxPlayers
        && a.inGame == b.inGame;
}

void acceptanceFromFields(const QStringList &fields)
{
    const Decoded<Acceptance> acceptance = parseAcceptance(fields);
    if (!acceptance.ok())
        return;
    const Acceptance &value = acceptance.value;
    const Message sent = received(
        acceptanceMessage(value.overallMode, value.slot, value.maxPlayers, value.inGame));
    FUZZ_REQUIRE(sent.kind == Kind::Token);
    const Decoded<Acceptance> again = parseAcceptance(sent.fields);
    FUZZ_REQUIRE(again.ok() && sameAcceptance(again.value, value));
}

// Any offer the host can make: a client accepts exactly the sound ones.
void acceptanceFromNumbers(Numbers &numbers)
{
    const quint8 mode = quint8(numbers.in(0, 3));
    const int slot = int(numbers.in(-1, SlotCount + 1));
    const int maxPlayers = int(numbers.in(-1, SlotCount + 1));
    const bool inGame = numbers.in(0, 1) != 0;
    const QString message = acceptanceMessage(mode, slot, maxPlayers, inGame);
    if (mode != 1 && mode != 2) {
        FUZZ_REQUIRE(message.isEmpty());
        return;
    }
    const Message sent = received(message);
    FUZZ_REQUIRE(sent.kind == Kind::Token);
    const Decoded<Acceptance> parsed = parseAcceptance(sent.fields);
    const bool sound = slot >= 1 && slot < SlotCount && maxPlayers >= 1 && maxPlayers <= SlotCount;
    FUZZ_REQUIRE(parsed.ok() == sound);
    if (sound)
        FUZZ_REQUIRE(
            sameAcceptance(parsed.value, { mode, quint8(slot), quint8(maxPlayers), inGame }));
}

void authorisationFromText(const QString &password)
{
    const Message sent = received(authorisationRequest(password));
    FUZZ_REQUIRE(sent.kind == Kind::Token);
    const AuthorisationRequest request = parseAuthorisationRequest(sent.fields);
    FUZZ_REQUIRE(request.role == RolePlayer && request.hasPassword);
    FUZZ_REQUIRE(request.password == without(password, { sep::MsgSep }));
}

void startGameFromFields(const QStringList &fields)
{
    const Decoded<StartGame> start = parseStartGame(fields);
    if (!start.ok())
        return;
    const Message sent = received(startGameMessage(start.value.peerList, start.value.arguments));
    FUZZ_REQUIRE(sent.kind == Kind::StartGame);
    const Decoded<StartGame> again = parseStartGame(sent.fields);
    FUZZ_REQUIRE(again.ok() && again.value.peerList == start.value.peerList
                 && again.value.arguments == start.value.arguments);
}

void fileNameFromFields(const QStringList &fields)
{
    const Decoded<QString> name = parseFileName(fields);
    if (!name.ok())
        return;
    FUZZ_REQUIRE(isPlainFileName(name.value));
    const struct
    {
        QString message;
        Kind kind;
    } sent[] = {
        { requestFileMessage(name.value), Kind::RequestFile },
        { okToGetMessage(name.value), Kind::OkToGet },
        { fileFinMessage(name.value), Kind::FileFin },
    };
    for (const auto &one : sent) {
        const Message message = received(one.message);
        FUZZ_REQUIRE(message.kind == one.kind);
        const Decoded<QString> again = parseFileName(message.fields);
        FUZZ_REQUIRE(again.ok() && again.value == name.value);
    }
}

void fileSizeFromText(QStringView text)
{
    const Decoded<FileSizeReply> reply = parseFileSizeReply(text);
    if (!reply.ok())
        return;
    if (!reply.value.found) {
        FUZZ_REQUIRE(reply.value.length == 0);
        return;
    }
    const Decoded<FileSizeReply> again = parseFileSizeReply(fileSizeReply(reply.value.length));
    FUZZ_REQUIRE(again.ok() && again.value.found && again.value.length == reply.value.length);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    const QString text = wire::toText(bytes);
    // Every byte value survives the way through text.
    FUZZ_REQUIRE(wire::toBytes(text) == bytes);

    const Message message = decode(bytes);
    FUZZ_REQUIRE(message.kind == Kind::Empty || !message.fields.isEmpty());
    if (message.kind != Kind::Empty)
        FUZZ_REQUIRE(message.kind == classify(message.fields.constFirst()));
    const QStringList &fields = message.fields;

    // Every message parser, whatever the type word said.
    Numbers numbers(bytes);
    stateFromFields(fields);
    acceptanceFromFields(fields);
    const AuthorisationRequest request = parseAuthorisationRequest(fields);
    if (request.role == RolePlayer && request.hasPassword)
        authorisationFromText(request.password);
    recordFromText(fields.value(1));
    chatFromFields(fields, numbers);
    startGameFromFields(fields);
    fileNameFromFields(fields);
    fileSizeFromText(text);

    // The records and lists on their own, in the whole read and each field.
    for (QStringView part : QStringList { text } + fields) {
        recordFromText(part);
        mapFromText(part);
        styledFromText(part, numbers);
        targetListFromText(part);
        nameListFromText(part);
    }

    // The builders with texts from the input: hostile names and words.
    const QStringList pieces = fields.isEmpty() ? QStringList { QString() } : fields;
    recordFromPieces(pieces, numbers);
    styledFromPieces(pieces, numbers);
    nameListFromPieces(pieces, numbers);
    mapFromPieces(pieces, numbers);
    stateFromPieces(pieces, numbers);
    acceptanceFromNumbers(numbers);
    targetListFromNumbers(numbers);
    authorisationFromText(pieces.constLast());
    return 0;
}
