#include "sessioncodec.h"

#include "separators.h"
#include "sessionplayers.h"
#include "textlimits.h"
#include "vlsession.h"
#include "wiretext.h"

#include <limits>

namespace session {

namespace {

constexpr qint64 ByteMax = 255;
constexpr qint64 Int16Min = std::numeric_limits<qint16>::min();
constexpr qint64 Int16Max = std::numeric_limits<qint16>::max();
constexpr qint64 Int32Min = std::numeric_limits<qint32>::min();
constexpr qint64 Int32Max = std::numeric_limits<qint32>::max();
constexpr qint64 ColourMax = 16777215;

const QString PercentSep = QStringLiteral("%");

// Removes every occurrence of the given separators. Removing one can join
// its neighbours into another, so this runs until none is left.
QString withoutSeparators(QString text, std::initializer_list<QStringView> separators)
{
    bool removed = true;
    while (removed) {
        removed = false;
        for (QStringView separator : separators) {
            if (text.contains(separator)) {
                text.remove(separator.toString());
                removed = true;
            }
        }
    }
    return text;
}

QString recordText(const QString &text)
{
    return withoutSeparators(text, { sep::DetailSep, sep::MsgSep });
}

QString styledFieldText(const QString &text)
{
    return withoutSeparators(text, { sep::StyleSep, sep::MsgSep });
}

QString listItemText(const QString &text)
{
    return withoutSeparators(text, { PercentSep, sep::MsgSep });
}

QString fieldText(const QString &text)
{
    return withoutSeparators(text, { sep::MsgSep });
}

bool isControl(QChar c)
{
    return c.unicode() < 32 || c.unicode() == 127;
}

// A peer's one-line text: a control character could fake a line of the
// program's own, so none is kept.
QString oneLine(QStringView text, qsizetype maxLength = -1)
{
    QString clean;
    clean.reserve(text.size());
    for (QChar c : text) {
        if (!isControl(c))
            clean += c;
    }
    if (maxLength >= 0 && clean.size() > maxLength)
        clean.truncate(maxLength);
    return clean;
}

// Free text that may span lines (comments): tabs and line breaks stay.
QString multiLine(QStringView text)
{
    QString clean;
    clean.reserve(text.size());
    for (QChar c : text) {
        if (!isControl(c) || c == u'\r' || c == u'\n' || c == u'\t')
            clean += c;
    }
    return clean;
}

bool readByte(QStringView text, quint8 &out)
{
    qint64 value = 0;
    if (!parseNumber(text, 0, ByteMax, value))
        return false;
    out = quint8(value);
    return true;
}

bool readInt16(QStringView text, qint16 &out)
{
    qint64 value = 0;
    if (!parseNumber(text, Int16Min, Int16Max, value))
        return false;
    out = qint16(value);
    return true;
}

bool readFlag(QStringView text, bool &out)
{
    qint64 value = 0;
    if (!parseNumber(text, Int32Min, Int32Max, value))
        return false;
    out = value != 0;
    return true;
}

bool readSlot(QStringView text, int &out)
{
    qint64 value = 0;
    if (!parseNumber(text, 0, SlotCount - 1, value))
        return false;
    out = int(value);
    return true;
}

// Address of a peer-list item: a dotted address or host name.
bool isAddressText(QStringView text)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        const bool allowed = (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'z')
            || (u >= u'A' && u <= u'Z') || u == u'.' || u == u'-';
        if (!allowed)
            return false;
    }
    return true;
}

bool isDigits(QStringView text)
{
    for (QChar c : text) {
        if (c.unicode() < u'0' || c.unicode() > u'9')
            return false;
    }
    return true;
}

} // namespace

// ---- Framing -------------------------------------------------------------

QStringList splitMessage(const QString &read)
{
    return read.split(sep::MsgSep);
}

QString buildMessage(QStringView type, const QStringList &fields)
{
    QString message = type.toString();
    for (const QString &field : fields)
        message += sep::MsgSep + field;
    return message;
}

