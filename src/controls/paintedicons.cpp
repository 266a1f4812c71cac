#include "paintedicons.h"

#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <cmath>
#include <numbers>

namespace {

class PaintedIconEngine final : public QIconEngine
{
public:
    PaintedIconEngine(IconPainter normal, IconPainter selected)
        : m_normal { std::move(normal) }
        , m_selected { std::move(selected) }
    {
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, render(rect.size(), ratio, mode));
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        return render(size, 1.0, mode);
    }

    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State, qreal scale) override
    {
        return render(size, scale, mode);
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override { return size; }

    QIconEngine *clone() const override { return new PaintedIconEngine(m_normal, m_selected); }

private:
    QPixmap render(const QSize &size, qreal ratio, QIcon::Mode mode) const
    {
        if (size.isEmpty())
            return {};
        QPixmap pixmap(size * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        {
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            // Centre a square picture in whatever rectangle is asked for.
            const qreal side = qMin(size.width(), size.height());
            painter.translate((size.width() - side) / 2.0, (size.height() - side) / 2.0);
            painter.scale(side / 32.0, side / 32.0);
            const IconPainter &draw = mode == QIcon::Selected && m_selected ? m_selected : m_normal;
            if (draw)
                draw(painter);
        }
        if (mode != QIcon::Disabled)
            return pixmap;
        QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int faded = 150 + qGray(line[x]) * 90 / 255;
                line[x] = qRgba(faded, faded, faded, qAlpha(line[x]) * 3 / 5);
            }
        }
        QPixmap faded = QPixmap::fromImage(image);
        faded.setDevicePixelRatio(ratio);
        return faded;
    }

    IconPainter m_normal;
    IconPainter m_selected;
};

} // namespace

QIcon paintedIcon(IconPainter normal, IconPainter selected)
{
    return QIcon(new PaintedIconEngine(std::move(normal), std::move(selected)));
}

namespace iconart {

QLinearGradient vertical(qreal top, qreal bottom, const QColor &light, const QColor &dark)
{
    QLinearGradient gradient(0, top, 0, bottom);
    gradient.setColorAt(0, light);
    gradient.setColorAt(1, dark);
    return gradient;
}

QRadialGradient radial(const QPointF &centre, qreal radius, const QColor &light, const QColor &dark)
{
    QRadialGradient gradient(centre, radius);
    gradient.setColorAt(0, light);
    gradient.setColorAt(1, dark);
    return gradient;
}

QPointF polar(const QPointF &centre, qreal radius, qreal angle)
{
    return centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
}

QPainterPath gearPath(const QPointF &centre, qreal outer, qreal inner, qreal hole, int teeth)
{
    QPainterPath gear;
    for (int i = 0; i < teeth; ++i) {
        const qreal middle = 2 * std::numbers::pi * i / teeth;
        const qreal half = std::numbers::pi / teeth * 0.55;
        const qreal slope = std::numbers::pi / teeth * 0.25;
        const QPointF first = polar(centre, inner, middle - half - slope);
        if (i == 0)
            gear.moveTo(first);
        else
            gear.lineTo(first);
        gear.lineTo(polar(centre, outer, middle - half));
        gear.lineTo(polar(centre, outer, middle + half));
        gear.lineTo(polar(centre, inner, middle + half + slope));
    }
    gear.closeSubpath();
    QPainterPath centreHole;
    centreHole.addEllipse(centre, hole, hole);
    return gear.subtracted(centreHole);
}

void drawPerson(QPainter &p, const QPointF &at, qreal scale, const QColor &light,
                const QColor &dark)
{
    p.save();
    p.translate(at);
    p.scale(scale, scale);
    p.setPen(QPen(kOutline, 1.2 / scale));
    QPainterPath body;
    body.moveTo(-10, 14);
    body.cubicTo(-10, 3, -6, 1, 0, 1);
    body.cubicTo(6, 1, 10, 3, 10, 14);
    body.closeSubpath();
    p.setBrush(vertical(1, 14, light, dark));
    p.drawPath(body);
    p.setBrush(radial(QPointF(-1.5, -7.5), 7, QColor(0xfb, 0xd9, 0xb0), QColor(0xd0, 0x94, 0x5e)));
    p.drawEllipse(QPointF(0, -5.5), 5.5, 5.5);
    p.restore();
}

} // namespace iconart
