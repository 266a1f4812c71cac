// libFuzzer harness for the chat view: peer text and system lines appended
// with colour codes to a real QTextEdit. Nothing may crash, the view keeps
// its line cap, no markup becomes structure (links, images, frames, lists),
// and the document holds exactly the text that was given, colour codes
// consumed and line breaks turned into lines.
//
// Input: byte 0 chooses the view and the call, byte 1 the text encoding, the
// rest is one read. A "Msg" or "MsgTo" read goes to AddText with its sender
// and styled-text fields as they are (a field after them names the sender);
// anything else is a system line for AddCustomText or, for styles 9 to 15,
// FormatText without formats.

#include "colouredtext.h"
#include "fuzzcheck.h"
#include "separators.h"
#include "sessionplayers.h"
#include "wiretext.h"

#include <QApplication>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFrame>

#include <cstddef>
#include <cstdint>

namespace {

const QString CrLf = QStringLiteral("\r\n");
constexpr char16_t BlockBreak = QChar::ParagraphSeparator;

// Line caps: small ones make every append drop lines at the top.
constexpr int Caps[] = { 1, 2, 3, 4, 8, 16, 64, 5000 };

// What the document should hold after text is appended: "^" and a digit
// start a new run and are not shown; within a run CR LF, CR, LF and the
// paragraph separator end a line; characters that the document would take
// as structure are shown as the replacement character.
QString shown(const QString &text)
{
    QStringList runs { QString() };
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'^' && i + 1 < text.size() && text.at(i + 1).isDigit()
            && text.at(i + 1).unicode() <= u'9') {
            runs.append(QString());
            ++i;
        } else {
            runs.last().append(text.at(i));
        }
    }
    QString result;
    for (const QString &run : std::as_const(runs)) {
        for (qsizetype i = 0; i < run.size(); ++i) {
            const char16_t c = run.at(i).unicode();
            if (c == u'\r' && i + 1 < run.size() && run.at(i + 1) == u'\n') {
                result.append(BlockBreak);
                ++i;
            } else if (c == u'\r' || c == u'\n' || c == BlockBreak) {
                result.append(BlockBreak);
            } else if (c == 0 || c == QChar::ObjectReplacementCharacter || c == 0xFDD0
                       || c == 0xFDD1) {
                result.append(QChar::ReplacementCharacter);
            } else {
                result.append(QChar(c));
            }
        }
    }
    return result;
}

// The last cap lines of text.
QString lastLines(const QString &text, int cap)
{
    const QStringList lines = text.split(BlockBreak);
    return lines.mid(qMax(qsizetype(0), lines.size() - cap)).join(BlockBreak);
}

// Only plain runs with character formats: no anchor, image or other object,
// no list, table or frame.
void requirePlain(const QTextDocument &document)
{
    FUZZ_REQUIRE(document.rootFrame()->childFrames().isEmpty());
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        FUZZ_REQUIRE(block.textList() == nullptr);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            FUZZ_REQUIRE(!format.isAnchor() && format.anchorHref().isEmpty());
            FUZZ_REQUIRE(format.objectType() == QTextFormat::NoObject);
            FUZZ_REQUIRE(!format.isImageFormat());
        }
    }
}

constexpr int SlotCount = 8;

// True for a sender field that names a slot: one or two ASCII digits, 0 to 7.
bool namesSlot(const QString &player)
{
    if (player.isEmpty() || player.size() > 2)
        return false;
    for (QChar c : player) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return player.toInt() < SlotCount;
}

// What AddText appends for a styled text: its last field when it has fewer
// than seven, else its seventh, then a line break.
QString styledTextShown(const QString &styled)
{
    const QStringList fields = styled.split(sep::StyleSep);
    return shown((fields.size() < 7 ? fields.last() : fields.at(6)) + CrLf);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Its own arguments, so that Qt takes none of libFuzzer's.
    static int argc = 1;
    static char name[] = "fuzz_coloured_text";
    static char *argv[] = { name, nullptr };
    static QApplication application(argc, argv);
    return 0;
}

namespace {

// One view for all inputs (a new widget per input would cost most of the
// time), emptied before each.
QTextEdit &freshView(int cap)
{
    static QTextEdit *view = new QTextEdit;
    view->clear();
    prepareTextView(view, cap);
    // Lets Qt run its timers (font cache clean-up) and deferred work.
    QCoreApplication::processEvents();
    return *view;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const quint8 choice = data[0];
    const bool utf8 = (data[1] & 1) != 0;
    const QByteArrayView bytes(data + 2, qsizetype(size - 2));
    // Peers send Windows-1252; settings and local texts may hold any character.
    const QString text = utf8 ? QString::fromUtf8(bytes) : wire::toText(bytes);

    const int cap = Caps[choice & 7];
    const bool addReturn = (choice & 8) != 0;
    const int style = choice >> 4;

    QTextEdit &view = freshView(cap);
    AddCustomText(&view, QStringLiteral("Welcome^2 here"), 0, true);
    const QString before = view.document()->toRawText();

    QString appended;
    const QStringList fields = text.split(sep::MsgSep);
    const QString &type = fields.constFirst();
    if (type == u"Msg" || type == u"MsgTo") {
        const qsizetype at = type == u"MsgTo" ? 2 : 1;
        const QString player = fields.value(at);
        const QString styled = fields.value(at + 1);
        const QString name = fields.value(at + 2);
        PlayerTable players;
        players.reset(SlotCount);
        for (int slot = 0; slot < SlotCount; ++slot)
            players[slot].PlayerName = name;
        AddText(&view, player, styled, players);
        if (!styled.isEmpty()) {
            if (player == u"MS") {
                appended = shown(CrLf + QStringLiteral("^3Master Server ^1says: ") + CrLf)
                    + shown(styled + CrLf);
            } else if (namesSlot(player)) {
                appended = shown(CrLf + name + QStringLiteral(" ^1says: ") + CrLf)
                    + styledTextShown(styled);
            }
        }
    } else if (style <= 8) {
        AddCustomText(&view, text, style, addReturn);
        appended = shown(addReturn ? text + CrLf : text);
    } else {
        FormatText(&view, false, text, qint64(style - 12) * 5592405, addReturn);
        appended = shown(text);
    }

    const QTextDocument &document = *view.document();
    FUZZ_REQUIRE(document.blockCount() <= cap);
    FUZZ_REQUIRE(document.toRawText() == lastLines(before + appended, cap));
    requirePlain(document);
    return 0;
}
