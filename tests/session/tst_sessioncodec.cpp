#include "separators.h"
#include "sessioncodec.h"
#include "sessionplayers.h"
#include "vlsession.h"
#include "wiretext.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace session;

Q_DECLARE_METATYPE(session::Kind)
Q_DECLARE_METATYPE(session::Status)

namespace {

const QString M = sep::MsgSep;
const QString D = sep::DetailSep;
const QString L = sep::ListSep;
const QString S = sep::StyleSep;

// Every byte 1-255 as wire text, without the separators' characters.
QString everyTextByte()
{
    QByteArray bytes;
    for (int b = 1; b < 256; ++b) {
        if (b == 8 || b == 9 || (b >= 11 && b <= 15))
            continue;
        bytes.append(char(b));
    }
    return wire::toText(bytes);
}

// The same without control characters, which no peer's text keeps.
QString everyPrintableByte()
{
    QString text = everyTextByte();
    text.removeIf([](QChar c) { return c.unicode() < 32 || c.unicode() == 127; });
    return text;
}

SessionPlayers fullRecord()
{
    SessionPlayers p;
    p.PlayerName = u"^2Duke"_s;
    p.FullName = u"Duke Nukem"_s;
    p.Location = u"42"_s;
    p.Age = 255;
    p.Rating = -32768;
    p.Bandwidth = 32767;
    p.Email = u"duke@example.org"_s;
    p.WebsiteURL = u"http://example.org/"_s;
    p.VLVersion = u"2.0.13"_s;
    p.PrivilegeLevel = 7;
    p.Comments = u"Hail to the king, baby!\r\nSecond line"_s;
    p.PassedSecurity = true;
    p.AvatarNum = 1;
    p.AvatarData = u"x"_s;
    p.IPAddress = u"203.0.113.5"_s;
    p.PortNumber = u"23513"_s;
    p.LocalIP = u"0.0.0.0"_s;
    p.LocalPortNumber = u"23513"_s;
    p.DukeNukemPort = 4;
    return p;
}

SessionPlayers named(bool active, const QString &name)
{
    SessionPlayers player;
    player.IsActive = active;
    player.PlayerName = name;
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

// A record of 19 fields with field `at` replaced.
QString recordWith(int at, const QString &value)
{
    QStringList fields = encodePlayerRecord(fullRecord()).split(D);
    fields[at] = value;
    return fields.join(D);
}

const QString EightNames = u"Host%%Bob%%%%%"_s;
const QString Map = u"Duke Nukem 3D%Atomic Edition 1.5%1%2%1%1%%0"_s;

} // namespace

class TestSessionCodec : public QObject
{
    Q_OBJECT

private slots:
    void decode_data()
    {
        QTest::addColumn<QString>("read");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<int>("fields");
        QTest::newRow("empty read") << QString() << Kind::Empty << 0;
        QTest::newRow("chat") << u"Msg"_s + M + u"3"_s + M + u"hi"_s << Kind::Msg << 3;
        QTest::newRow("private chat") << u"MsgTo"_s + M + u"1"_s << Kind::MsgTo << 2;
        QTest::newRow("token") << u"QT407213"_s + M + u"PLAYER"_s + M << Kind::Token << 3;
        QTest::newRow("ack") << u"2"_s << Kind::Ack << 1;
        QTest::newRow("two acks in one read") << u"22"_s << Kind::Ack << 1;
        QTest::newRow("any type with a 2") << u"x2y"_s + M + u"z"_s << Kind::Ack << 2;
        QTest::newRow("request") << u"REQUESTFILE"_s + M + u"a.map"_s << Kind::RequestFile << 2;
        QTest::newRow("oktoget") << u"OKTOGET"_s + M + u"a.map"_s << Kind::OkToGet << 2;
        QTest::newRow("filefin") << u"FILEFIN"_s + M + u"a.map"_s << Kind::FileFin << 2;
        QTest::newRow("first details") << u"FirstDetails"_s + M << Kind::FirstDetails << 2;
        QTest::newRow("player details") << u"PlayerDetails"_s << Kind::PlayerDetails << 1;
        QTest::newRow("start") << u"StartGame"_s + M + M << Kind::StartGame << 3;
        QTest::newRow("wrong password") << u"WRONGPASSWORD"_s << Kind::WrongPassword << 1;
        QTest::newRow("full") << u"SERVERFULL"_s << Kind::ServerFull << 1;
        QTest::newRow("state") << u"Session"_s + M + u"1"_s << Kind::Session << 2;
        QTest::newRow("case matters") << u"msg"_s << Kind::Unknown << 1;
        QTest::newRow("prefix is not a type") << u"Msgs"_s << Kind::Unknown << 1;
        QTest::newRow("separator first") << M + u"Msg"_s << Kind::Unknown << 2;
        // Two messages in one read are one message of the first one's type.
        QTest::newRow("run together")
            << u"Msg"_s + M + u"1"_s + M + u"a"_s + u"Msg"_s + M + u"1"_s + M + u"b"_s << Kind::Msg
            << 5;
    }
    void decode()
    {
        QFETCH(QString, read);
        QFETCH(Kind, kind);
        QFETCH(int, fields);
        const Message message = session::decode(read);
        QCOMPARE(message.kind, kind);
        QCOMPARE(message.fields.size(), fields);
        // The byte form reads the same.
        const Message fromBytes = session::decode(QByteArrayView(wire::toBytes(read)));
        QCOMPARE(fromBytes.kind, kind);
        QCOMPARE(fromBytes.fields, message.fields);
    }

