// libFuzzer harness for the session codec: every parser takes arbitrary
// bytes, and whatever a parser accepts must survive its own encoder.

#include "separators.h"
#include "sessioncodec.h"
#include "sessionplayers.h"
#include "wiretext.h"

#include <cstddef>
#include <cstdint>

using namespace session;

namespace {

void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// A record inside a message never holds MsgSep (the message was split at
// it), and the encoders drop it from texts; such inputs are left out.
void recordRoundTrip(const QString &text)
{
    if (text.contains(sep::MsgSep))
        return;
    const Decoded<SessionPlayers> record = decodePlayerRecord(text);
    if (!record.ok())
        return;
    const Decoded<SessionPlayers> again = decodePlayerRecord(encodePlayerRecord(record.value));
    require(again.ok());
    require(again.value.PlayerName == record.value.PlayerName);
    require(again.value.Bandwidth == record.value.Bandwidth);
    require(again.value.DukeNukemPort == record.value.DukeNukemPort);
}

void mapRoundTrip(const QString &text)
{
    if (text.contains(sep::MsgSep))
        return;
    const Decoded<MapInfo> map = parseMapInfo(text);
    if (!map.ok())
        return;
    const Decoded<MapInfo> again = parseMapInfo(buildMapInfo(map.value));
    require(again.ok());
    require(again.value.CurrentMap == map.value.CurrentMap);
    require(again.value.Level == map.value.Level);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    const Message message = session::decode(bytes);
    require(message.kind == Kind::Empty || !message.fields.isEmpty());
    const QStringList &fields = message.fields;

    // Every message parser, whatever the type word said.
    (void)parseSessionState(fields);
    (void)parseAcceptance(fields);
    (void)parseAuthorisationRequest(fields);
    (void)parseDetails(fields);
    (void)parseChat(fields);
    (void)parsePrivateChat(fields);
    (void)parseStartGame(fields);
    (void)parseFileName(fields);

    // The records and lists on their own.
    const QString text = wire::toText(bytes);
    recordRoundTrip(text);
    mapRoundTrip(text);
    (void)decodeStyledText(text);
    (void)parseTargetList(text);
    (void)parsePlayerNameList(text);
    (void)parseFileSizeReply(text);
    for (const QString &field : fields) {
        recordRoundTrip(field);
        mapRoundTrip(field);
    }
    return 0;
}
