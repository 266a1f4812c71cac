#include "colouredtext.h"

#include "separators.h"
#include "sessionplayers.h"

#include <QAbstractTextDocumentLayout>
#include <QPalette>
#include <QScrollBar>
#include <QStringList>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr int IndentPixels = 10; // 150 twips
constexpr int MinSize = 1;
constexpr int MaxSize = 72;
constexpr int MinPeerSize = 6; // smallest a peer may ask for and stay readable
constexpr int PlayerSlots = 8;

const QString CrLf = QStringLiteral("\r\n");
const QString SystemFont = QStringLiteral("Arial");

struct SystemStyle
{
    int colour;
    int size;
    bool bold;
    bool indent;
};

constexpr SystemStyle SystemStyles[] = {
    { 16777215, 8, false, false }, // 0
    { 65280, 8, false, false }, // 1
    { 49152, 7, true, true }, // 2
    { 49344, 7, false, true }, // 3
    { 65535, 8, false, false }, // 4
    { 65280, 7, false, true }, // 5
    { 255, 8, false, false }, // 6
    { 16777215, 8, false, false }, // 7
    { 255, 8, false, true }, // 8
};

// "^1" to "^9"; "^0" is the view's colour.
constexpr int CodeColours[]
    = { -1, 255, 16711680, 65280, 65535, 16711935, 46847, 11272192, 9868950, 16777215 };

QColor viewColour(const QTextEdit *rtb)
{
    return rtb->palette().color(QPalette::Text);
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Characters that the document would take as structure rather than text.
QString sanitised(QString line)
{
    for (QChar &c : line) {
        const char16_t u = c.unicode();
        if (u == QChar::ObjectReplacementCharacter || u == 0xFDD0 || u == 0xFDD1 || u == 0)
            c = QChar::ReplacementCharacter;
    }
    return line;
}

// CR LF, CR, LF and the paragraph separator all end a line.
QStringList splitLines(const QString &text)
{
    QStringList lines;
    QString current;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator) {
            lines.append(current);
            current.clear();
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
        } else {
            current.append(c);
        }
    }
    lines.append(current);
    return lines;
}

// Inserts one run at the end of the document in format, and gives every line
// it touches the indent (or none).
void appendRun(QTextDocument *document, const QString &text, const QTextCharFormat &format,
               bool indent)
{
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    // One edit, so that the block cap drops lines at the top only once the
    // run is in and its positions stay valid meanwhile.
    cursor.beginEditBlock();
    const int start = cursor.position();

    const QStringList lines = splitLines(text);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            cursor.insertBlock(cursor.blockFormat(), format);
        if (!lines.at(i).isEmpty())
            cursor.insertText(sanitised(lines.at(i)), format);
    }

    QTextBlockFormat margin;
    margin.setLeftMargin(indent ? IndentPixels : 0);
    QTextCursor run(document);
    run.setPosition(start);
    run.setPosition(cursor.position(), QTextCursor::KeepAnchor);
    run.mergeBlockFormat(margin);
    cursor.endEditBlock();
}

// The look a run gets on top of the view's defaults; unset members keep the
// view's own.
struct Look
{
    std::optional<QString> family;
    std::optional<int> size;
    std::optional<bool> bold;
    std::optional<bool> italic;
    std::optional<bool> underline;
};

QTextCharFormat formatOf(const Look &look)
{
    QTextCharFormat format;
    if (look.family)
        format.setFontFamilies(QStringList { *look.family });
    if (look.size)
        format.setFontPointSize(*look.size);
    if (look.bold)
        format.setFontWeight(*look.bold ? QFont::Bold : QFont::Normal);
    if (look.italic)
        format.setFontItalic(*look.italic);
    if (look.underline)
        format.setFontUnderline(*look.underline);
    return format;
}

// The font found at the end of the view, without anything but font
// properties (no anchors, no objects).
QTextCharFormat formatAtEnd(QTextDocument *document)
{
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat format;
    format.setFont(cursor.charFormat().font(), QTextCharFormat::FontPropertiesSpecifiedOnly);
    return format;
}

// look null: keep the font at the insertion point. An invalid colour is the
// view's text colour.
void appendCoded(QTextEdit *rtb, const QString &text, const QColor &colour, bool indent,
                 const Look *look)
{
    if (text.isEmpty())
        return;

    struct Run
    {
        qsizetype from;
        qsizetype to;
        QColor colour;
    };
    QList<Run> runs;
    qsizetype runStart = 0;
    QColor runColour = colour.isValid() ? colour : viewColour(rtb);
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != u'^' || !isAsciiDigit(text.at(i + 1)))
            continue;
        if (i > 0)
            runs.append({ runStart, i, runColour });
        const int digit = text.at(i + 1).unicode() - u'0';
        runColour = digit == 0 ? viewColour(rtb) : colourFromNumber(CodeColours[digit]);
        runStart = i + 2;
        ++i;
    }
    runs.append({ runStart, text.size(), runColour });

    QTextDocument *document = rtb->document();
    for (const Run &run : std::as_const(runs)) {
        QTextCharFormat format = look ? formatOf(*look) : formatAtEnd(document);
        format.setForeground(run.colour);
        appendRun(document, text.mid(run.from, run.to - run.from), format, indent);
    }
}

