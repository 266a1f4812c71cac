#include "intervaltimer.h"
#include "xpframe.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

using namespace std::chrono_literals;

namespace {

const QColor kFormColour(0xc0, 0xd0, 0xe0);
const QColor kOwnColour(0xa0, 0x20, 0x30);

// A window with a colour of its own, so that "the parent's colour" is
// told apart from every style default.
std::unique_ptr<QWidget> makeForm()
{
    auto form = std::make_unique<QWidget>();
    QPalette palette = form->palette();
    palette.setColor(QPalette::Window, kFormColour);
    form->setPalette(palette);
    form->setAutoFillBackground(true);
    form->resize(320, 240);
    return form;
}

void useStyle(QWidget *root, QStyle *style)
{
    root->setStyle(style);
    for (QWidget *child : root->findChildren<QWidget *>())
        child->setStyle(style);
}

// Paints the widget at one device pixel per unit, whatever the screen's scale.
QImage render(QWidget *widget)
{
    QImage image(widget->size(), QImage::Format_ARGB32);
    image.fill(Qt::magenta);
    widget->render(&image);
    return image;
}

// Exposes the tick length, so that many seconds pass in a few milliseconds.
class FastIntervalTimer : public IntervalTimer
{
public:
    FastIntervalTimer() { setTickLength(2ms); }
};

// Runs the timer for a number of its seconds and notes at which second each
// Timer event came. The inner one-second clock is watched directly, so the
// count does not depend on how fast the machine is.
struct TimerRun
{
    QList<int> firedAt;
    int seconds = 0;
};

void runSeconds(IntervalTimer &timer, TimerRun &run, int seconds)
{
    auto *clock = timer.findChild<QTimer *>();
    QVERIFY(clock != nullptr);
    const int stopAt = run.seconds + seconds;
    const QMetaObject::Connection fired = QObject::connect(
        &timer, &IntervalTimer::Timer, [&run] { run.firedAt.append(run.seconds + 1); });
    const QMetaObject::Connection ticked = QObject::connect(clock, &QTimer::timeout, [&] {
        if (++run.seconds == stopAt)
            timer.setEnabled(false);
    });
    const auto cleanup = qScopeGuard([&] {
        timer.setEnabled(false);
        QObject::disconnect(fired);
        QObject::disconnect(ticked);
    });
    timer.setEnabled(true);
    QTRY_COMPARE_WITH_TIMEOUT(run.seconds, stopAt, 20000);
    QVERIFY(!clock->isActive());
}

} // namespace

class TestControls : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QStyle> m_classic;
    std::unique_ptr<QStyle> m_themed;

    QStyle *styleNamed(const QString &name) const
    {
        return name == u"classic" ? m_classic.get() : m_themed.get();
    }