Kind classify(QStringView type)
{
    struct Entry
    {
        QStringView word;
        Kind kind;
    };
    // The dispatcher's order of comparison.
    static constexpr Entry catalogue[] = {
        { OkToGetWord, Kind::OkToGet },
        { RequestFileWord, Kind::RequestFile },
        { AckWord, Kind::Ack },
        { FileFinWord, Kind::FileFin },
        { Token, Kind::Token },
        { u"FirstDetails", Kind::FirstDetails },
        { u"PlayerDetails", Kind::PlayerDetails },
        { u"Msg", Kind::Msg },
        { u"MsgTo", Kind::MsgTo },
        { u"StartGame", Kind::StartGame },
        { WrongPasswordWord, Kind::WrongPassword },
        { ServerFullWord, Kind::ServerFull },
        { u"Session", Kind::Session },
    };
    for (const Entry &entry : catalogue) {
        if (type == entry.word)
            return entry.kind;
    }
    return type.contains(u'2') ? Kind::Ack : Kind::Unknown;
}

Message decode(const QString &read)
{
    if (read.isEmpty())
        return {};
    Message message;
    message.fields = splitMessage(read);
    message.kind = classify(message.fields.constFirst());
    return message;
}

Message decode(QByteArrayView read)
{
    return decode(wire::toText(read));
}

namespace {

// -1: the state message, whose number of fields follows its info type.
constexpr int ByInfoType = -1;

struct TypeWord
{
    QStringView word;
    int toHost; // fields after the word
    int toClient;
};

// "MsgTo" before "Msg": the longer word wins where both could start.
constexpr TypeWord TypeWords[] = {
    { RequestFileWord, 1, 1 },
    { OkToGetWord, 1, 1 },
    { FileFinWord, 1, 1 },
    { AckWord, 0, 0 },
    { Token, 2, 4 },
    { u"FirstDetails", 1, 1 },
    { u"PlayerDetails", 1, 1 },
    { u"MsgTo", 3, 3 },
    { u"Msg", 2, 2 },
    { u"StartGame", 2, 2 },
    { WrongPasswordWord, 0, 0 },
    { ServerFullWord, 0, 0 },
    { u"Session", ByInfoType, ByInfoType },
};

int fieldsOf(const TypeWord &type, Direction direction)
{
    return direction == Direction::ToHost ? type.toHost : type.toClient;
}

int stateFields(QStringView infoType)
{
    if (infoType == u"0")
        return 6;
    if (infoType == u"1" || infoType == u"2")
        return 5;
    return 1;
}

// The type word with fields that text ends with. No type word ends another,
// so there is at most one.
const TypeWord *typeWordEnding(QStringView text)
{
    for (const TypeWord &type : TypeWords) {
        if (type.toHost != 0 && text.endsWith(type.word))
            return &type;
    }
    return nullptr;
}

enum class Start { Found, Partial, None };

// The type word rest starts with, or whether rest could still become one.
Start typeWordAt(QStringView rest, const TypeWord *&found)
{
    bool partial = false;
    for (const TypeWord &type : TypeWords) {
        if (!rest.startsWith(type.word)) {
            partial = partial || type.word.startsWith(rest);
            continue;
        }
        if (type.toHost == 0) {
            found = &type;
            return Start::Found;
        }
        const QStringView after = rest.mid(type.word.size());
        if (after.startsWith(sep::MsgSep)) {
            found = &type;
            return Start::Found;
        }
        partial = partial || QStringView(sep::MsgSep).startsWith(after);
    }
    return partial ? Start::Partial : Start::None;
}

// Where the next message starts after from: a type word with fields just
// before a MsgSep. The end of the buffer when there is none.
qsizetype nextStart(QStringView buffer, qsizetype from)
{
    for (qsizetype at = buffer.indexOf(sep::MsgSep, from + 1); at >= 0;
         at = buffer.indexOf(sep::MsgSep, at + 1)) {
        if (const TypeWord *type = typeWordEnding(buffer.mid(from, at - from))) {
            if (at - type->word.size() > from)
                return at - type->word.size();
        }
    }
    return buffer.size();
}

// A last field at the end of a read that cannot go on: the state message's
// one-character port, the acceptance's flag, a record whose last number is
// whole. Free text always could.
bool lastFieldWhole(const TypeWord &type, Direction direction, QStringView field)
{
    // Exact texts only: "1M" may be a port and the start of "Msg".
    if (type.word == u"Session")
        return field.size() == 1;
    if (type.word == Token && direction == Direction::ToClient)
        return field == u"0" || field == u"-1";
    if (type.word == u"FirstDetails" || type.word == u"PlayerDetails") {
        if (field.count(sep::DetailSep) < RecordFieldCount - 1)
            return false;
        const QStringView last = field.mid(field.lastIndexOf(sep::DetailSep) + 2);
        return last == u"0" || (last.size() == 3 && isDigits(last));
    }
    return false;
}

Message messageOf(QStringView text)
{
    Message message;
    message.fields = text.toString().split(sep::MsgSep);
    message.kind = classify(message.fields.constFirst());
    return message;
}

// One message at the front of rest; its length, or 0 while it is incomplete.
qsizetype frameOne(QStringView rest, Direction direction, Tail tail, Message &message)
{
    const TypeWord *type = nullptr;
    switch (typeWordAt(rest, type)) {
    case Start::Partial:
        if (tail == Tail::Hold)
            return 0;
        message = messageOf(rest);
        return rest.size();
    case Start::None: {
        const qsizetype end = nextStart(rest, 0);
        message = messageOf(rest.first(end));
        return end;
    }
    case Start::Found:
        break;
    }

    message.kind = classify(type->word);
    message.fields = QStringList { type->word.toString() };
    int needed = fieldsOf(*type, direction);
    if (type->word == AckWord) {
        // Acknowledgements read together ask for one chunk, as one did
        // before the connection was framed: "2" anywhere in the type.
        qsizetype run = 1;
        while (run < rest.size() && rest.at(run) == u'2')
            ++run;
        message.fields = QStringList { rest.first(run).toString() };
        return run;
    }
    if (needed == 0)
        return type->word.size();

    const qsizetype sepSize = sep::MsgSep.size();
    qsizetype at = type->word.size(); // at a MsgSep
    for (int index = 1;; ++index) {
        const qsizetype start = at + sepSize;
        const qsizetype next = rest.indexOf(sep::MsgSep, start);
        if (next < 0) {
            const QStringView field = rest.mid(start);
            const bool whole = needed != ByInfoType && index >= needed
                && lastFieldWhole(*type, direction, field);
            if (tail == Tail::Hold && !whole)
                return 0;
            message.fields.append(field.toString());
            return rest.size();
        }
        const QStringView field = rest.mid(start, next - start);
        if (needed == ByInfoType)
            needed = stateFields(field);
        if (index >= needed) {
            // The last field, or one more than the type has: the next
            // message's type word stands at its end.
            if (const TypeWord *following = typeWordEnding(field)) {
                message.fields.append(field.chopped(following->word.size()).toString());
                return next - following->word.size();
            }
        }
        message.fields.append(field.toString());
        at = next;
    }
}

} // namespace

