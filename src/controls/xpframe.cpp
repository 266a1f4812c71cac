#include "xpframe.h"

#include <QEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <qdrawutil.h>

namespace {

// Classic layout: the caption starts 9 pixels in and the border's top line
// stops 2 pixels short of it on both sides; the etched edge is 2 wide.
constexpr int kCaptionLeft = 9;
constexpr int kCaptionGap = 2;
constexpr int kEdge = 2;

// The text as drawn with its access key: "&x" shows "x", "&&" shows "&".
QString shownText(const QString &caption)
{
    QString shown;
    shown.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == u'&' && ++i == caption.size())
            break;
        shown.append(caption.at(i));
    }
    return shown;
}

} // namespace

XPFrame::XPFrame(QWidget *parent)
    : QGroupBox { parent }
    , m_nameCaption { QString() }
{
    // Not an opaque widget: with UseParentColor the frame's colour follows
    // its ancestors, so it must repaint whenever they do.
    connect(this, &QObject::objectNameChanged, this, &XPFrame::followObjectName);
    applyMargins();
}

XPFrame::~XPFrame() = default;

QColor XPFrame::backColor() const
{
    if (m_isOnTabStrip && isThemed())
        return QColor(Qt::white);
    if (m_useParentColor) {
        const QColor behind = colourBehind();
        if (behind.isValid())
            return behind;
    }
    return m_backColor.isValid() ? m_backColor : palette().color(QPalette::Button);
}

void XPFrame::setBackColor(const QColor &colour)
{
    if (colour == m_backColor)
        return;
    m_backColor = colour;
    update();
    reportBackColor();
}

void XPFrame::setBorder(bool border)
{
    if (border == m_border)
        return;
    m_border = border;
    lookChanged();
    emit borderChanged(border);
}

void XPFrame::setUseParentColor(bool use)
{
    if (use == m_useParentColor)
        return;
    m_useParentColor = use;
    update();
    reportBackColor();
    emit useParentColorChanged(use);
}

void XPFrame::setIsOnTabStrip(bool onTabStrip)
{
    if (onTabStrip == m_isOnTabStrip)
        return;
    m_isOnTabStrip = onTabStrip;
    update();
    reportBackColor();
    emit isOnTabStripChanged(onTabStrip);
}

void XPFrame::setCaption(const QString &caption)
{
    m_nameCaption.reset();
    if (caption == title())
        return;
    setTitle(caption);
    lookChanged();
    emit captionChanged(caption);
}

bool XPFrame::isThemed() const
{
    const QStyle *current = style();
    if (const auto *proxy = qobject_cast<const QProxyStyle *>(current))
        current = proxy->baseStyle();
    if (current == nullptr)
        return false;
    const bool classic = current->name().compare(u"windows", Qt::CaseInsensitive) == 0
        || qstrcmp(current->metaObject()->className(), "QWindowsStyle") == 0;
    return !classic;
}

QSize XPFrame::minimumSizeHint() const
{
    if (!m_border)
        return QWidget::minimumSizeHint();
    if (isThemed())
        return QGroupBox::minimumSizeHint();
    const QSize caption = captionSize();
    const QSize own(kCaptionLeft + caption.width() + kCaptionGap + kEdge,
                    caption.height() + kEdge + kEdge);
    return own.expandedTo(QWidget::minimumSizeHint());
}

bool XPFrame::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Shortcut:
        // The only shortcut a frame holds is its caption's access key.
        if (isCheckable())
            break;
        focusFirstChild();
        return true;
    case QEvent::ContentsRectChange:
        // The group box recomputes its margins from the style on title and
        // style changes; the frame's own layout wins.
        applyMargins();
        break;
    case QEvent::ParentChange:
        update();
        reportBackColor();
        break;
    default:
        break;
    }
    return QGroupBox::event(event);
}

void XPFrame::changeEvent(QEvent *event)
{
    QGroupBox::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        update();
        emit enabledChanged(isEnabled());
        break;
    case QEvent::StyleChange:
    case QEvent::FontChange:
        lookChanged();
        break;
    case QEvent::PaletteChange:
        update();
        reportBackColor();
        break;
    default:
        break;
    }
}

void XPFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor background = backColor();
    painter.fillRect(rect(), background);
    reportBackColor();
    if (!m_border)
        return;
    if (isThemed()) {
        QStyleOptionGroupBox option;
        initStyleOption(&option);
        style()->drawComplexControl(QStyle::CC_GroupBox, &option, &painter, this);
    } else {
        paintClassic(painter, background);
    }
}