    void framingRoundTrip()
    {
        const QStringList fields { u""_s, everyTextByte(), u"%"_s, u""_s };
        const QString message = buildMessage(u"Msg", fields);
        QCOMPARE(splitMessage(message), QStringList { u"Msg"_s } + fields);
        // Through the wire and back.
        QCOMPARE(session::decode(QByteArrayView(wire::toBytes(message))).fields,
                 QStringList { u"Msg"_s } + fields);
    }

    // What frame() takes from one buffer: the type words of the messages, the
    // last field of each, and what is left for the next read.
    void frame_data()
    {
        QTest::addColumn<QString>("buffer");
        QTest::addColumn<bool>("toHost");
        QTest::addColumn<bool>("take");
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<QStringList>("lastFields");
        QTest::addColumn<QString>("left");

        const QString a = PTFS(255, u"Arial"_s, 9, false, false, false, u"from A"_s);
        const QString b = PTFS(255, u"Arial"_s, 9, false, false, false, u"from B"_s);
        const QString endsInType = PTFS(0, u"Arial"_s, 9, false, false, false, u"I said Msg"_s);
        const QString chatA = chatMessage(1, a);
        const QString chatB = chatMessage(2, b);
        const QString state = u"Session"_s + M + u"0"_s + M + EightNames + M + Map + M + u"2"_s + M
            + u"8"_s + M + u"1"_s;
        const QString accept = acceptanceMessage(1, 3, 8, false);

        QTest::newRow("two chats, the last held")
            << chatA + chatB << true << false << QStringList { u"Msg"_s } << QStringList { a }
            << chatB;
        QTest::newRow("two chats taken")
            << chatA + chatB << true << true << QStringList { u"Msg"_s, u"Msg"_s }
            << QStringList { a, b } << QString();
        QTest::newRow("chat cut in its text") << chatA.chopped(3) << false << false << QStringList()
                                              << QStringList() << chatA.chopped(3);
        QTest::newRow("text ending in a type word")
            << chatMessage(1, endsInType) + chatB << false << true
            << QStringList { u"Msg"_s, u"Msg"_s } << QStringList { endsInType, b } << QString();
        QTest::newRow("acceptance and state, both whole")
            << accept + state << false << false << QStringList { Token.toString(), u"Session"_s }
            << QStringList { u"0"_s, u"1"_s } << QString();
        QTest::newRow("state cut after its info type")
            << u"Session"_s + M + u"0"_s << false << false << QStringList() << QStringList()
            << u"Session"_s + M + u"0"_s;
        QTest::newRow("state then chat")
            << state + chatA << false << false << QStringList { u"Session"_s }
            << QStringList { u"1"_s } << chatA;
        QTest::newRow("refusal") << ServerFullWord.toString() << false << false
                                 << QStringList { ServerFullWord.toString() }
                                 << QStringList { ServerFullWord.toString() } << QString();
        QTest::newRow("acks read together are one")
            << u"22"_s + chatA << true << false << QStringList { u"22"_s }
            << QStringList { u"22"_s } << chatA;
        QTest::newRow("half a type word")
            << u"Sess"_s << false << false << QStringList() << QStringList() << u"Sess"_s;
        QTest::newRow("MsgTo is not Msg")
            << privateChatMessage({ 0, 2 }, 1, a) << true << true << QStringList { u"MsgTo"_s }
            << QStringList { a } << QString();
        QTest::newRow("rubbish, then a chat")
            << u"rubbish"_s + chatA << true << true << QStringList { u"rubbish"_s, u"Msg"_s }
            << QStringList { u"rubbish"_s, a } << QString();
        QTest::newRow("request to the host held, then taken")
            << authorisationRequest(u"pw"_s) << true << false << QStringList() << QStringList()
            << authorisationRequest(u"pw"_s);
        QTest::newRow("unknown info type")
            << u"Session"_s + M + u"9"_s + M + u"x"_s << false << true
            << QStringList { u"Session"_s } << QStringList { u"x"_s } << QString();
    }
    void frame()
    {
        QFETCH(QString, buffer);
        QFETCH(bool, toHost);
        QFETCH(bool, take);
        QFETCH(QStringList, types);
        QFETCH(QStringList, lastFields);
        QFETCH(QString, left);
        const Framed framed
            = session::frame(buffer, toHost ? Direction::ToHost : Direction::ToClient,
                             take ? Tail::Take : Tail::Hold);
        QStringList gotTypes;
        QStringList gotLast;
        for (const Message &message : framed.messages) {
            gotTypes.append(message.fields.constFirst());
            gotLast.append(message.fields.constLast());
        }
        QCOMPARE(gotTypes, types);
        QCOMPARE(gotLast, lastFields);
        QCOMPARE(buffer.mid(framed.consumed), left);
    }

