#include "artwork.h"

#include "paintedicons.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace artwork {

namespace {

const QColor kAmberLight(0xff, 0xd2, 0x4a);
const QColor kAmber(0xf5, 0xa0, 0x1a);
const QColor kAmberDark(0xc4, 0x5c, 0x00);

// The splash layout, in pixels of a 411 by 176 picture.
constexpr qreal kEmblemCentreX = 86;
constexpr qreal kEmblemRadius = 64;
constexpr qreal kTextLeft = 172;

QPointF polar(const QPointF &centre, qreal radius, qreal degrees)
{
    const qreal radians = qDegreesToRadians(degrees);
    return centre + QPointF(radius * std::cos(radians), -radius * std::sin(radians));
}

// One blade of the trefoil: a 60 degree ring sector.
QPainterPath blade(const QPointF &centre, qreal inner, qreal outer, qreal middleDegrees)
{
    const qreal start = middleDegrees - 30;
    QPainterPath path;
    path.arcMoveTo(QRectF(centre.x() - outer, centre.y() - outer, 2 * outer, 2 * outer), start);
    path.arcTo(QRectF(centre.x() - outer, centre.y() - outer, 2 * outer, 2 * outer), start, 60);
    path.arcTo(QRectF(centre.x() - inner, centre.y() - inner, 2 * inner, 2 * inner), start + 60,
               -60);
    path.closeSubpath();
    return path;
}

QPainterPath wordMark(const QRectF &box)
{
    QFont font;
    font.setFamilies({ QStringLiteral("Arial Black"), QStringLiteral("Impact"),
                       QStringLiteral("DejaVu Sans"), QStringLiteral("Nimbus Sans"),
                       QStringLiteral("Arial") });
    font.setWeight(QFont::Black);
    font.setPixelSize(100);
    font.setLetterSpacing(QFont::PercentageSpacing, 106);
    QPainterPath path;
    path.addText(0, 0, font, QStringLiteral("VELKOR"));
    // Whatever font the system has, the mark fills the same box.
    const QRectF bounds = path.boundingRect();
    const qreal scale = qMin(box.width() / bounds.width(), box.height() / bounds.height());
    QTransform transform;
    transform.translate(box.left(), box.bottom());
    transform.scale(scale, scale);
    transform.translate(-bounds.left(), -bounds.bottom());
    return transform.map(path);
}

} // namespace

void drawEmblem(QPainter &p, const QRectF &rect)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c = rect.center();
    const qreal r = qMin(rect.width(), rect.height()) / 2;

    // Crosshair ring with its four ticks.
    QPen ring(kAmber, r * 0.075);
    ring.setCapStyle(Qt::FlatCap);
    p.setPen(ring);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r * 0.80, r * 0.80);
    QPen tick(kAmberLight, r * 0.075);
    tick.setCapStyle(Qt::FlatCap);
    p.setPen(tick);
    for (int i = 0; i < 4; ++i) {
        const qreal angle = 90.0 * i;
        p.drawLine(polar(c, r * 0.66, angle), polar(c, r * 0.99, angle));
    }

    // The trefoil: three blades and a hub, one blade pointing down.
    QRadialGradient fill(c - QPointF(r * 0.15, r * 0.2), r * 0.8);
    fill.setColorAt(0, kAmberLight);
    fill.setColorAt(0.6, kAmber);
    fill.setColorAt(1, kAmberDark);
    QPainterPath symbol;
    for (const qreal middle : { 30.0, 150.0, 270.0 })
        symbol.addPath(blade(c, r * 0.17, r * 0.58, middle));
    symbol.addEllipse(c, r * 0.11, r * 0.11);
    p.setPen(QPen(QColor(0x5a, 0x2a, 0x00, 160), qMax(0.6, r * 0.02)));
    p.setBrush(fill);
    p.drawPath(symbol);
    p.restore();
}

QIcon programIcon()
{
    return paintedIcon([](QPainter &p) {
        QLinearGradient tile(0, 0, 0, 32);
        tile.setColorAt(0, QColor(0x2c, 0x36, 0x43));
        tile.setColorAt(1, QColor(0x0b, 0x0f, 0x14));
        p.setPen(QPen(QColor(0x05, 0x07, 0x0a), 1));
        p.setBrush(tile);
        p.drawRoundedRect(QRectF(0.5, 0.5, 31, 31), 6, 6);
        drawEmblem(p, QRectF(2, 2, 28, 28));
    });
}

qreal splashTextLeft()
{
    return kTextLeft;
}

void drawSplash(QPainter &p, const QRectF &rect)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient background(rect.topLeft(), rect.bottomRight());
    background.setColorAt(0, QColor(0x24, 0x2e, 0x3b));
    background.setColorAt(0.55, QColor(0x12, 0x18, 0x20));
    background.setColorAt(1, QColor(0x07, 0x09, 0x0c));
    p.fillRect(rect, background);

    // Faint scan lines give the dark a texture.
    p.setPen(QPen(QColor(255, 255, 255, 9), 1));
    for (qreal y = rect.top() + 1.5; y < rect.bottom(); y += 3)
        p.drawLine(QPointF(rect.left(), y), QPointF(rect.right(), y));

    const QPointF emblemCentre(rect.left() + kEmblemCentreX, rect.center().y());
    QRadialGradient glow(emblemCentre, kEmblemRadius * 1.6);
    glow.setColorAt(0, QColor(0xf5, 0xa0, 0x1a, 70));
    glow.setColorAt(1, QColor(0xf5, 0xa0, 0x1a, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(emblemCentre, kEmblemRadius * 1.6, kEmblemRadius * 1.6);
    drawEmblem(p,
               QRectF(emblemCentre - QPointF(kEmblemRadius, kEmblemRadius),
                      QSizeF(2 * kEmblemRadius, 2 * kEmblemRadius)));

    const QRectF markBox(rect.left() + kTextLeft, rect.top() + 40, rect.width() - kTextLeft - 24,
                         44);
    const QPainterPath mark = wordMark(markBox);
    p.setBrush(QColor(0, 0, 0, 150));
    p.drawPath(mark.translated(2, 2.5));
    QLinearGradient metal(0, markBox.top(), 0, markBox.bottom());
    metal.setColorAt(0, QColor(0xff, 0xff, 0xff));
    metal.setColorAt(0.5, QColor(0xd5, 0xdc, 0xe4));
    metal.setColorAt(0.52, QColor(0x9c, 0xa8, 0xb6));
    metal.setColorAt(1, QColor(0xc8, 0xd1, 0xdb));
    p.setBrush(metal);
    p.drawPath(mark);

    QLinearGradient bar(markBox.left(), 0, rect.right() - 12, 0);
    bar.setColorAt(0, kAmber);
    bar.setColorAt(0.7, QColor(0xf5, 0xa0, 0x1a, 90));
    bar.setColorAt(1, QColor(0xf5, 0xa0, 0x1a, 0));
    p.fillRect(QRectF(markBox.left(), markBox.bottom() + 8, rect.right() - 12 - markBox.left(), 3),
               bar);

    // A thin bevel keeps the borderless window from melting into a dark
    // desktop.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x4a, 0x58, 0x68), 1));
    p.drawRect(rect.adjusted(0.5, 0.5, -0.5, -0.5));
    p.setPen(QPen(QColor(0, 0, 0, 160), 1));
    p.drawRect(rect.adjusted(1.5, 1.5, -1.5, -1.5));
    p.restore();
}

} // namespace artwork