Framed frame(QStringView buffer, Direction direction, Tail tail)
{
    Framed framed;
    while (framed.consumed < buffer.size()) {
        Message message;
        const qsizetype length = frameOne(buffer.mid(framed.consumed), direction, tail, message);
        if (length == 0)
            break;
        framed.messages.append(message);
        framed.consumed += length;
    }
    return framed;
}

// ---- Numbers ---------------------------------------------------------------

bool parseNumber(QStringView text, qint64 min, qint64 max, qint64 &value)
{
    qsizetype at = 0;
    const bool negative = text.startsWith(u'-');
    if (negative)
        at = 1;
    if (at >= text.size())
        return false;
    qint64 magnitude = 0;
    const qint64 limit = negative ? -min : max;
    for (; at < text.size(); ++at) {
        const char16_t c = text.at(at).unicode();
        if (c < u'0' || c > u'9')
            return false;
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > limit + 1 || magnitude < 0)
            return false;
    }
    const qint64 result = negative ? -magnitude : magnitude;
    if (result < min || result > max)
        return false;
    value = result;
    return true;
}

QString boolText(bool value)
{
    return value ? QStringLiteral("-1") : QStringLiteral("0");
}

// ---- Player record ---------------------------------------------------------

QString encodePlayerRecord(const SessionPlayers &player)
{
    const QStringList fields {
        recordText(player.PlayerName),
        recordText(player.FullName),
        recordText(player.Location),
        QString::number(player.Age),
        QString::number(player.Rating),
        QString::number(player.Bandwidth),
        recordText(player.Email),
        recordText(player.WebsiteURL),
        recordText(player.VLVersion),
        QString::number(player.PrivilegeLevel),
        recordText(player.Comments),
        boolText(player.PassedSecurity),
        QString::number(player.AvatarNum),
        recordText(player.AvatarData),
        recordText(player.IPAddress),
        recordText(player.PortNumber),
        recordText(player.LocalIP),
        recordText(player.LocalPortNumber),
        QString::number(player.DukeNukemPort),
    };
    return fields.join(sep::DetailSep);
}

