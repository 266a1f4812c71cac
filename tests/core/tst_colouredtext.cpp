#include "colouredtext.h"
#include "separators.h"
#include "sessionplayers.h"

#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFragment>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QColor ViewColour(1, 2, 3); // colour number 197121

// A chat view with a text colour no code uses, so "^0" is recognisable.
std::unique_ptr<QTextEdit> makeView()
{
    auto view = std::make_unique<QTextEdit>();
    QPalette palette = view->palette();
    palette.setColor(QPalette::Text, ViewColour);
    view->setPalette(palette);
    return view;
}

// The document as text, a "{colour number}" (or "{view}" for the view's
// current colour) wherever the colour changes and "\n" between lines.
QString describe(const QTextEdit &view)
{
    const int viewNumber = colourToNumber(view.palette().color(QPalette::Text));
    const QTextDocument *document = view.document();
    QString out;
    int current = -2;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block != document->begin())
            out += u'\n';
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int number = colourToNumber(fragment.charFormat().foreground().color());
            if (number != current) {
                out += number == viewNumber ? QStringLiteral("{view}")
                                            : u'{' + QString::number(number) + u'}';
                current = number;
            }
            out += fragment.text();
        }
    }
    return out;
}

struct Found
{
    bool valid = false;
    QTextCharFormat format;
    QTextBlockFormat block;
};

// The first fragment holding text, with its line's format.
Found findFragment(const QTextDocument *document, const QString &text)
{
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().text().contains(text))
                return { true, it.fragment().charFormat(), block.blockFormat() };
        }
    }
    return {};
}

QString styled(const QStringList &fields)
{
    return fields.join(sep::StyleSep);
}

QString family(const QTextCharFormat &format)
{
    const QStringList families = format.fontFamilies().toStringList();
    return families.isEmpty() ? QString() : families.first();
}

} // namespace

class TestColouredText : public QObject
{
    Q_OBJECT
    PlayerTable m_players;

private slots:
    void init()
    {
        m_players.reset(8);
        m_players[3].PlayerName = QStringLiteral("^2Name");
    }

    void colourNumbers()
    {
        QCOMPARE(colourFromNumber(46847), QColor(255, 182, 0));
        QCOMPARE(colourFromNumber(0), QColor(0, 0, 0));
        QCOMPARE(colourToNumber(QColor(0, 0, 172)), 11272192);
        QCOMPARE(colourToNumber(colourFromNumber(9868950)), 9868950);
        QVERIFY(!colourFromNumber(-1).isValid());
        QVERIFY(!colourFromNumber(16777216).isValid());
        QCOMPARE(colourToNumber(QColor()), -1);
    }