// Follows the end of the view while the user has not scrolled away from it.
class FollowEnd
{
public:
    explicit FollowEnd(QTextEdit *rtb)
        : m_rtb(rtb)
    {
        const QScrollBar *bar = rtb->verticalScrollBar();
        m_follow = bar->value() >= bar->maximum();
    }
    ~FollowEnd()
    {
        if (!m_follow)
            return;
        // Finishes the layout, so that the range covers the new lines.
        m_rtb->document()->documentLayout()->documentSize();
        QScrollBar *bar = m_rtb->verticalScrollBar();
        bar->setValue(bar->maximum());
    }
    FollowEnd(const FollowEnd &) = delete;
    FollowEnd &operator=(const FollowEnd &) = delete;

private:
    QTextEdit *m_rtb;
    bool m_follow = true;
};

int clampedSize(double size, int lowest)
{
    if (!std::isfinite(size))
        return std::max(8, lowest);
    return int(std::clamp(std::trunc(size), double(lowest), double(MaxSize)));
}

std::optional<bool> flagField(const QString &field)
{
    bool ok = false;
    const qint64 value = field.toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return value != 0;
}

// The slot named by a peer, or -1: decimal digits only, within the table.
int playerSlot(const QString &player)
{
    if (player.isEmpty() || player.size() > 2)
        return -1;
    for (QChar c : player) {
        if (!isAsciiDigit(c))
            return -1;
    }
    const int slot = player.toInt();
    return slot < PlayerSlots ? slot : -1;
}

void appendHeader(QTextEdit *rtb, const QString &name)
{
    appendCoded(rtb, CrLf % name % QStringLiteral(" ^1says: ") % CrLf, colourFromNumber(255), false,
                nullptr);
}

void appendStyledText(QTextEdit *rtb, const QString &styled)
{
    const QStringList fields = styled.split(sep::StyleSep);
    if (fields.size() < 7) {
        const Look plain;
        appendCoded(rtb, fields.last() % CrLf, QColor(), true, &plain);
        return;
    }

    bool ok = false;
    const qint64 number = fields.at(0).toLongLong(&ok);
    const QColor colour = ok ? colourFromNumber(number) : QColor();

    Look look;
    if (!fields.at(1).trimmed().isEmpty())
        look.family = fields.at(1).trimmed();
    const double size = fields.at(2).toDouble(&ok);
    if (ok && std::isfinite(size))
        look.size = clampedSize(size, MinPeerSize);
    look.bold = flagField(fields.at(3));
    look.italic = flagField(fields.at(4));
    look.underline = flagField(fields.at(5));

    appendCoded(rtb, fields.at(6) % CrLf, colour, true, &look);
}

} // namespace

QColor colourFromNumber(qint64 number)
{
    if (number < 0 || number > 0xFFFFFF)
        return QColor();
    return QColor(int(number & 0xFF), int((number >> 8) & 0xFF), int((number >> 16) & 0xFF));
}

int colourToNumber(const QColor &colour)
{
    if (!colour.isValid())
        return -1;
    const QColor rgb = colour.toRgb();
    return rgb.red() + 256 * rgb.green() + 65536 * rgb.blue();
}

void prepareTextView(QTextEdit *rtb, int maxBlocks)
{
    rtb->setReadOnly(true);
    rtb->setAcceptRichText(false);
    rtb->setUndoRedoEnabled(false);
    rtb->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    rtb->document()->setMaximumBlockCount(maxBlocks);
}

void FormatText(QTextEdit *rtb, bool Formatted, const QString &Text, qint64 Colour, bool Indent,
                const QString &Font, double Size, int Bold, int Italics, int Underline)
{
    if (rtb == nullptr || Text.isEmpty())
        return;
    FollowEnd follow(rtb);
    if (!Formatted) {
        appendCoded(rtb, Text, colourFromNumber(Colour), Indent, nullptr);
        return;
    }
    Look look;
    look.family = Font;
    look.size = clampedSize(Size, MinSize);
    look.bold = Bold != 0;
    look.italic = Italics != 0;
    look.underline = Underline != 0;
    appendCoded(rtb, Text, colourFromNumber(Colour), Indent, &look);
}

void AddText(QTextEdit *rtb, const QString &Player, const QString &Text, const PlayerTable &players)
{
    if (rtb == nullptr || Text.isEmpty())
        return;

    if (Player == u"MS") {
        FollowEnd follow(rtb);
        appendHeader(rtb, QStringLiteral("^3Master Server"));
        Look look;
        look.family = SystemFont;
        look.size = 8;
        look.bold = false;
        look.italic = false;
        look.underline = false;
        appendCoded(rtb, Text % CrLf, colourFromNumber(65535), true, &look);
        return;
    }

    const int slot = playerSlot(Player);
    if (slot < 0)
        return;
    FollowEnd follow(rtb);
    appendHeader(rtb, players.at(slot).PlayerName);
    appendStyledText(rtb, Text);
}

void AddCustomText(QTextEdit *rtb, const QString &Message, int MessageType, bool AddReturn)
{
    if (rtb == nullptr || MessageType < 0 || MessageType >= int(std::size(SystemStyles)))
        return;
    const SystemStyle &style = SystemStyles[MessageType];
    FormatText(rtb, true, AddReturn ? QString(Message % CrLf) : Message, style.colour, style.indent,
               SystemFont, style.size, style.bold ? 1 : 0, 0, 0);
}

QString ColourHelpText()
{
    static const char *const lines[] = {
        "Colour List : use ^X (Where X is Number)",
        "1 = ^1Red^0",
        "2 = ^2Blue^0",
        "3 = ^3Green^0",
        "4 = ^4Yellow^0",
        "5 = ^5Pink^0",
        "6 = ^6Orange^0",
        "7 = ^7Navy Blue^0",
        "8 = ^8Grey^0",
        "9 = ^9White^0",
        "0 = ^0Default Colour^0",
    };
    QString help;
    for (const char *line : lines)
        help += CrLf + QString::fromLatin1(line);
    return help + CrLf;
}