Decoded<SessionPlayers> decodePlayerRecord(QStringView record)
{
    const QList<QStringView> fields = record.split(sep::DetailSep);
    if (fields.size() != RecordFieldCount)
        return { Status::WrongFieldCount, {} };
    SessionPlayers player;
    const bool numbersOk = readByte(fields[3], player.Age) && readInt16(fields[4], player.Rating)
        && readInt16(fields[5], player.Bandwidth) && readByte(fields[9], player.PrivilegeLevel)
        && readFlag(fields[11], player.PassedSecurity) && readByte(fields[12], player.AvatarNum)
        && readByte(fields[18], player.DukeNukemPort);
    if (!numbersOk)
        return { Status::BadNumber, {} };
    // Names go to every player: none longer than the name box allows.
    player.PlayerName = oneLine(fields[0], limits::PlayerName);
    player.FullName = oneLine(fields[1]);
    player.Location = oneLine(fields[2]);
    player.Email = oneLine(fields[6]);
    player.WebsiteURL = oneLine(fields[7]);
    player.VLVersion = oneLine(fields[8]);
    player.Comments = multiLine(fields[10]);
    player.AvatarData = oneLine(fields[13]);
    player.IPAddress = oneLine(fields[14]);
    player.PortNumber = oneLine(fields[15]);
    player.LocalIP = oneLine(fields[16]);
    player.LocalPortNumber = oneLine(fields[17]);
    return { Status::Ok, player };
}

void storePlayerRecord(const SessionPlayers &record, SessionPlayers &slot)
{
    slot.PlayerName = record.PlayerName;
    slot.FullName = record.FullName;
    slot.Location = record.Location;
    slot.Age = record.Age;
    slot.Rating = record.Rating;
    slot.Bandwidth = record.Bandwidth;
    slot.Email = record.Email;
    slot.WebsiteURL = record.WebsiteURL;
    slot.VLVersion = record.VLVersion;
    slot.PrivilegeLevel = record.PrivilegeLevel;
    slot.Comments = record.Comments;
    slot.PassedSecurity = record.PassedSecurity;
    slot.AvatarNum = record.AvatarNum;
    slot.AvatarData = record.AvatarData;
    slot.IPAddress = record.IPAddress;
    slot.PortNumber = record.PortNumber;
    slot.LocalIP = record.LocalIP;
    slot.LocalPortNumber = record.LocalPortNumber;
    slot.DukeNukemPort = record.DukeNukemPort;
}

QString PreparePlayerData(const PlayerTable &table, int PlayerIndex)
{
    return encodePlayerRecord(table.at(PlayerIndex));
}

Status FillPlayerData(SessionPlayers &slot, QStringView Data)
{
    const Decoded<SessionPlayers> record = decodePlayerRecord(Data);
    if (record.ok())
        storePlayerRecord(record.value, slot);
    return record.status;
}

// ---- Styled text -----------------------------------------------------------

QString PTFS(qint64 colour, const QString &font, double size, bool bold, bool italic,
             bool underline, const QString &Text)
{
    StyledText styled;
    styled.colour = colour;
    styled.font = font;
    // Whole points, fraction cut off, within what a receiver accepts.
    styled.size = size >= double(Int16Max) ? int(Int16Max) : size > 0 ? int(size) : 0;
    styled.bold = bold;
    styled.italic = italic;
    styled.underline = underline;
    styled.text = Text;
    return encodeStyledText(styled);
}

QString encodeStyledText(const StyledText &styled)
{
    const QStringList fields {
        QString::number(qBound(Int32Min, styled.colour, Int32Max)),
        styledFieldText(styled.font),
        QString::number(qBound(0, styled.size, int(Int16Max))),
        boolText(styled.bold),
        boolText(styled.italic),
        boolText(styled.underline),
        styledFieldText(styled.text),
    };
    return fields.join(sep::StyleSep);
}