void XPFrame::paintClassic(QPainter &painter, const QColor &background)
{
    const QSize caption = captionSize();
    const int top = caption.height() / 2;
    QStyleOption option;
    option.initFrom(this);
    qDrawShadeRect(&painter, QRect(0, top, width(), height() - top), option.palette, true, 1, 0);

    const QString text = title();
    if (text.isEmpty())
        return;
    painter.fillRect(
        QRect(kCaptionLeft - kCaptionGap, 0, caption.width() + 2 * kCaptionGap, caption.height()),
        background);
    const QRect captionRect(kCaptionLeft, 0, caption.width(), caption.height());
    int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic
        | Qt::TextDontClip;
    if (!style()->styleHint(QStyle::SH_UnderlineShortcut, &option, this))
        flags |= Qt::TextHideMnemonic;
    painter.setFont(font());
    if (isEnabled()) {
        painter.setPen(option.palette.color(QPalette::WindowText));
        painter.drawText(captionRect, flags, text);
        return;
    }
    // Embossed: a highlight copy one pixel down and right under shadow text.
    painter.setPen(option.palette.color(QPalette::Light));
    painter.drawText(captionRect.translated(1, 1), flags, text);
    painter.setPen(option.palette.color(QPalette::Dark));
    painter.drawText(captionRect, flags, text);
}

QColor XPFrame::colourBehind() const
{
    // The first ancestor that paints its own background decides what shows
    // through; a frame inside a frame follows the outer frame's colour.
    for (const QWidget *widget = parentWidget(); widget != nullptr;
         widget = widget->parentWidget()) {
        if (const auto *frame = qobject_cast<const XPFrame *>(widget))
            return frame->backColor();
        if (widget->isWindow() || widget->autoFillBackground())
            return widget->palette().color(widget->backgroundRole());
    }
    return {};
}

QSize XPFrame::captionSize() const
{
    QString shown = shownText(title());
    if (shown.isEmpty())
        shown = QStringLiteral(" ");
    const QFontMetrics metrics = fontMetrics();
    return { metrics.horizontalAdvance(shown), metrics.height() };
}

QMargins XPFrame::wantedMargins() const
{
    if (!m_border)
        return {};
    if (isThemed()) {
        QStyleOptionGroupBox option;
        initStyleOption(&option);
        const QRect contents = style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                       QStyle::SC_GroupBoxContents, this);
        return { contents.left() - option.rect.left(), contents.top() - option.rect.top(),
                 option.rect.right() - contents.right(), option.rect.bottom() - contents.bottom() };
    }
    return { kEdge, captionSize().height() + kEdge, kEdge, kEdge };
}

void XPFrame::applyMargins()
{
    const QMargins wanted = wantedMargins();
    if (contentsMargins() != wanted)
        setContentsMargins(wanted);
}

void XPFrame::lookChanged()
{
    applyMargins();
    updateGeometry();
    update();
    reportBackColor();
}

void XPFrame::reportBackColor()
{
    const QColor colour = backColor();
    if (colour == m_reportedColour)
        return;
    m_reportedColour = colour;
    emit backColorChanged(colour);
}

void XPFrame::followObjectName()
{
    // A title set straight on the group box (as a form does) is a caption too.
    if (!m_nameCaption || *m_nameCaption != title()) {
        m_nameCaption.reset();
        return;
    }
    m_nameCaption = objectName();
    if (*m_nameCaption == title())
        return;
    setTitle(*m_nameCaption);
    lookChanged();
    emit captionChanged(*m_nameCaption);
}

void XPFrame::focusFirstChild()
{
    if (!isEnabled())
        return;
    // Like the platform's group boxes: a checked option button inside wins,
    // else the first control in tab order that can take the focus.
    QWidget *first = nullptr;
    for (QWidget *widget = nextInFocusChain(); widget != this;
         widget = widget->nextInFocusChain()) {
        if (!isAncestorOf(widget) || !widget->isEnabled() || !widget->isVisibleTo(this)
            || (widget->focusPolicy() & Qt::TabFocus) != Qt::TabFocus)
            continue;
        const auto *radio = qobject_cast<const QRadioButton *>(widget);
        if (radio != nullptr && radio->isChecked()) {
            first = widget;
            break;
        }
        if (first == nullptr)
            first = widget;
    }
    if (first != nullptr)
        first->setFocus(Qt::ShortcutFocusReason);
}
