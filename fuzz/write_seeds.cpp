// Writes the seed corpus of the fuzz targets: one real message of every type
// the session codec knows, made by the codec's own builders, and chat and
// system lines for the view. Run from the build folder:
//   build-fuzz/fuzz/write_seeds fuzz/corpus

#include "colouredtext.h"
#include "dispatchersteps.h"
#include "sessioncodec.h"
#include "sessionplayers.h"
#include "vlsession.h"
#include "wiretext.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstdio>

using namespace session;

namespace {

bool write(const QDir &folder, const QString &name, const QByteArray &bytes)
{
    QFile file(folder.filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        return false;
    }
    return true;
}

SessionPlayers samplePlayer()
{
    SessionPlayers player;
    player.IsActive = true;
    player.PlayerName = QStringLiteral("^4Duk^1e");
    player.FullName = QStringLiteral("Ana Ruiz");
    player.Location = QStringLiteral("52");
    player.Age = 31;
    player.Rating = -5;
    player.Bandwidth = 3;
    player.Email = QStringLiteral("ana@example.org");
    player.WebsiteURL = QStringLiteral("http://example.org/");
    player.VLVersion = QStringLiteral("2.0.13");
    player.PrivilegeLevel = 1;
    player.Comments = QStringLiteral("100% on; bring \"pipebombs\"");
    player.PassedSecurity = true;
    player.AvatarNum = 12;
    player.IPAddress = QStringLiteral("192.168.0.2");
    player.PortNumber = QStringLiteral("8501");
    player.LocalIP = QStringLiteral("10.0.0.7");
    player.LocalPortNumber = QStringLiteral("23513");
    player.DukeNukemPort = 2;
    return player;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    const QString codecName = QStringLiteral("fuzz_session_codec");
    const QString viewName = QStringLiteral("fuzz_coloured_text");
    const QString framerName = QStringLiteral("fuzz_session_framer");
    const QString dispatcherName = QStringLiteral("fuzz_session_dispatcher");
    if (!root.mkpath(codecName) || !root.mkpath(viewName) || !root.mkpath(framerName)
        || !root.mkpath(dispatcherName)) {
        std::fprintf(stderr, "cannot make the corpus folders\n");
        return 1;
    }
    const QDir codec(root.filePath(codecName));
    const QDir view(root.filePath(viewName));
    const QDir framer(root.filePath(framerName));
    const QDir dispatcher(root.filePath(dispatcherName));

    PlayerTable table;
    table[0] = samplePlayer();
    table[0].PlayerName = QStringLiteral("Host");
    table[3] = samplePlayer();
    VLSession session;
    session.Game = QStringLiteral("Mordane Port");
    session.ModTC = QStringLiteral("DUKE3D");
    session.Mode = 1;
    session.Difficulty = 2;
    session.Episode = 1;
    session.Level = 4;
    session.CurrentMap = QStringLiteral("DM-ARENA.MAP");
    session.CheckSum = 201;
    session.NumPlayers = 2;
    session.MaxPlayers = 8;
    session.CurrentPort = 3;

    const QString record = encodePlayerRecord(table.at(3));
    const QString styled = PTFS(255, QStringLiteral("Arial"), 10, true, false, false,
                                QStringLiteral("^1hi ^2there, get ^9ready"));
    const QString plainStyled
        = PTFS(-1, QString(), 8, false, true, true, QStringLiteral("<b>not bold</b> &amp;"));

    const struct
    {
        const char *name;
        QString text;
    } messages[] = {
        { "token-player", authorisationRequest(QStringLiteral("s3cret")) },
        { "token-nopassword", authorisationRequest(QString()) },
        { "token-file", buildMessage(Token, { RoleFile.toString() }) },
        { "accept-game", acceptanceMessage(1, 3, 8, false) },
        { "accept-chat", acceptanceMessage(2, 7, 4, true) },
        { "wrongpassword", WrongPasswordWord.toString() },
        { "serverfull", ServerFullWord.toString() },
        { "firstdetails", firstDetailsMessage(record) },
        { "playerdetails", playerDetailsMessage(record) },
        { "msg", chatMessage(3, styled) },
        { "msg-plain", chatMessage(0, plainStyled) },
        { "msgto", privateChatMessage({ 0, 2, 5 }, 3, styled) },
        { "startgame",
          startGameMessage(QStringLiteral("192.168.0.2:23513%host-b.example:23514"),
                           QStringLiteral("/v1 /l4 /c1 /q2 /t1")) },
        { "session-all", sessionStateMessage(0, table, session) },
        { "session-players", sessionStateMessage(1, table, session) },
        { "session-settings", sessionStateMessage(2, table, session) },
        { "requestfile", requestFileMessage(QStringLiteral("DM-ARENA.MAP")) },
        { "oktoget", okToGetMessage(QStringLiteral("DM-ARENA.MAP")) },
        { "filefin", fileFinMessage(QStringLiteral("DM-ARENA.MAP")) },
        { "ack", AckWord.toString() },
        { "filesize", fileSizeReply(123456) },
        { "filenotfound", FileNotFoundWord.toString() },
        // The records and lists on their own.
        { "record", record },
        { "styled", styled },
        { "maplist", buildMapInfo(mapInfoOf(session)) },
        { "namelist", buildPlayerNameList(table) },
        { "targetlist", buildTargetList({ 1, 4, 7 }) },
    };
    bool ok = true;
    for (const auto &message : messages)
        ok = write(codec, QString::fromLatin1(message.name), wire::toBytes(message.text)) && ok;

    // The framer's seeds: a control byte (bit 0 towards the client, bits 1
    // to 3 the number of piece lengths), the piece lengths, then a stream.
    const auto framerSeed
        = [](bool toClient, const QByteArray &pieces, const QStringList &stream) -> QByteArray {
        const char control = char((toClient ? 1 : 0) | (pieces.size() << 1));
        return QByteArray(1, control) + pieces + wire::toBytes(stream.join(QString()));
    };
    const QStringList toHost {
        authorisationRequest(QStringLiteral("s3cret")),
        firstDetailsMessage(record),
        chatMessage(3, styled),
        privateChatMessage({ 0, 2, 5 }, 3, styled),
        playerDetailsMessage(record),
        requestFileMessage(QStringLiteral("DM-ARENA.MAP")),
    };
    const QStringList toClient {
        acceptanceMessage(1, 3, 8, false),
        sessionStateMessage(0, table, session),
        chatMessage(0, plainStyled),
        startGameMessage(QStringLiteral("192.168.0.2:23513"), QStringLiteral("/v1 /l4")),
        sessionStateMessage(1, table, session),
        WrongPasswordWord.toString(),
    };
    const struct
    {
        const char *name;
        QByteArray bytes;
    } streams[] = {
        { "to-host", framerSeed(false, {}, toHost) },
        { "to-host-cut", framerSeed(false, QByteArray("\x05\x28\x5a", 3), toHost) },
        { "to-client", framerSeed(true, {}, toClient) },
        { "to-client-cut", framerSeed(true, QByteArray("\x03\x11\x3c\x01\x78", 5), toClient) },
        { "acks-and-rubbish",
          framerSeed(false, QByteArray(1, '\x01'),
                     { AckWord.toString(), AckWord.toString(), QStringLiteral("rubbish"),
                       chatMessage(1, styled) }) },
    };
    for (const auto &stream : streams)
        ok = write(framer, QString::fromLatin1(stream.name), stream.bytes) && ok;

    // The dispatcher's seeds: a settings byte (MaxPlayers less one, 8 for a
    // password, 16 for a chat session), then steps of a byte each (the
    // client, and the action times 8); a raw read has its length and bytes.
    using dispatcherfuzz::step;
    using enum dispatcherfuzz::Action;
    const auto raw = [](int client, const QString &message) -> QByteArray {
        const QByteArray bytes = wire::toBytes(message).left(255);
        return QByteArray(1, step(client, Raw)) + char(bytes.size()) + bytes;
    };
    const auto join = [](int client) -> QByteArray {
        return QByteArray(1, step(client, Authorise)) + step(client, FirstDetails);
    };
    const struct
    {
        const char *name;
        QByteArray bytes;
    } runs[] = {
        { "fill-leave-refill",
          '\x03' + join(1) + join(2) + join(3) + join(4) + step(2, Close) + join(4) + step(3, Reset)
              + step(1, NewDetails) },
        { "offers-and-time-limits",
          '\x0b' + QByteArray(1, step(0, Authorise)) + step(1, Authorise) + step(2, WrongPassword)
              + step(3, Authorise) + step(0, TimeOut) + step(2, TimeOut) + step(1, FirstDetails)
              + step(3, Authorise) + step(3, FirstDetails) + step(1, Kick) + step(4, TimeOut) },
        { "raw-messages",
          '\x17' + raw(5, authorisationRequest(QString())) + raw(5, firstDetailsMessage(record))
              + raw(5, chatMessage(1, styled)) + raw(5, privateChatMessage({ 0, 1 }, 1, styled))
              + raw(6, QStringLiteral("rubbish"))
              + raw(7, requestFileMessage(QStringLiteral("a.map")))
              + raw(5, playerDetailsMessage(record)) + step(5, Kick) },
        { "one-address",
          '\x07' + raw(0, QString()) + raw(3, QString()) + raw(6, QString()) + join(0) + join(6)
              + step(3, Authorise) + step(3, Close) + join(3) },
    };
    for (const auto &run : runs)
        ok = write(dispatcher, QString::fromLatin1(run.name), run.bytes) && ok;

    // The view's seeds: a choice byte (cap, return flag, style), an encoding
    // byte (1 for UTF-8), then the read.
    const auto viewSeed = [](char choice, char encoding, const QByteArray &read) -> QByteArray {
        return QByteArray(1, choice) + QByteArray(1, encoding) + read;
    };
    const struct
    {
        const char *name;
        QByteArray bytes;
    } lines[] = {
        { "msg",
          viewSeed(0x07, 0,
                   wire::toBytes(QString(chatMessage(3, styled)
                                         + buildMessage(u"", { table.at(3).PlayerName })))) },
        { "msg-markup", viewSeed(0x03, 0, wire::toBytes(chatMessage(0, plainStyled))) },
        { "msg-short",
          viewSeed(0x02, 0,
                   wire::toBytes(buildMessage(
                       u"Msg",
                       { QStringLiteral("7"), QStringLiteral("only the text\r\nand a line") }))) },
        { "msgto", viewSeed(0x05, 0, wire::toBytes(privateChatMessage({ 1, 2 }, 2, styled))) },
        { "master",
          viewSeed(
              0x06, 0,
              wire::toBytes(buildMessage(
                  u"Msg", { QStringLiteral("MS"), QStringLiteral("Lobby ^4closing\rsoon") }))) },
        { "system", viewSeed(0x1F, 0, "Player joined: ^3Duke\r\n\r\n^0back") },
        { "system-links",
          viewSeed(0x24, 1,
                   "<a href=\"http://x/\">link</a> <img src=\"y.png\"> <table><tr><td>x") },
        { "system-unicode",
          viewSeed(0x30, 1,
                   "line\xE2\x80\xA8"
                   "separator\xE2\x80\xA9"
                   "para\xEF\xBF\xBC"
                   "object\xEF\xB7\x90"
                   "frame") },
        { "format-plain", viewSeed(char(0xA1), 0, "^^12 plain\n^") },
        { "help", viewSeed(0x18, 0, wire::toBytes(ColourHelpText())) },
    };
    for (const auto &line : lines)
        ok = write(view, QString::fromLatin1(line.name), line.bytes) && ok;
    return ok ? 0 : 1;
}