Decoded<StyledText> decodeStyledText(QStringView styled)
{
    const QList<QStringView> fields = styled.split(sep::StyleSep);
    if (fields.size() != StyledFieldCount)
        return { Status::WrongFieldCount, {} };
    StyledText result;
    qint64 colour = 0;
    qint64 size = 0;
    // Colour numbers of the chat box are 0 to 16777215; a negative one
    // (a system colour) is carried and the receiver's view falls back.
    if (!parseNumber(fields[0], Int32Min, ColourMax, colour)
        || !parseNumber(fields[2], 0, Int16Max, size) || !readFlag(fields[3], result.bold)
        || !readFlag(fields[4], result.italic) || !readFlag(fields[5], result.underline))
        return { Status::BadNumber, {} };
    result.colour = colour;
    result.size = int(size);
    // Nobody's chat box sends more; a longer line is not passed on.
    if (fields[6].size() > limits::ChatText)
        return { Status::TooLong, {} };
    result.font = oneLine(fields[1]);
    // A line break in a chat line could start a line that looks like the
    // program's own: every control character reads as a space.
    result.text = fields[6].toString();
    for (QChar &c : result.text) {
        if (isControl(c))
            c = u' ';
    }
    return { Status::Ok, result };
}

// ---- Lists -----------------------------------------------------------------

QString buildTargetList(const QList<int> &slotList)
{
    QStringList items;
    items.reserve(slotList.size());
    for (int slot : slotList)
        items.append(QString::number(slot));
    return items.join(sep::ListSep);
}

Decoded<QList<int>> parseTargetList(QStringView list)
{
    if (list.isEmpty())
        return { Status::MissingFields, {} };
    QList<int> slotList;
    for (QStringView item : list.split(sep::ListSep)) {
        int slot = 0;
        if (!readSlot(item, slot))
            return { Status::BadNumber, {} };
        slotList.append(slot);
    }
    return { Status::Ok, slotList };
}

QString buildPlayerNameList(const PlayerTable &table)
{
    QStringList names;
    for (int slot = 0; slot < SlotCount; ++slot) {
        const SessionPlayers &player = table.at(slot);
        names.append(player.IsActive ? listItemText(player.PlayerName) : QString());
    }
    return names.join(PercentSep);
}

Decoded<QStringList> parsePlayerNameList(QStringView list)
{
    const QList<QStringView> items = list.split(PercentSep);
    if (items.size() > SlotCount)
        return { Status::TooManyNames, {} };
    if (items.size() < SlotCount)
        return { Status::MissingFields, {} };
    QStringList names;
    for (QStringView item : items)
        names.append(oneLine(item, limits::PlayerName));
    return { Status::Ok, names };
}

MapInfo mapInfoOf(const VLSession &session)
{
    MapInfo info;
    info.Game = session.Game;
    info.ModTC = session.ModTC;
    info.Mode = session.Mode;
    info.Difficulty = session.Difficulty;
    info.Episode = session.Episode;
    info.Level = session.Level;
    info.CurrentMap = session.CurrentMap;
    info.CheckSum = session.CheckSum;
    return info;
}

void applyMapInfo(const MapInfo &info, VLSession &session)
{
    session.Game = info.Game;
    session.ModTC = info.ModTC;
    session.Mode = info.Mode;
    session.Difficulty = info.Difficulty;
    session.Episode = info.Episode;
    session.Level = info.Level;
    session.CurrentMap = info.CurrentMap;
    session.CheckSum = info.CheckSum;
}

QString buildMapInfo(const MapInfo &info)
{
    const QStringList items {
        listItemText(info.Game),       listItemText(info.ModTC),
        QString::number(info.Mode),    QString::number(info.Difficulty),
        QString::number(info.Episode), QString::number(info.Level),
        listItemText(info.CurrentMap), QString::number(info.CheckSum),
    };
    return items.join(PercentSep);
}

Decoded<MapInfo> parseMapInfo(QStringView list)
{
    const QList<QStringView> items = list.split(PercentSep);
    if (items.size() != MapInfoItemCount)
        return { Status::WrongFieldCount, {} };
    MapInfo info;
    if (!readByte(items[2], info.Mode) || !readByte(items[3], info.Difficulty)
        || !readByte(items[4], info.Episode) || !readByte(items[5], info.Level)
        || !readByte(items[7], info.CheckSum))
        return { Status::BadNumber, {} };
    if (!items[6].isEmpty() && !isPlainFileName(items[6]))
        return { Status::BadValue, {} };
    info.Game = oneLine(items[0]);
    info.ModTC = oneLine(items[1]);
    info.CurrentMap = items[6].toString();
    return { Status::Ok, info };
}