    // A stream of messages cut at every point, as the network may cut it,
    // gives the same messages as the whole stream.
    void frameAtEveryCut()
    {
        SessionPlayers me = fullRecord();
        const QString styled = PTFS(255, u"Arial"_s, 9, true, false, false, u"gg ^2all"_s);
        const QStringList toClient {
            acceptanceMessage(1, 3, 8, true),
            u"Session"_s + M + u"0"_s + M + EightNames + M + Map + M + u"2"_s + M + u"8"_s + M
                + u"1"_s,
            chatMessage(0, styled),
            startGameMessage(u"10.0.0.1:23513%10.0.0.2:23513"_s, u"/v1 /l2"_s),
            chatMessage(2, styled),
        };
        const QStringList toHost {
            authorisationRequest(QString()),
            firstDetailsMessage(encodePlayerRecord(me)),
            chatMessage(3, styled),
            privateChatMessage({ 0, 2 }, 3, styled),
            playerDetailsMessage(encodePlayerRecord(me)),
        };
        for (const auto &[stream, direction] : { std::pair { toClient, Direction::ToClient },
                                                 std::pair { toHost, Direction::ToHost } }) {
            const QString whole = stream.join(QString());
            for (qsizetype cut = 1; cut < whole.size(); ++cut) {
                const Framed first = session::frame(QStringView(whole).first(cut), direction);
                const QString rest = whole.mid(first.consumed);
                const Framed second = session::frame(rest, direction, Tail::Take);
                QList<QStringList> got;
                for (const Message &message : first.messages + second.messages)
                    got.append(message.fields);
                QCOMPARE(got.size(), stream.size());
                for (qsizetype i = 0; i < stream.size(); ++i)
                    QCOMPARE(got.at(i), splitMessage(stream.at(i)));
            }
        }
    }

    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("min");
        QTest::addColumn<qint64>("max");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<qint64>("value");
        QTest::newRow("zero") << u"0"_s << 0ll << 255ll << true << 0ll;
        QTest::newRow("byte max") << u"255"_s << 0ll << 255ll << true << 255ll;
        QTest::newRow("byte over") << u"256"_s << 0ll << 255ll << false << 0ll;
        QTest::newRow("negative byte") << u"-1"_s << 0ll << 255ll << false << 0ll;
        QTest::newRow("int16 min") << u"-32768"_s << -32768ll << 32767ll << true << -32768ll;
        QTest::newRow("int16 under") << u"-32769"_s << -32768ll << 32767ll << false << 0ll;
        QTest::newRow("empty") << QString() << 0ll << 255ll << false << 0ll;
        QTest::newRow("minus alone") << u"-"_s << -5ll << 5ll << false << 0ll;
        QTest::newRow("space") << u" 1"_s << 0ll << 255ll << false << 0ll;
        QTest::newRow("plus") << u"+1"_s << 0ll << 255ll << false << 0ll;
        QTest::newRow("hex") << u"0x1"_s << 0ll << 255ll << false << 0ll;
        QTest::newRow("other digits") << u"\u0663"_s << 0ll << 255ll << false << 0ll;
        QTest::newRow("huge") << u"99999999999999999999999999"_s << 0ll << 255ll << false << 0ll;
        QTest::newRow("leading zeros") << u"007"_s << 0ll << 255ll << true << 7ll;
    }
    void numbers()
    {
        QFETCH(QString, text);
        QFETCH(qint64, min);
        QFETCH(qint64, max);
        QFETCH(bool, ok);
        QFETCH(qint64, value);
        qint64 got = -12345;
        QCOMPARE(parseNumber(text, min, max, got), ok);
        QCOMPARE(got, ok ? value : -12345);
    }

    void playerRecordRoundTrip_data()
    {
        QTest::addColumn<SessionPlayers>("player");
        QTest::newRow("empty slot") << SessionPlayers();
        QTest::newRow("full record at the edges") << fullRecord();
        SessionPlayers bytes = fullRecord();
        bytes.PlayerName = everyPrintableByte().left(32);
        bytes.Comments = everyPrintableByte() + u"\r\n\t"_s;
        bytes.LocalPortNumber = everyPrintableByte();
        bytes.PassedSecurity = false;
        QTest::newRow("every byte in the texts") << bytes;
    }
    void playerRecordRoundTrip()
    {
        QFETCH(SessionPlayers, player);
        const QString record = encodePlayerRecord(player);
        QCOMPARE(record.split(D).size(), RecordFieldCount);
        // Through a message and the wire, as a peer receives it.
        const Message message
            = session::decode(QByteArrayView(wire::toBytes(firstDetailsMessage(record))));
        QCOMPARE(message.kind, Kind::FirstDetails);
        const Decoded<SessionPlayers> decoded = parseDetails(message.fields);
        QCOMPARE(decoded.status, Status::Ok);
        QVERIFY(sameRecord(decoded.value, player));
    }