private slots:
    void initTestCase()
    {
        m_classic.reset(QStyleFactory::create(QStringLiteral("Windows")));
        m_themed.reset(QStyleFactory::create(QStringLiteral("Fusion")));
        QVERIFY(m_classic && m_themed);
    }

    // ---- XPFrame ----

    void frameDefaultsAndPropertyNames()
    {
        XPFrame frame;
        QCOMPARE(frame.property("Border").toBool(), true);
        QCOMPARE(frame.property("Enabled").toBool(), true);
        QCOMPARE(frame.property("UseParentColor").toBool(), true);
        QCOMPARE(frame.property("IsOnTabStrip").toBool(), false);
        QCOMPARE(frame.property("Caption").toString(), QString());

        // Until set, the caption is the name the form gives the frame.
        QSignalSpy captionSpy(&frame, &XPFrame::captionChanged);
        frame.setObjectName(QStringLiteral("fraNetwork"));
        QCOMPARE(frame.caption(), QStringLiteral("fraNetwork"));
        QCOMPARE(captionSpy.count(), 1);
        QVERIFY(frame.setProperty("Caption", QStringLiteral("My &Network")));
        frame.setObjectName(QStringLiteral("fraRenamed"));
        QCOMPARE(frame.caption(), QStringLiteral("My &Network"));
        QCOMPARE(frame.title(), QStringLiteral("My &Network"));

        // A title set the way a form sets it counts as a chosen caption.
        XPFrame formFrame;
        formFrame.setObjectName(QStringLiteral("fraA"));
        formFrame.setTitle(QStringLiteral("Player"));
        formFrame.setObjectName(QStringLiteral("fraB"));
        QCOMPARE(formFrame.caption(), QStringLiteral("Player"));

        frame.setStyle(m_themed.get());
        QCOMPARE(frame.property("Themed").toBool(), true);
        frame.setStyle(m_classic.get());
        QCOMPARE(frame.property("Themed").toBool(), false);
        QVERIFY(!frame.setProperty("Themed", true));
    }

    void backColourRules_data()
    {
        QTest::addColumn<QString>("style");
        QTest::addColumn<bool>("border");
        QTest::addColumn<bool>("onTabStrip");
        QTest::addColumn<bool>("useParent");
        QTest::addColumn<QColor>("stored");
        QTest::addColumn<QColor>("expected");

        const QColor white(Qt::white);
        QTest::newRow("themed tab page, borderless, own colour stored")
            << "themed" << false << true << false << kOwnColour << white;
        QTest::newRow("themed tab page with border and parent colour")
            << "themed" << true << true << true << kOwnColour << white;
        QTest::newRow("classic tab page takes the parent's colour")
            << "classic" << true << true << true << kOwnColour << kFormColour;
        QTest::newRow("classic parent colour, borderless")
            << "classic" << false << false << true << kOwnColour << kFormColour;
        QTest::newRow("themed parent colour")
            << "themed" << true << false << true << kOwnColour << kFormColour;
        QTest::newRow("classic tab page, own colour")
            << "classic" << true << true << false << kOwnColour << kOwnColour;
        QTest::newRow("themed own colour")
            << "themed" << false << false << false << kOwnColour << kOwnColour;
    }

    void backColourRules()
    {
        QFETCH(QString, style);
        QFETCH(bool, border);
        QFETCH(bool, onTabStrip);
        QFETCH(bool, useParent);
        QFETCH(QColor, stored);
        QFETCH(QColor, expected);

        auto form = makeForm();
        auto *frame = new XPFrame(form.get());
        QSignalSpy colourSpy(frame, &XPFrame::backColorChanged);
        frame->setGeometry(10, 10, 200, 120);
        useStyle(form.get(), styleNamed(style));
        frame->setProperty("BackColor", stored);
        frame->setProperty("Border", border);
        frame->setProperty("IsOnTabStrip", onTabStrip);
        frame->setProperty("UseParentColor", useParent);

        // Above the border's top line, so a style's own frame fill does not count.
        const QImage painted = render(frame);
        QCOMPARE(painted.pixelColor(frame->width() - 4, 1), expected);
        QCOMPARE(frame->property("BackColor").value<QColor>(), expected);
        QVERIFY(!colourSpy.isEmpty());
        QCOMPARE(colourSpy.last().at(0).value<QColor>(), expected);
    }

    void defaultColourIsButtonFace()
    {
        XPFrame frame;
        frame.setUseParentColor(false);
        QCOMPARE(frame.backColor(), frame.palette().color(QPalette::Button));
        frame.setBackColor(kOwnColour);
        frame.resetBackColor();
        QCOMPARE(frame.backColor(), frame.palette().color(QPalette::Button));
    }

    void innerFrameFollowsOuterFrame()
    {
        auto form = makeForm();
        auto *page = new XPFrame(form.get());
        page->setBorder(false);
        page->setIsOnTabStrip(true);
        page->setGeometry(0, 0, 320, 240);
        // A plain container in between paints nothing of its own.
        auto *holder = new QWidget(page);
        holder->setGeometry(10, 10, 300, 200);
        auto *group = new XPFrame(holder);
        group->setGeometry(10, 10, 200, 150);
        useStyle(form.get(), m_themed.get());
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));

        QCOMPARE(group->backColor(), QColor(Qt::white));
        QSignalSpy colourSpy(group, &XPFrame::backColorChanged);
        page->setIsOnTabStrip(false);
        QTRY_VERIFY(!colourSpy.isEmpty());
        QCOMPARE(colourSpy.last().at(0).value<QColor>(), kFormColour);
        QCOMPARE(render(group).pixelColor(group->width() - 4, 1), kFormColour);
    }

    void marginsFollowTheBorder_data()
    {
        QTest::addColumn<QString>("style");
        QTest::newRow("classic") << "classic";
        QTest::newRow("themed") << "themed";
    }

    void marginsFollowTheBorder()
    {
        QFETCH(QString, style);
        auto form = makeForm();
        auto *frame = new XPFrame(form.get());
        frame->setCaption(QStringLiteral("&Server Options"));
        auto *layout = new QVBoxLayout(frame);
        layout->setContentsMargins(0, 0, 0, 0);
        auto *edit = new QLineEdit(frame);
        edit->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(edit);
        frame->setGeometry(10, 10, 240, 160);
        useStyle(form.get(), styleNamed(style));
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));

        // With a border, the caption line stays clear of the controls.
        const int captionHeight = frame->fontMetrics().height();
        QVERIFY2(edit->geometry().top() >= captionHeight,
                 qPrintable(QString::number(edit->geometry().top())));
        QVERIFY(edit->geometry().left() > 0);
        QVERIFY(frame->minimumSizeHint().width()
                > frame->fontMetrics().horizontalAdvance(QStringLiteral("Server Options")));

        frame->setBorder(false);
        QCOMPARE(frame->contentsMargins(), QMargins());
        // A new caption or style makes the group box recompute its margins.
        frame->setCaption(QStringLiteral("Other"));
        frame->setStyle(m_classic.get());
        frame->setStyle(m_themed.get());
        QCOMPARE(frame->contentsMargins(), QMargins());
        // A form sets the title straight on the group box.
        frame->setTitle(QStringLiteral("Third"));
        QCOMPARE(frame->contentsMargins(), QMargins());
        QTRY_COMPARE(edit->geometry(), frame->rect());

        frame->setBorder(true);
        QTRY_VERIFY(edit->geometry().top() >= captionHeight);
    }

    void classicCaptionCutsTheTopLine_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shown");
        QTest::newRow("empty caption: unbroken line") << QString() << QString();
        QTest::newRow("plain") << "Network"
                               << "Network";
        QTest::newRow("access key") << "&Network"
                                    << "Network";
        QTest::newRow("doubled ampersand shows one") << "Tom && Jerry"
                                                     << "Tom & Jerry";
    }

    void classicCaptionCutsTheTopLine()
    {
        QFETCH(QString, caption);
        QFETCH(QString, shown);
        auto form = makeForm();
        auto *frame = new XPFrame(form.get());
        frame->setCaption(caption);
        frame->setGeometry(0, 0, 260, 100);
        useStyle(form.get(), m_classic.get());

        const QImage image = render(frame);
        const QFontMetrics metrics = frame->fontMetrics();
        const int line = metrics.height() / 2;
        const auto isLine = [&](int x) { return image.pixelColor(x, line) != kFormColour; };
        if (shown.isEmpty()) {
            for (int x = 0; x < frame->width(); ++x)
                QVERIFY2(isLine(x), qPrintable(QStringLiteral("x = %1").arg(x)));
            return;
        }
        // The line stops 2 pixels before the text and resumes 2 after it;
        // the text itself crosses the line's row.
        const int textEnd = 9 + metrics.horizontalAdvance(shown);
        for (int x : { 0, 6, textEnd + 2, frame->width() - 1 })
            QVERIFY2(isLine(x), qPrintable(QStringLiteral("x = %1").arg(x)));
        for (int x : { 7, 8, textEnd, textEnd + 1 })
            QVERIFY2(!isLine(x), qPrintable(QStringLiteral("x = %1").arg(x)));
    }

    void accessKeyIsUnderlined_data()
    {
        QTest::addColumn<QString>("style");
        QTest::newRow("classic") << "classic";
        QTest::newRow("themed") << "themed";
    }

    void accessKeyIsUnderlined()
    {
        QFETCH(QString, style);
        auto form = makeForm();
        auto *plain = new XPFrame(form.get());
        plain->setCaption(QStringLiteral("Network"));
        auto *keyed = new XPFrame(form.get());
        keyed->setCaption(QStringLiteral("&Network"));
        for (XPFrame *frame : { plain, keyed })
            frame->resize(200, 80);
        useStyle(form.get(), styleNamed(style));

        const QImage withoutKey = render(plain);
        const QImage withKey = render(keyed);
        QRect differs;
        for (int y = 0; y < withKey.height(); ++y)
            for (int x = 0; x < withKey.width(); ++x)
                if (withKey.pixel(x, y) != withoutKey.pixel(x, y))
                    differs |= QRect(x, y, 1, 1);
        // Only a mark under the "N" tells the two apart.
        QVERIFY(!differs.isEmpty());
        const QFontMetrics metrics = plain->fontMetrics();
        QVERIFY2(differs.width() <= metrics.horizontalAdvance(u'N') + 2,
                 qPrintable(QStringLiteral("%1 wide").arg(differs.width())));
        QVERIFY(differs.top() >= metrics.ascent() - 2);
    }

    void disablingStopsTheControlsInside_data()
    {
        QTest::addColumn<QString>("style");
        QTest::newRow("classic") << "classic";
        QTest::newRow("themed") << "themed";
    }

    void disablingStopsTheControlsInside()
    {
        QFETCH(QString, style);
        auto form = makeForm();
        auto *frame = new XPFrame(form.get());
        frame->setCaption(QStringLiteral("LAN Settings"));
        frame->setGeometry(10, 10, 200, 100);
        auto *edit = new QLineEdit(frame);
        edit->setGeometry(10, 30, 100, 24);
        useStyle(form.get(), styleNamed(style));
        const QImage enabledLook = render(frame);

        QSignalSpy enabledSpy(frame, &XPFrame::enabledChanged);
        QVERIFY(frame->setProperty("Enabled", false));
        QCOMPARE(frame->property("Enabled").toBool(), false);
        QVERIFY(!edit->isEnabled());
        QCOMPARE(enabledSpy.count(), 1);
        QCOMPARE(enabledSpy.last().at(0).toBool(), false);

        // The caption greys out.
        const QImage disabledLook = render(frame);
        const int captionHeight = frame->fontMetrics().height();
        bool captionChanged = false;
        for (int y = 0; y < captionHeight && !captionChanged; ++y)
            for (int x = 9; x < 9 + frame->fontMetrics().horizontalAdvance(frame->caption()); ++x)
                captionChanged |= enabledLook.pixel(x, y) != disabledLook.pixel(x, y);
        QVERIFY(captionChanged);

        frame->setProperty("Enabled", true);
        QVERIFY(edit->isEnabled());
        QCOMPARE(render(frame), enabledLook);
    }

    void accessKeyMovesFocusInside()
    {
        auto form = makeForm();
        auto *outside = new QLineEdit(form.get());
        outside->setGeometry(5, 5, 100, 22);

        auto *network = new XPFrame(form.get());
        network->setCaption(QStringLiteral("&Network"));
        network->setGeometry(5, 40, 150, 100);
        auto *disabledEdit = new QLineEdit(network);
        disabledEdit->setEnabled(false);
        disabledEdit->setGeometry(10, 25, 100, 22);
        auto *firstEdit = new QLineEdit(network);
        firstEdit->setGeometry(10, 55, 100, 22);

        auto *mode = new XPFrame(form.get());
        mode->setCaption(QStringLiteral("&Mode"));
        mode->setGeometry(160, 40, 150, 100);
        auto *wan = new QRadioButton(QStringLiteral("WAN"), mode);
        wan->setGeometry(10, 25, 100, 22);
        auto *lan = new QRadioButton(QStringLiteral("LAN"), mode);
        lan->setGeometry(10, 55, 100, 22);
        lan->setChecked(true);

        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        outside->setFocus();
        QTRY_VERIFY(outside->hasFocus());

        QTest::keyClick(form.get(), Qt::Key_N, Qt::AltModifier);
        QTRY_VERIFY(firstEdit->hasFocus());
        // Among option buttons the chosen one takes the focus.
        QTest::keyClick(form.get(), Qt::Key_M, Qt::AltModifier);
        QTRY_VERIFY(lan->hasFocus());

        // A disabled frame gives nothing the focus.
        outside->setFocus();
        network->setEnabled(false);
        QTest::keyClick(form.get(), Qt::Key_N, Qt::AltModifier);
        QVERIFY(outside->hasFocus());
        network->setEnabled(true);

        // A new caption brings its own access key and drops the old one.
        network->setCaption(QStringLiteral("&LAN Settings"));
        QTest::keyClick(form.get(), Qt::Key_N, Qt::AltModifier);
        QVERIFY(outside->hasFocus());
        QTest::keyClick(form.get(), Qt::Key_L, Qt::AltModifier);
        QTRY_VERIFY(firstEdit->hasFocus());
    }

    // ---- IntervalTimer ----

    void timerDefaults()
    {
        IntervalTimer timer;
        auto *clock = timer.findChild<QTimer *>();
        QVERIFY(clock != nullptr);
        QCOMPARE(clock->interval(), 1000);
        QCOMPARE(timer.property("Enabled").toBool(), false);
        QCOMPARE(timer.property("Interval").toInt(), 0);
        QVERIFY(!clock->isActive());

        QVERIFY(timer.setProperty("Enabled", true));
        QVERIFY(clock->isActive());
        QCOMPARE(timer.property("Enabled").toBool(), true);
        QVERIFY(timer.setProperty("Enabled", false));
        QVERIFY(!clock->isActive());

        timer.setInterval(-5);
        QCOMPARE(timer.interval(), 0);
    }

    void timerFiresEveryIntervalSeconds_data()
    {
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QList<int>>("firedAt");
        QTest::newRow("interval 0 fires every second") << 0 << 4 << QList<int> { 1, 2, 3, 4 };
        QTest::newRow("interval 1") << 1 << 3 << QList<int> { 1, 2, 3 };
        QTest::newRow("interval 3") << 3 << 10 << QList<int> { 3, 6, 9 };
        QTest::newRow("interval 60") << 60 << 150 << QList<int> { 60, 120 };
    }

    void timerFiresEveryIntervalSeconds()
    {
        QFETCH(int, interval);
        QFETCH(int, seconds);
        QFETCH(QList<int>, firedAt);
        FastIntervalTimer timer;
        timer.setInterval(interval);
        TimerRun run;
        runSeconds(timer, run, seconds);
        QCOMPARE(run.firedAt, firedAt);
        QCOMPARE(timer.tickCount(), firedAt.isEmpty() ? seconds : seconds - firedAt.last());
    }

    void countSurvivesDisabling()
    {
        FastIntervalTimer timer;
        timer.setInterval(10);
        QSignalSpy enabledSpy(&timer, &IntervalTimer::enabledChanged);
        TimerRun run;
        runSeconds(timer, run, 4);
        QCOMPARE(timer.tickCount(), 4);
        QVERIFY(!timer.isEnabled());
        QCOMPARE(enabledSpy.count(), 2);
        runSeconds(timer, run, 8);
        QCOMPARE(run.firedAt, QList<int> { 10 });
        QCOMPARE(timer.tickCount(), 2);
    }

    void intervalChangeKeepsTheCount_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::addColumn<QList<int>>("firedAt");
        // Five seconds have passed when the interval changes.
        QTest::newRow("shorter than the count fires at the next second")
            << 10 << 3 << QList<int> { 6, 9, 12 };
        QTest::newRow("longer counts on from the ticks so far") << 3 << 8 << QList<int> { 3, 11 };
    }

    void intervalChangeKeepsTheCount()
    {
        QFETCH(int, before);
        QFETCH(int, after);
        QFETCH(QList<int>, firedAt);
        FastIntervalTimer timer;
        timer.setInterval(before);
        TimerRun run;
        runSeconds(timer, run, 5);
        QSignalSpy intervalSpy(&timer, &IntervalTimer::intervalChanged);
        timer.setInterval(after);
        QCOMPARE(intervalSpy.count(), 1);
        runSeconds(timer, run, 8);
        QCOMPARE(run.firedAt, firedAt);
    }

    void realTimeOneSecond()
    {
        IntervalTimer timer;
        timer.setInterval(1);
        QSignalSpy spy(&timer, &IntervalTimer::Timer);
        QElapsedTimer elapsed;
        elapsed.start();
        timer.setEnabled(true);
        QVERIFY(spy.wait(5000));
        // A whole second passes first; a coarse timer may run a little early.
        QVERIFY2(elapsed.elapsed() >= 900, qPrintable(QString::number(elapsed.elapsed())));
        QCOMPARE(spy.count(), 1);
        QVERIFY(spy.wait(5000));
        QCOMPARE(spy.count(), 2);
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