bool isPlainFileName(QStringView name)
{
    if (name.isEmpty() || name.size() > 255 || name == u"." || name == u"..")
        return false;
    for (QChar c : name) {
        const char16_t u = c.unicode();
        if (u < 32 || u == 127)
            return false;
        switch (u) {
        case u'/':
        case u'\\':
        case u':':
        case u'*':
        case u'?':
        case u'"':
        case u'<':
        case u'>':
        case u'|':
            return false;
        default:
            break;
        }
    }
    return true;
}

// ---- Messages --------------------------------------------------------------

QString authorisationRequest(const QString &password)
{
    return buildMessage(Token, { RolePlayer.toString(), fieldText(password) });
}

AuthorisationRequest parseAuthorisationRequest(const QStringList &fields)
{
    AuthorisationRequest request;
    request.role = fields.value(1);
    request.hasPassword = fields.size() > 2;
    request.password = fields.value(2);
    return request;
}

QString acceptanceMessage(quint8 overallMode, int slot, int maxPlayers, bool inGame)
{
    QString word;
    if (overallMode == 1)
        word = QStringLiteral("Game");
    else if (overallMode == 2)
        word = QStringLiteral("Chat");
    else
        return {};
    return buildMessage(
        Token, { word, QString::number(slot), QString::number(maxPlayers), boolText(inGame) });
}

Decoded<Acceptance> parseAcceptance(const QStringList &fields)
{
    if (fields.size() < 5)
        return { Status::MissingFields, {} };
    Acceptance acceptance;
    if (fields[1] == u"Game")
        acceptance.overallMode = 1;
    else if (fields[1] == u"Chat")
        acceptance.overallMode = 2;
    else
        return { Status::BadValue, {} };
    qint64 slot = 0;
    qint64 maxPlayers = 0;
    // A host never offers its own slot 0.
    if (!parseNumber(fields[2], 1, SlotCount - 1, slot)
        || !parseNumber(fields[3], 1, SlotCount, maxPlayers)
        || !readFlag(fields[4], acceptance.inGame))
        return { Status::BadNumber, {} };
    acceptance.slot = quint8(slot);
    acceptance.maxPlayers = quint8(maxPlayers);
    return { Status::Ok, acceptance };
}

QString firstDetailsMessage(const QString &record)
{
    return buildMessage(u"FirstDetails", { record });
}

QString playerDetailsMessage(const QString &record)
{
    return buildMessage(u"PlayerDetails", { record });
}

Decoded<SessionPlayers> parseDetails(const QStringList &fields)
{
    if (fields.size() < 2)
        return { Status::MissingFields, {} };
    return decodePlayerRecord(fields[1]);
}

QString chatMessage(int slot, const QString &styledText)
{
    return buildMessage(u"Msg", { QString::number(slot), fieldText(styledText) });
}

QString privateChatMessage(const QList<int> &targets, int slot, const QString &styledText)
{
    return buildMessage(u"MsgTo",
                        { buildTargetList(targets), QString::number(slot), fieldText(styledText) });
}

Decoded<Chat> parseChat(const QStringList &fields)
{
    if (fields.size() < 3)
        return { Status::MissingFields, {} };
    Chat chat;
    if (!readSlot(fields[1], chat.slot))
        return { Status::BadNumber, {} };
    const Decoded<StyledText> styled = decodeStyledText(fields[2]);
    if (!styled.ok())
        return { styled.status, {} };
    // Passed on as read back, so that nothing the checks removed travels on.
    chat.styledText = encodeStyledText(styled.value);
    return { Status::Ok, chat };
}

Decoded<Chat> parsePrivateChat(const QStringList &fields)
{
    if (fields.size() < 4)
        return { Status::MissingFields, {} };
    const Decoded<QList<int>> targets = parseTargetList(fields[1]);
    if (!targets.ok())
        return { targets.status, {} };
    Decoded<Chat> chat = parseChat({ fields[0], fields[2], fields[3] });
    if (chat.ok())
        chat.value.targets = targets.value;
    return chat;
}

QString startGameMessage(const QString &peerList, const QString &arguments)
{
    return buildMessage(u"StartGame", { fieldText(peerList), fieldText(arguments) });
}