    void codes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("codes switch colour") << u"^4word^3word2"_s << u"{65535}word{65280}word2"_s;
        QTest::newRow("lone trailing caret") << u"word^"_s << u"{65280}word^"_s;
        QTest::newRow("caret and letter") << u"a^b c"_s << u"{65280}a^b c"_s;
        QTest::newRow("empty run between codes") << u"^1^2word"_s << u"{16711680}word"_s;
        QTest::newRow("caret before code") << u"^^1x"_s << u"{65280}^{255}x"_s;
        QTest::newRow("code alone") << u"^5"_s << QString();
        QTest::newRow("every code colour")
            << u"^1a^2b^3c^4d^5e^6f^7g^8h^9i"_s
            << u"{255}a{16711680}b{65280}c{65535}d{16711935}e{46847}f{11272192}g{9868950}h{16777215}i"_s;
        QTest::newRow("default colour") << u"a^0b"_s << u"{65280}a{view}b"_s;
        QTest::newRow("non-ASCII digit") << u"^\u0663x"_s << u"{65280}^\u0663x"_s;
        QTest::newRow("line breaks") << u"\r\nA\rB\nC"_s << u"\n{65280}A\nB\nC"_s;
    }

    void codes()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const auto view = makeView();
        AddCustomText(view.get(), text, 1, false);
        QCOMPARE(describe(*view), expected);
        QVERIFY(!view->toPlainText().contains(u'\r'));
    }

    void styleOutOfRangeAppendsNothing()
    {
        const auto view = makeView();
        for (int style : { -1, 9, 100 })
            AddCustomText(view.get(), u"\r\nlost"_s, style, true);
        QVERIFY(view->document()->isEmpty());
    }

    void systemStyles_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("colour");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("indented");
        QTest::newRow("0") << 0 << 16777215 << 8 << false << false;
        QTest::newRow("1") << 1 << 65280 << 8 << false << false;
        QTest::newRow("2") << 2 << 49152 << 7 << true << true;
        QTest::newRow("3") << 3 << 49344 << 7 << false << true;
        QTest::newRow("4") << 4 << 65535 << 8 << false << false;
        QTest::newRow("5") << 5 << 65280 << 7 << false << true;
        QTest::newRow("6") << 6 << 255 << 8 << false << false;
        QTest::newRow("7") << 7 << 16777215 << 8 << false << false;
        QTest::newRow("8") << 8 << 255 << 8 << false << true;
    }

    void systemStyles()
    {
        QFETCH(int, style);
        QFETCH(int, colour);
        QFETCH(int, size);
        QFETCH(bool, bold);
        QFETCH(bool, indented);
        const auto view = makeView();
        AddCustomText(view.get(), u"\r\nline"_s, style, true);
        QCOMPARE(view->toPlainText(), u"\nline\n"_s);

        const Found line = findFragment(view->document(), u"line"_s);
        QVERIFY(line.valid);
        QCOMPARE(colourToNumber(line.format.foreground().color()), colour);
        QCOMPARE(family(line.format), u"Arial"_s);
        QCOMPARE(line.format.fontPointSize(), qreal(size));
        QCOMPARE(line.format.fontWeight(), bold ? int(QFont::Bold) : int(QFont::Normal));
        QVERIFY(!line.format.fontItalic());
        QVERIFY(!line.format.fontUnderline());
        QCOMPARE(line.block.leftMargin(), indented ? 10.0 : 0.0);
    }

    void defaultColourIsReadWhenMet()
    {
        const auto view = makeView();
        AddCustomText(view.get(), u"^0a"_s, 1, false);
        QPalette palette = view->palette();
        palette.setColor(QPalette::Text, QColor(4, 5, 6));
        view->setPalette(palette);
        AddCustomText(view.get(), u"^0b"_s, 1, false);
        QCOMPARE(describe(*view), u"{197121}a{view}b"_s);
    }

    void unformattedKeepsFontAtEnd()
    {
        const auto view = makeView();
        FormatText(view.get(), true, u"a"_s, 255, false, u"Courier New"_s, 12.7, 1, 0, 0);
        FormatText(view.get(), false, u"b"_s, 65280);
        const Found b = findFragment(view->document(), u"b"_s);
        QVERIFY(b.valid);
        QCOMPARE(family(b.format), u"Courier New"_s);
        QCOMPARE(b.format.fontPointSize(), 12.0); // fraction cut off
        QCOMPARE(b.format.fontWeight(), int(QFont::Bold));
        QCOMPARE(describe(*view), u"{255}a{65280}b"_s);
    }

    void chatLineFromPlayer()
    {
        const auto view = makeView();
        AddText(view.get(), u"3"_s,
                styled({ u"16711935"_s, u"Courier New"_s, u"12"_s, u"-1"_s, u"0"_s, u"-1"_s,
                         u"hello ^4there"_s }),
                m_players);
        QCOMPARE(describe(*view),
                 u"\n{16711680}Name {255}says: \n{16711935}hello {65535}there\n"_s);

        const Found header = findFragment(view->document(), u"says: "_s);
        QVERIFY(header.valid);
        QCOMPARE(header.block.leftMargin(), 0.0);

        const Found text = findFragment(view->document(), u"hello"_s);
        QVERIFY(text.valid);
        QCOMPARE(text.block.leftMargin(), 10.0);
        QCOMPARE(family(text.format), u"Courier New"_s);
        QCOMPARE(text.format.fontPointSize(), 12.0);
        QCOMPARE(text.format.fontWeight(), int(QFont::Bold));
        QVERIFY(!text.format.fontItalic());
        QVERIFY(text.format.fontUnderline());
    }

    void chatLineFromMasterServer()
    {
        const auto view = makeView();
        AddText(view.get(), u"MS"_s, u"hi ^1you"_s, m_players);
        QCOMPARE(describe(*view), u"\n{65280}Master Server {255}says: \n{65535}hi {255}you\n"_s);
        const Found text = findFragment(view->document(), u"hi "_s);
        QVERIFY(text.valid);
        QCOMPARE(text.block.leftMargin(), 10.0);
        QCOMPARE(family(text.format), u"Arial"_s);
        QCOMPARE(text.format.fontPointSize(), 8.0);
        QCOMPARE(text.format.fontWeight(), int(QFont::Normal));
    }

    void hostileSender_data()
    {
        QTest::addColumn<QString>("player");
        for (const QString &player : { u"8"_s, u"-1"_s, u"abc"_s, QString(), u"3x"_s, u" 3"_s,
                                       u"+3"_s, u"99999999999"_s, u"\u0663"_s, u"ms"_s })
            QTest::newRow(qUtf8Printable(u'[' + player + u']')) << player;
    }

    void hostileSender()
    {
        QFETCH(QString, player);
        const auto view = makeView();
        AddText(view.get(), player, u"text"_s, m_players);
        QVERIFY(view->document()->isEmpty());
        QCOMPARE(m_players.size(), 8);
    }

    void peerStyleFallbacks_data()
    {
        // colour -1: the view's colour; size 0: the view's own size.
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("colour");
        QTest::addColumn<qreal>("size");
        const auto record = [](const QString &colour, const QString &size, const QString &text) {
            return styled({ colour, u"Arial"_s, size, u"0"_s, u"0"_s, u"0"_s, text });
        };
        QTest::newRow("no separators") << u"plain words"_s << u"plain words"_s << -1 << 0.0;
        QTest::newRow("three fields")
            << styled({ u"255"_s, u"Arial"_s, u"last"_s }) << u"last"_s << -1 << 0.0;
        QTest::newRow("bad numbers")
            << styled({ u"red"_s, u"Arial"_s, u"huge"_s, u"yes"_s, u"no"_s, u"x"_s, u"words"_s })
            << u"words"_s << -1 << 0.0;
        QTest::newRow("huge size")
            << record(u"255"_s, u"100000"_s, u"big"_s) << u"big"_s << 255 << 72.0;
        QTest::newRow("zero size")
            << record(u"255"_s, u"0"_s, u"tiny"_s) << u"tiny"_s << 255 << 6.0;
        QTest::newRow("negative size")
            << record(u"255"_s, u"-5"_s, u"neg"_s) << u"neg"_s << 255 << 6.0;
        QTest::newRow("infinite size")
            << record(u"255"_s, u"inf"_s, u"inf"_s) << u"inf"_s << 255 << 0.0;
        QTest::newRow("colour too big")
            << record(u"16777216"_s, u"9"_s, u"over"_s) << u"over"_s << -1 << 9.0;
        QTest::newRow("system colour")
            << record(u"-2147483640"_s, u"9"_s, u"sys"_s) << u"sys"_s << -1 << 9.0;
        QTest::newRow("extra fields")
            << record(u"65280"_s, u"9"_s, u"kept"_s + sep::StyleSep + u"dropped"_s) << u"kept"_s
            << 65280 << 9.0;
    }

    void peerStyleFallbacks()
    {
        QFETCH(QString, record);
        QFETCH(QString, shown);
        QFETCH(int, colour);
        QFETCH(qreal, size);
        const auto view = makeView();
        AddText(view.get(), u"3"_s, record, m_players);
        QCOMPARE(view->toPlainText(), u"\nName says: \n"_s + shown + u'\n');

        const Found text = findFragment(view->document(), shown);
        QVERIFY(text.valid);
        QCOMPARE(colourToNumber(text.format.foreground().color()),
                 colour < 0 ? colourToNumber(ViewColour) : colour);
        QCOMPARE(text.format.fontPointSize(), size);
        QVERIFY(text.format.fontWeight() != QFont::Bold);
        QCOMPARE(text.block.leftMargin(), 10.0);
    }

    void markupIsShownLiterally()
    {
        const auto view = makeView();
        m_players[2].PlayerName = u"<b>Boss</b>"_s;
        const QString line = u"<img src=\"x.png\"> & <a href='http://e'>link</a> \uFFFC"_s;
        AddText(view.get(), u"2"_s,
                styled({ u"255"_s, u"Arial"_s, u"9"_s, u"0"_s, u"0"_s, u"0"_s, line }), m_players);
        AddCustomText(view.get(), u"<i>sys</i>"_s, 1, true);

        const QString plain = view->toPlainText();
        QVERIFY(plain.contains(u"<b>Boss</b> says: "_s));
        QVERIFY(plain.contains(u"<img src=\"x.png\"> & <a href='http://e'>link</a>"_s));
        QVERIFY(plain.contains(u"<i>sys</i>"_s));
        QVERIFY(!plain.contains(QChar::ObjectReplacementCharacter));
        QVERIFY(!view->toHtml().contains(u"<img"_s));

        const QTextDocument *document = view->document();
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                QVERIFY(!format.isImageFormat());
                QVERIFY(!format.isAnchor());
                QVERIFY(format.fontWeight() != QFont::Bold);
                QVERIFY(!format.fontItalic());
            }
        }
    }

    void preparedViewCapsLines()
    {
        const auto view = makeView();
        prepareTextView(view.get());
        QVERIFY(view->isReadOnly());
        QVERIFY(!view->acceptRichText());
        QCOMPARE(view->document()->maximumBlockCount(), 5000);
        QVERIFY(!(view->textInteractionFlags() & Qt::LinksAccessibleByMouse));

        // A small cap drops lines at the top while a chat line goes in; the
        // newest line must keep its own look.
        view->document()->setMaximumBlockCount(4);
        for (int i = 0; i < 20; ++i)
            AddText(view.get(), u"3"_s,
                    styled({ u"255"_s, u"Arial"_s, u"9"_s, u"0"_s, u"0"_s, u"0"_s,
                             u"line "_s + QString::number(i) }),
                    m_players);
        QVERIFY(view->document()->blockCount() <= 4);
        QVERIFY(view->toPlainText().endsWith(u"line 19\n"_s));
        const Found last = findFragment(view->document(), u"line 19"_s);
        QVERIFY(last.valid);
        QCOMPARE(last.block.leftMargin(), 10.0);
        QCOMPARE(colourToNumber(last.format.foreground().color()), 255);
    }

    void followsNewestLineUnlessScrolledUp()
    {
        const auto view = makeView();
        prepareTextView(view.get());
        view->resize(240, 120);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        QScrollBar *bar = view->verticalScrollBar();

        for (int i = 0; i < 40; ++i) {
            AddCustomText(view.get(), u"\r\nline "_s + QString::number(i), 1, true);
            QCOMPARE(bar->value(), bar->maximum());
        }
        QVERIFY(bar->maximum() > 0);

        // Scrolled up to read: appending leaves the position alone.
        bar->setValue(0);
        const int maximum = bar->maximum();
        AddText(view.get(), u"3"_s, u"while reading"_s, m_players);
        AddCustomText(view.get(), u"\r\nmore"_s, 1, true);
        QCOMPARE(bar->value(), 0);
        QVERIFY(bar->maximum() > maximum);

        // Back at the end: following again.
        bar->setValue(bar->maximum());
        AddText(view.get(), u"MS"_s, u"newest"_s, m_players);
        QCOMPARE(bar->value(), bar->maximum());
    }

    void colourHelp()
    {
        const QString expected = u"\r\nColour List : use ^X (Where X is Number)"
                                 "\r\n1 = ^1Red^0\r\n2 = ^2Blue^0\r\n3 = ^3Green^0"
                                 "\r\n4 = ^4Yellow^0\r\n5 = ^5Pink^0\r\n6 = ^6Orange^0"
                                 "\r\n7 = ^7Navy Blue^0\r\n8 = ^8Grey^0\r\n9 = ^9White^0"
                                 "\r\n0 = ^0Default Colour^0\r\n"_s;
        QCOMPARE(ColourHelpText(), expected);

        const auto view = makeView();
        AddCustomText(view.get(), ColourHelpText(), 1, false);
        QCOMPARE(describe(*view),
                 u"\n{65280}Colour List : use ^X (Where X is Number)\n1 = {255}Red"
                 "\n{view}2 = {16711680}Blue\n{view}3 = {65280}Green\n{view}4 = {65535}Yellow"
                 "\n{view}5 = {16711935}Pink\n{view}6 = {46847}Orange"
                 "\n{view}7 = {11272192}Navy Blue\n{view}8 = {9868950}Grey"
                 "\n{view}9 = {16777215}White\n{view}0 = Default Colour\n"_s);
    }
};

QTEST_MAIN(TestColouredText)
#include "tst_colouredtext.moc"