    void separatorsInsideTextsAreDropped()
    {
        SessionPlayers player = fullRecord();
        player.PlayerName = u"a"_s + D + u"b"_s + M + u"c"_s;
        // Removing one separator must not leave another behind.
        player.FullName = u"\x0b"_s + D + u"\x0d"_s;
        const Decoded<SessionPlayers> decoded = parseDetails(
            session::decode(playerDetailsMessage(encodePlayerRecord(player))).fields);
        QCOMPARE(decoded.status, Status::Ok);
        QCOMPARE(decoded.value.PlayerName, u"abc"_s);
        QVERIFY(!decoded.value.FullName.contains(D));
    }

    // Names and one-line fields lose their control characters, so that a name
    // cannot start a line of its own; a chat line's become spaces; names are
    // held to the name box's length.
    void controlCharactersRemoved()
    {
        SessionPlayers player = fullRecord();
        const QString fake = u"Evil\r\nPeerA has left the session.\r\n\r\nHost"_s;
        player.PlayerName = fake;
        player.Location = u"1\x01"
                          "2"_s;
        const Decoded<SessionPlayers> record = parseDetails(
            session::decode(playerDetailsMessage(encodePlayerRecord(player))).fields);
        QCOMPARE(record.status, Status::Ok);
        QCOMPARE(record.value.PlayerName, u"EvilPeerA has left the session.Host"_s.left(32));
        QCOMPARE(record.value.Location, u"12"_s);
        QCOMPARE(record.value.Comments, fullRecord().Comments);

        const Decoded<QStringList> names
            = parsePlayerNameList(QString(fake + u"%%%%%%%"_s + QString(40, u'x')));
        QCOMPARE(names.status, Status::Ok);
        QVERIFY(!names.value.at(0).contains(u'\n'));
        QCOMPARE(names.value.at(7).size(), 32);

        const QString styled = PTFS(0, u"Arial"_s, 9, false, false, false, fake);
        const Decoded<Chat> chat = parseChat({ u"Msg"_s, u"1"_s, styled });
        QCOMPARE(chat.status, Status::Ok);
        const QString text = decodeStyledText(chat.value.styledText).value.text;
        QCOMPARE(text, u"Evil  PeerA has left the session.    Host"_s);

        // Nobody's chat box sends more than 255 characters.
        const QString longest = PTFS(0, u"Arial"_s, 9, false, false, false, QString(255, u'a'));
        QCOMPARE(parseChat({ u"Msg"_s, u"1"_s, longest }).status, Status::Ok);
        const QString tooLong = PTFS(0, u"Arial"_s, 9, false, false, false, QString(256, u'a'));
        QCOMPARE(parseChat({ u"Msg"_s, u"1"_s, tooLong }).status, Status::TooLong);
    }

