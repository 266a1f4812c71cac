#pragma once

#include <QColor>
#include <QString>

class PlayerTable;
class QTextEdit;

// Appending to the chat and log views. Text may carry colour codes: "^"
// followed by an ASCII digit switches the colour of what follows; "^0" is the
// view's own text colour (its palette's Text role) at the moment the code is
// met. Everything is inserted as plain text with formats, never as markup.
//
// Each of the append functions keeps the newest line in sight when the view
// was scrolled to its end before, and leaves the scroll position alone when
// the user has scrolled up.

// Colour numbers are red + 256 * green + 65536 * blue. Numbers outside
// 0..16777215 give an invalid colour.
[[nodiscard]] QColor colourFromNumber(qint64 number);
// The colour number of colour, alpha ignored; -1 for an invalid colour.
[[nodiscard]] int colourToNumber(const QColor &colour);

// Makes rtb a read-only log that keeps at most maxBlocks lines, takes no
// rich-text paste and offers no link interaction.
void prepareTextView(QTextEdit *rtb, int maxBlocks = 5000);

// Appends Text at the end of rtb, interpreting its colour codes. Colour is
// the colour number of the text before the first code (an invalid number
// means the view's text colour). Indent gives each run's lines a 10-pixel
// left margin. With Formatted, each run gets Font, Size (whole points,
// fraction cut off, kept within 1..72), and bold, italic and underline where
// the flag is non-zero; without it, the runs keep the font found at the end
// of the view. CR LF, CR and LF start a new line.
void FormatText(QTextEdit *rtb, bool Formatted, const QString &Text, qint64 Colour,
                bool Indent = false, const QString &Font = QString(), double Size = 0, int Bold = 0,
                int Italics = 0, int Underline = 0);

// Appends a chat line: a header naming the sender, then the styled text
// (colour, font, size, bold, italic, underline and the text, joined by
// sep::StyleSep) indented in the sender's look. Player is the sender's slot
// in players, 0 to 7 in decimal, or "MS" for a master
// server; any other Player appends nothing. A record that is short or holds
// bad numbers falls back to the view's own look for the affected attributes;
// a record with fewer than seven fields shows only its last field. A
// peer's size is kept within 6..72 points.
void AddText(QTextEdit *rtb, const QString &Player, const QString &Text,
             const PlayerTable &players);

// Appends a system line in style MessageType (0 to 8; any other style appends
// nothing), followed by CR LF when AddReturn is set.
void AddCustomText(QTextEdit *rtb, const QString &Message, int MessageType, bool AddReturn);

// The colour-code help with its codes, each line starting with CR LF and the
// whole ending with CR LF. Show it with AddCustomText(rtb, ColourHelpText(), 1,
// false), as it already carries its closing line break.
[[nodiscard]] QString ColourHelpText();
