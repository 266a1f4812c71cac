// libFuzzer harness for the session framer: arbitrary bytes as a
// connection's receive buffer, read in either direction.
//
// Input: one control byte (bit 0: towards the client; bits 1 to 3: how many
// piece lengths follow), the piece lengths (one byte each), then the buffer.
// The buffer is framed whole, and again as the network might deliver it: in
// those pieces, each held back at its end as a connection does between
// reads, the last taken whole.

#include "fuzzcheck.h"
#include "separators.h"
#include "sessioncodec.h"
#include "wiretext.h"

#include <cstddef>
#include <cstdint>

using namespace session;

namespace {

// The text a message was cut from.
QString textOf(const Message &message)
{
    return message.fields.join(sep::MsgSep);
}

QString textOf(const QList<Message> &messages)
{
    QString text;
    for (const Message &message : messages)
        text += textOf(message);
    return text;
}

bool sameMessages(const QList<Message> &a, const QList<Message> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a.at(i).kind != b.at(i).kind || a.at(i).fields != b.at(i).fields)
            return false;
    }
    return true;
}

bool isByteText(QStringView text)
{
    qint64 value = 0;
    return parseNumber(text, 0, 255, value) && QString::number(value) == text;
}

// Fields after the type word in that direction, -1 for an unknown word.
int fieldCount(QStringView type, Direction direction, QStringView infoType)
{
    if (type == RequestFileWord || type == OkToGetWord || type == FileFinWord
        || type == u"FirstDetails" || type == u"PlayerDetails")
        return 1;
    if (type == AckWord || type == WrongPasswordWord || type == ServerFullWord)
        return 0;
    if (type == Token)
        return direction == Direction::ToHost ? 2 : 4;
    if (type == u"Msg" || type == u"StartGame")
        return 2;
    if (type == u"MsgTo")
        return 3;
    if (type == u"Session") {
        if (infoType == u"0")
            return 6;
        if (infoType == u"1" || infoType == u"2")
            return 5;
    }
    return -1;
}

// A message as a peer's builder writes it, one whose end does not depend on
// where a read stops: a known type word with its own number of fields (a
// lone "2" for an acknowledgement, whose run grows with every "2" after
// it), and where the framer may take a last field at the end of a read as
// whole (the state message's port, the acceptance's flag, a player record),
// exactly the text a builder writes there, so that no shorter piece of it
// also looks whole. Free text ends only where the next type word stands,
// so more fields than the type has will do for those, but not fewer: a bare
// type word is data that does not start a message.
bool isSound(const Message &message, Direction direction)
{
    const QStringList &fields = message.fields;
    const QString &type = fields.constFirst();
    const int count = fieldCount(type, direction, fields.value(1));
    if (count < 0)
        return false;
    const QString &last = fields.constLast();
    if (type == u"Session")
        return fields.size() == count + 1 && last.size() == 1;
    if (type == Token && direction == Direction::ToClient)
        return fields.size() == count + 1 && (last == u"0" || last == u"-1");
    if (type == u"FirstDetails" || type == u"PlayerDetails") {
        const QList<QStringView> items = QStringView(last).split(sep::DetailSep);
        return fields.size() == count + 1 && items.size() == RecordFieldCount
            && isByteText(items.constLast());
    }
    return fields.size() > count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const Direction direction = (data[0] & 1) != 0 ? Direction::ToClient : Direction::ToHost;
    const size_t cuts = qMin(size_t((data[0] >> 1) & 7), size - 1);
    const uint8_t *const pieces = data + 1;
    const QString buffer
        = wire::toText(QByteArrayView(data + 1 + cuts, qsizetype(size - 1 - cuts)));

    // Taken whole, the buffer is consumed to its end, every character once.
    const Framed whole = frame(buffer, direction, Tail::Take);
    FUZZ_REQUIRE(whole.consumed == buffer.size());
    FUZZ_REQUIRE(textOf(whole.messages) == buffer);
    for (const Message &message : whole.messages) {
        FUZZ_REQUIRE(!message.fields.isEmpty() && !textOf(message).isEmpty());
        FUZZ_REQUIRE(message.kind == classify(message.fields.constFirst()));
        // What the framer cut out is one message on its own: nothing after
        // it moved its end.
        const Framed alone = frame(textOf(message), direction, Tail::Take);
        FUZZ_REQUIRE(sameMessages(alone.messages, { message }));
    }

    // Held, it takes the same messages less at most the last, which then
    // ended the buffer.
    const Framed held = frame(buffer, direction, Tail::Hold);
    FUZZ_REQUIRE(held.consumed <= whole.consumed);
    FUZZ_REQUIRE(textOf(held.messages) == buffer.first(held.consumed));
    const qsizetype waiting = whole.messages.size() - held.messages.size();
    FUZZ_REQUIRE(waiting == 0 || waiting == 1);
    FUZZ_REQUIRE(sameMessages(held.messages, whole.messages.first(held.messages.size())));
    FUZZ_REQUIRE(waiting == 1 || held.consumed == buffer.size());

    // Read in pieces, the rest of each read carried to the next.
    QList<Message> read;
    QString carried;
    qsizetype at = 0;
    for (size_t i = 0; i <= cuts; ++i) {
        const qsizetype length
            = i < cuts ? qMin(qsizetype(pieces[i]), buffer.size() - at) : buffer.size() - at;
        carried += QStringView(buffer).mid(at, length);
        at += length;
        const Framed framed = frame(carried, direction, i < cuts ? Tail::Hold : Tail::Take);
        FUZZ_REQUIRE(textOf(framed.messages) == carried.first(framed.consumed));
        read += framed.messages;
        carried.remove(0, framed.consumed);
    }
    FUZZ_REQUIRE(carried.isEmpty());
    FUZZ_REQUIRE(textOf(read) == buffer);

    bool sound = true;
    for (const Message &message : whole.messages)
        sound = sound && isSound(message, direction);
    if (sound)
        FUZZ_REQUIRE(sameMessages(read, whole.messages));
    return 0;
}