Decoded<StartGame> parseStartGame(const QStringList &fields)
{
    if (fields.size() < 3)
        return { Status::MissingFields, {} };
    const QString &peerList = fields[1];
    if (!peerList.isEmpty()) {
        for (QStringView item : QStringView(peerList).split(PercentSep)) {
            const qsizetype colon = item.indexOf(u':');
            if (colon < 0)
                return { Status::BadValue, {} };
            const QStringView port = item.mid(colon + 1);
            if (!isAddressText(item.first(colon)) || !isDigits(port) || port.size() > 5)
                return { Status::BadValue, {} };
        }
    }
    for (QChar c : fields[2]) {
        const char16_t u = c.unicode();
        if (u < 32 || u == 127 || QStringView(u"&|<>^%\"").contains(c))
            return { Status::BadValue, {} };
    }
    return { Status::Ok, { peerList, fields[2] } };
}

// ---- State message ----------------------------------------------------------

QString sessionStateMessage(int infoType, const PlayerTable &table, const VLSession &session)
{
    const QString counts[]
        = { QString::number(session.NumPlayers), QString::number(session.MaxPlayers),
            QString::number(session.CurrentPort) };
    QStringList fields { QString::number(infoType) };
    switch (infoType) {
    case 0:
        fields << buildPlayerNameList(table) << buildMapInfo(mapInfoOf(session));
        break;
    case 1:
        fields << buildPlayerNameList(table);
        break;
    case 2:
        fields << buildMapInfo(mapInfoOf(session));
        break;
    default:
        return {};
    }
    for (const QString &count : counts)
        fields << count;
    return buildMessage(u"Session", fields);
}

Decoded<SessionState> parseSessionState(const QStringList &fields)
{
    if (fields.size() < 2)
        return { Status::MissingFields, {} };
    SessionState state;
    const QString &type = fields[1];
    if (type == u"0")
        state.infoType = 0;
    else if (type == u"1")
        state.infoType = 1;
    else if (type == u"2")
        state.infoType = 2;
    else
        return { Status::UnknownInfoType, {} };

    const bool hasNames = state.infoType != 2;
    const bool hasMap = state.infoType != 1;
    const qsizetype countsAt = 2 + (hasNames ? 1 : 0) + (hasMap ? 1 : 0);
    if (fields.size() < countsAt + 3)
        return { Status::MissingFields, {} };

    qsizetype at = 2;
    if (hasNames) {
        const Decoded<QStringList> names = parsePlayerNameList(fields[at++]);
        if (!names.ok())
            return { names.status, {} };
        state.names = names.value;
    }
    if (hasMap) {
        const Decoded<MapInfo> map = parseMapInfo(fields[at++]);
        if (!map.ok())
            return { map.status, {} };
        state.map = map.value;
    }
    qint64 numPlayers = 0;
    qint64 maxPlayers = 0;
    if (!parseNumber(fields[at], 1, SlotCount, numPlayers)
        || !parseNumber(fields[at + 1], 1, SlotCount, maxPlayers))
        return { Status::BadNumber, {} };
    state.numPlayers = quint8(numPlayers);
    state.maxPlayers = quint8(maxPlayers);

    const QString &port = fields[at + 2];
    if (port.isEmpty() || port.front() < u'1' || port.front() > u'4')
        return { Status::BadPort, {} };
    state.currentPort = quint8(port.front().unicode() - u'0');
    return { Status::Ok, state };
}

// ---- Transfer words ---------------------------------------------------------

QString requestFileMessage(const QString &fileName)
{
    return buildMessage(RequestFileWord, { fieldText(fileName) });
}

QString okToGetMessage(const QString &fileName)
{
    return buildMessage(OkToGetWord, { fieldText(fileName) });
}

QString fileFinMessage(const QString &fileName)
{
    return buildMessage(FileFinWord, { fieldText(fileName) });
}

Decoded<QString> parseFileName(const QStringList &fields)
{
    if (fields.size() < 2)
        return { Status::MissingFields, {} };
    if (!isPlainFileName(fields[1]))
        return { Status::BadValue, {} };
    return { Status::Ok, fields[1] };
}

QString fileSizeReply(qint64 length)
{
    return FileSizeWord + sep::ListSep + QString::number(length);
}

Decoded<FileSizeReply> parseFileSizeReply(QStringView read)
{
    const QList<QStringView> items = read.split(sep::ListSep);
    if (items.constFirst() == FileNotFoundWord)
        return { Status::Ok, { false, 0 } };
    if (items.constFirst() != FileSizeWord)
        return { Status::BadValue, {} };
    if (items.size() < 2)
        return { Status::MissingFields, {} };
    qint64 length = 0;
    if (!parseNumber(items[1], 0, Int32Max, length))
        return { Status::BadNumber, {} };
    return { Status::Ok, { true, length } };
}

} // namespace session