    void playerRecordRefused_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<Status>("status");
        const QString good = encodePlayerRecord(fullRecord());
        QTest::newRow("empty") << QString() << Status::WrongFieldCount;
        QTest::newRow("18 fields") << good.section(D, 0, 17) << Status::WrongFieldCount;
        QTest::newRow("20 fields") << good + D + u"0"_s << Status::WrongFieldCount;
        QTest::newRow("age 256") << recordWith(3, u"256"_s) << Status::BadNumber;
        QTest::newRow("age empty") << recordWith(3, QString()) << Status::BadNumber;
        QTest::newRow("rating over int16") << recordWith(4, u"32768"_s) << Status::BadNumber;
        QTest::newRow("bandwidth text") << recordWith(5, u"fast"_s) << Status::BadNumber;
        QTest::newRow("privilege negative") << recordWith(9, u"-1"_s) << Status::BadNumber;
        QTest::newRow("security word") << recordWith(11, u"True"_s) << Status::BadNumber;
        QTest::newRow("avatar 1e3") << recordWith(12, u"1e3"_s) << Status::BadNumber;
        // The next message run into the last field.
        QTest::newRow("port glued") << recordWith(18, u"0Msg"_s) << Status::BadNumber;
    }
    void playerRecordRefused()
    {
        QFETCH(QString, record);
        QFETCH(Status, status);
        QCOMPARE(decodePlayerRecord(record).status, status);
        SessionPlayers slot;
        slot.PlayerName = u"unchanged"_s;
        QCOMPARE(FillPlayerData(slot, record), status);
        QCOMPARE(slot.PlayerName, u"unchanged"_s);
        QCOMPARE(parseDetails({ u"FirstDetails"_s }).status, Status::MissingFields);
    }

    void preparePlayerDataReadsTheTable()
    {
        PlayerTable table;
        table.reset(8);
        SessionPlayers &slot = table[3];
        slot = fullRecord();
        slot.IsActive = true;
        slot.WinsockIndex = 9;
        QCOMPARE(PreparePlayerData(table, 3), encodePlayerRecord(fullRecord()));
        SessionPlayers target;
        target.IsActive = true;
        target.WinsockIndex = 4;
        target.IPArray = u"keep"_s;
        QCOMPARE(FillPlayerData(target, PreparePlayerData(table, 3)), Status::Ok);
        QVERIFY(sameRecord(target, fullRecord()));
        QCOMPARE(target.WinsockIndex, qint16(4));
        QCOMPARE(target.IPArray, u"keep"_s);
    }

    void styledText()
    {
        const QString text = everyPrintableByte() + u"^4colour"_s;
        const QString styled = PTFS(65535, u"Arial Black"_s, 10.9, true, false, true, text);
        QCOMPARE(styled.split(S).size(), StyledFieldCount);
        QCOMPARE(styled.section(S, 2, 2), u"10"_s);
        const Decoded<Chat> chat = parseChat(
            session::decode(QByteArrayView(wire::toBytes(chatMessage(5, styled)))).fields);
        QCOMPARE(chat.status, Status::Ok);
        QCOMPARE(chat.value.slot, 5);
        QCOMPARE(chat.value.styledText, styled);
        const Decoded<StyledText> decoded = decodeStyledText(chat.value.styledText);
        QCOMPARE(decoded.status, Status::Ok);
        QCOMPARE(decoded.value.colour, qint64(65535));
        QCOMPARE(decoded.value.font, u"Arial Black"_s);
        QCOMPARE(decoded.value.size, 10);
        QVERIFY(decoded.value.bold && !decoded.value.italic && decoded.value.underline);
        QCOMPARE(decoded.value.text, text);
        // A separator typed into the chat box cannot add a field.
        const QString sneaky = PTFS(0, u"A"_s, 8, false, false, false, u"x"_s + S + u"y"_s + M);
        QCOMPARE(decodeStyledText(sneaky).value.text, u"xy"_s);
    }

    void styledTextRefused_data()
    {
        QTest::addColumn<QString>("styled");
        const QStringList good = PTFS(255, u"Arial"_s, 10, false, false, false, u"hi"_s).split(S);
        auto with = [&good](int at, const QString &value) {
            QStringList fields = good;
            fields[at] = value;
            return fields.join(S);
        };
        QTest::newRow("six fields") << QStringList(good.mid(0, 6)).join(S);
        QTest::newRow("eight fields") << good.join(S) + S;
        QTest::newRow("colour text") << with(0, u"red"_s);
        QTest::newRow("colour over") << with(0, u"16777216"_s);
        QTest::newRow("size empty") << with(2, QString());
        QTest::newRow("size negative") << with(2, u"-4"_s);
        QTest::newRow("bold word") << with(3, u"yes"_s);
    }
    void styledTextRefused()
    {
        QFETCH(QString, styled);
        QVERIFY(!decodeStyledText(styled).ok());
        QVERIFY(!parseChat({ u"Msg"_s, u"1"_s, styled }).ok());
    }

    void chatRefused_data()
    {
        QTest::addColumn<QStringList>("fields");
        const QString styled = PTFS(0, u"A"_s, 8, false, false, false, u"x"_s);
        QTest::newRow("no text") << QStringList { u"Msg"_s, u"1"_s };
        QTest::newRow("slot 8") << QStringList { u"Msg"_s, u"8"_s, styled };
        QTest::newRow("slot empty") << QStringList { u"Msg"_s, QString(), styled };
        QTest::newRow("slot -1") << QStringList { u"Msg"_s, u"-1"_s, styled };
    }
    void chatRefused()
    {
        QFETCH(QStringList, fields);
        QVERIFY(!parseChat(fields).ok());
    }

    void privateChat()
    {
        const QString styled = PTFS(0, u"A"_s, 8, false, false, false, u"psst"_s);
        const QString message = privateChatMessage({ 0, 2 }, 3, styled);
        QCOMPARE(message, u"MsgTo"_s + M + u"0"_s + L + u"2"_s + M + u"3"_s + M + styled);
        const Decoded<Chat> chat = parsePrivateChat(session::decode(message).fields);
        QCOMPARE(chat.status, Status::Ok);
        QCOMPARE(chat.value.targets, (QList<int> { 0, 2 }));
        QCOMPARE(chat.value.slot, 3);
        QCOMPARE(chat.value.styledText, styled);
    }

    void targetList_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<bool>("ok");
        QTest::newRow("one") << u"4"_s << true;
        QTest::newRow("three") << u"0"_s + L + u"7"_s + L + u"2"_s << true;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("empty item") << u"1"_s + L << false;
        QTest::newRow("slot 8") << u"8"_s << false;
        QTest::newRow("word") << u"all"_s << false;
        QTest::newRow("wrong separator") << u"1%2"_s << false;
    }
    void targetList()
    {
        QFETCH(QString, list);
        QFETCH(bool, ok);
        const Decoded<QList<int>> parsed = parseTargetList(list);
        QCOMPARE(parsed.ok(), ok);
        if (ok)
            QCOMPARE(buildTargetList(parsed.value), list);
    }

    void playerNameList()
    {
        PlayerTable table;
        table.reset(8);
        table[0] = named(true, u"^1Host"_s);
        table[2] = named(true, u"50%Duke"_s);
        table[5] = named(false, u"Gone"_s);
        const QString list = buildPlayerNameList(table);
        // A "%" in a name would shift every slot after it.
        QCOMPARE(list, u"^1Host%%50Duke%%%%%"_s);
        const Decoded<QStringList> parsed = parsePlayerNameList(list);
        QCOMPARE(parsed.status, Status::Ok);
        QCOMPARE(parsed.value.size(), 8);
        QCOMPARE(parsed.value.at(2), u"50Duke"_s);

        QCOMPARE(parsePlayerNameList(QString(list + u"%"_s)).status, Status::TooManyNames);
        QCOMPARE(parsePlayerNameList(u"a%b"_s).status, Status::MissingFields);
    }

    void mapInfo_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<Status>("status");
        QTest::newRow("defaults") << Map << Status::Ok;
        QTest::newRow("usermap") << u"G%M%3%4%4%11%dukedome.map%255"_s << Status::Ok;
        QTest::newRow("seven items") << u"G%M%3%4%4%11%x.map"_s << Status::WrongFieldCount;
        QTest::newRow("nine items") << Map + u"%"_s << Status::WrongFieldCount;
        QTest::newRow("mode 256") << u"G%M%256%4%4%11%%0"_s << Status::BadNumber;
        QTest::newRow("level empty") << u"G%M%1%4%4%%%0"_s << Status::BadNumber;
        QTest::newRow("map with a folder") << u"G%M%1%2%1%1%..\\x.map%0"_s << Status::BadValue;
        QTest::newRow("map up") << u"G%M%1%2%1%1%..%0"_s << Status::BadValue;
        QTest::newRow("map with a drive") << u"G%M%1%2%1%1%c:x.map%0"_s << Status::BadValue;
    }
    void mapInfo()
    {
        QFETCH(QString, list);
        QFETCH(Status, status);
        const Decoded<MapInfo> parsed = parseMapInfo(list);
        QCOMPARE(parsed.status, status);
        if (parsed.ok())
            QCOMPARE(buildMapInfo(parsed.value), list);
    }

    void stateRoundTrip_data()
    {
        QTest::addColumn<int>("infoType");
        QTest::newRow("everything") << 0;
        QTest::newRow("players") << 1;
        QTest::newRow("settings") << 2;
    }
    void stateRoundTrip()
    {
        QFETCH(int, infoType);
        PlayerTable table;
        table.reset(8);
        table[0] = named(true, u"Host"_s);
        table[6] = named(true, everyPrintableByte().remove(u'%').right(32));
        VLSession vls;
        vls.Game = u"Duke Nukem 3D"_s;
        vls.ModTC = u"Atomic Edition 1.5"_s;
        vls.Mode = 3;
        vls.Difficulty = 4;
        vls.Episode = 2;
        vls.Level = 11;
        vls.CurrentMap = u"big.map"_s;
        vls.CheckSum = 2;
        vls.NumPlayers = 2;
        vls.MaxPlayers = 6;
        vls.CurrentPort = 3;
        const QString message = sessionStateMessage(infoType, table, vls);
        const Decoded<SessionState> parsed
            = parseSessionState(session::decode(QByteArrayView(wire::toBytes(message))).fields);
        QCOMPARE(parsed.status, Status::Ok);
        const SessionState &state = parsed.value;
        QCOMPARE(state.infoType, infoType);
        QCOMPARE(state.numPlayers, quint8(2));
        QCOMPARE(state.maxPlayers, quint8(6));
        QCOMPARE(state.currentPort, quint8(3));
        if (infoType != 2) {
            QCOMPARE(state.names.size(), 8);
            QCOMPARE(state.names.at(0), u"Host"_s);
            QCOMPARE(state.names.at(6), table.at(6).PlayerName);
        }
        if (infoType != 1)
            QCOMPARE(buildMapInfo(state.map), buildMapInfo(mapInfoOf(vls)));
        QVERIFY(sessionStateMessage(3, table, vls).isEmpty());
    }

    void stateTrailingText()
    {
        // The next message in the same read runs into the port field.
        const QString read = u"Session"_s + M + u"0"_s + M + EightNames + M + Map + M + u"2"_s + M
            + u"8"_s + M + u"4"_s + u"Msg"_s + M + u"1"_s + M + u"x"_s;
        const Decoded<SessionState> parsed = parseSessionState(session::decode(read).fields);
        QCOMPARE(parsed.status, Status::Ok);
        QCOMPARE(parsed.value.currentPort, quint8(4));
        QCOMPARE(parsed.value.names.at(2), u"Bob"_s);
    }

    void stateRefused_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<Status>("status");
        const QString s = u"Session"_s;
        QTest::newRow("no info type") << QStringList { s } << Status::MissingFields;
        QTest::newRow("info type 3")
            << QStringList { s, u"3"_s, EightNames, u"1"_s, u"8"_s, u"1"_s }
            << Status::UnknownInfoType;
        QTest::newRow("info type word")
            << QStringList { s, u"all"_s, EightNames, u"1"_s, u"8"_s, u"1"_s }
            << Status::UnknownInfoType;
        QTest::newRow("type 0 short")
            << QStringList { s, u"0"_s, EightNames, Map, u"1"_s, u"8"_s } << Status::MissingFields;
        QTest::newRow("type 1 short")
            << QStringList { s, u"1"_s, EightNames, u"1"_s, u"8"_s } << Status::MissingFields;
        QTest::newRow("type 2 short")
            << QStringList { s, u"2"_s, Map, u"1"_s } << Status::MissingFields;
        QTest::newRow("nine names")
            << QStringList { s, u"1"_s, EightNames + u"%x"_s, u"1"_s, u"8"_s, u"1"_s }
            << Status::TooManyNames;
        QTest::newRow("count not a number")
            << QStringList { s, u"1"_s, EightNames, u"two"_s, u"8"_s, u"1"_s } << Status::BadNumber;
        QTest::newRow("count empty")
            << QStringList { s, u"2"_s, Map, QString(), u"8"_s, u"1"_s } << Status::BadNumber;
        QTest::newRow("limit 9") << QStringList { s, u"1"_s, EightNames, u"2"_s, u"9"_s, u"1"_s }
                                 << Status::BadNumber;
        QTest::newRow("bad map") << QStringList { s, u"2"_s, u"x"_s, u"1"_s, u"8"_s, u"1"_s }
                                 << Status::WrongFieldCount;
        for (const QString &port : { u"0"_s, u"5"_s, u"x"_s, QString(), u" 1"_s }) {
            QTest::addRow("port '%s'", qPrintable(port))
                << QStringList { s, u"1"_s, EightNames, u"2"_s, u"8"_s, port } << Status::BadPort;
        }
    }
    void stateRefused()
    {
        QFETCH(QStringList, fields);
        QFETCH(Status, status);
        QCOMPARE(parseSessionState(fields).status, status);
    }

    void authorisation()
    {
        // An empty password still has its field.
        QCOMPARE(authorisationRequest(QString()), u"QT407213"_s + M + u"PLAYER"_s + M);
        AuthorisationRequest request
            = parseAuthorisationRequest(session::decode(authorisationRequest(QString())).fields);
        QCOMPARE(request.role, u"PLAYER"_s);
        QVERIFY(request.hasPassword);
        QVERIFY(request.password.isEmpty());
        request = parseAuthorisationRequest(
            session::decode(authorisationRequest(everyTextByte())).fields);
        QCOMPARE(request.password, everyTextByte());
        request = parseAuthorisationRequest({ u"QT407213"_s, u"PLAYER"_s });
        QVERIFY(!request.hasPassword);
        QVERIFY(parseAuthorisationRequest({ u"QT407213"_s }).role.isEmpty());
    }

    void acceptance_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("maxPlayers");
        QTest::addColumn<bool>("inGame");
        QTest::newRow("game") << 1 << 1 << 8 << false;
        QTest::newRow("chat in game") << 2 << 7 << 2 << true;
    }
    void acceptance()
    {
        QFETCH(int, mode);
        QFETCH(int, slot);
        QFETCH(int, maxPlayers);
        QFETCH(bool, inGame);
        const QString message = acceptanceMessage(quint8(mode), slot, maxPlayers, inGame);
        const Message decoded = session::decode(message);
        QCOMPARE(decoded.kind, Kind::Token);
        QCOMPARE(decoded.fields.at(1), mode == 1 ? u"Game"_s : u"Chat"_s);
        const Decoded<Acceptance> parsed = parseAcceptance(decoded.fields);
        QCOMPARE(parsed.status, Status::Ok);
        QCOMPARE(int(parsed.value.overallMode), mode);
        QCOMPARE(int(parsed.value.slot), slot);
        QCOMPARE(int(parsed.value.maxPlayers), maxPlayers);
        QCOMPARE(parsed.value.inGame, inGame);
    }

    void acceptanceRefused_data()
    {
        QTest::addColumn<QStringList>("fields");
        const QString t = u"QT407213"_s;
        QTest::newRow("no flag") << QStringList { t, u"Game"_s, u"1"_s, u"8"_s };
        QTest::newRow("mode word") << QStringList { t, u"game"_s, u"1"_s, u"8"_s, u"0"_s };
        QTest::newRow("request echoed") << QStringList { t, u"PLAYER"_s, u"pw"_s };
        QTest::newRow("host's slot") << QStringList { t, u"Game"_s, u"0"_s, u"8"_s, u"0"_s };
        QTest::newRow("slot 8") << QStringList { t, u"Game"_s, u"8"_s, u"8"_s, u"0"_s };
        QTest::newRow("limit 0") << QStringList { t, u"Chat"_s, u"1"_s, u"0"_s, u"0"_s };
        QTest::newRow("flag word") << QStringList { t, u"Chat"_s, u"1"_s, u"8"_s, u"yes"_s };
    }
    void acceptanceRefused()
    {
        QFETCH(QStringList, fields);
        QVERIFY(!parseAcceptance(fields).ok());
        // Single player has no acceptance to send.
        QVERIFY(acceptanceMessage(3, 1, 8, false).isEmpty());
    }

    void startGame_data()
    {
        QTest::addColumn<QString>("peers");
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<bool>("ok");
        QTest::newRow("two peers")
            << u"10.0.0.5:23513%host.example-1.org:1"_s << u" /c1 /s2 /v1 /m /tx"_s << true;
        QTest::newRow("nothing") << QString() << QString() << true;
        QTest::newRow("empty port") << u"203.0.113.9:"_s << QString() << true;
        QTest::newRow("no colon") << u"10.0.0.5"_s << QString() << false;
        QTest::newRow("command in address") << u"a&calc:1"_s << QString() << false;
        QTest::newRow("port word") << u"10.0.0.5:x"_s << QString() << false;
        QTest::newRow("ampersand") << u"10.0.0.5:1"_s << u" /c1 & del x"_s << false;
        QTest::newRow("redirection") << u"10.0.0.5:1"_s << u">x"_s << false;
        QTest::newRow("variable") << u"10.0.0.5:1"_s << u"%PATH%"_s << false;
        QTest::newRow("line break") << u"10.0.0.5:1"_s << u"a\r\nb"_s << false;
    }
    void startGame()
    {
        QFETCH(QString, peers);
        QFETCH(QString, arguments);
        QFETCH(bool, ok);
        const Message message = session::decode(startGameMessage(peers, arguments));
        QCOMPARE(message.kind, Kind::StartGame);
        const Decoded<StartGame> parsed = parseStartGame(message.fields);
        QCOMPARE(parsed.ok(), ok);
        if (ok) {
            QCOMPARE(parsed.value.peerList, peers);
            QCOMPARE(parsed.value.arguments, arguments);
        }
        QCOMPARE(parseStartGame({ u"StartGame"_s, peers }).status, Status::MissingFields);
    }

    void transferWords_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("ok");
        QTest::newRow("plain") << u"dukedome.map"_s << true;
        QTest::newRow("spaces and bytes") << u"my map \u00e9.map"_s << true;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("folder") << u"maps/x.map"_s << false;
        QTest::newRow("up") << u"..\\x.map"_s << false;
        QTest::newRow("drive") << u"c:x.map"_s << false;
        QTest::newRow("wildcard") << u"*.map"_s << false;
        QTest::newRow("control") << u"a\tb.map"_s << false;
    }
    void transferWords()
    {
        QFETCH(QString, name);
        QFETCH(bool, ok);
        const QList<QPair<QString, Kind>> messages {
            { requestFileMessage(name), Kind::RequestFile },
            { okToGetMessage(name), Kind::OkToGet },
            { fileFinMessage(name), Kind::FileFin },
        };
        for (const auto &[text, kind] : messages) {
            const Message message = session::decode(text);
            QCOMPARE(message.kind, kind);
            const Decoded<QString> parsed = parseFileName(message.fields);
            QCOMPARE(parsed.ok(), ok);
            if (ok)
                QCOMPARE(parsed.value, name);
        }
    }

    void fileSizeReply()
    {
        Decoded<FileSizeReply> reply = parseFileSizeReply(session::fileSizeReply(10000));
        QCOMPARE(reply.status, Status::Ok);
        QVERIFY(reply.value.found);
        QCOMPARE(reply.value.length, qint64(10000));
        reply = parseFileSizeReply(FileNotFoundWord.toString());
        QCOMPARE(reply.status, Status::Ok);
        QVERIFY(!reply.value.found);
        QCOMPARE(parseFileSizeReply(u"FILESIZE"_s).status, Status::MissingFields);
        QCOMPARE(parseFileSizeReply(QString(u"FILESIZE"_s + L + u"-1"_s)).status,
                 Status::BadNumber);
        QCOMPARE(parseFileSizeReply(QString(u"FILESIZE"_s + L + u"big"_s)).status,
                 Status::BadNumber);
        QCOMPARE(parseFileSizeReply(u"MAPDATA"_s).status, Status::BadValue);
    }
};

QTEST_GUILESS_MAIN(TestSessionCodec)
#include "tst_sessioncodec.moc"
