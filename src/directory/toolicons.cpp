#include "toolicons.h"

#include "paintedicons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <cmath>

namespace {

using namespace iconart;

// A monitor: the common base of the session pictures.
void drawMonitor(QPainter &p)
{
    p.setPen(QPen(kOutline, 1.2));
    p.setBrush(vertical(4, 22, QColor(0x4a, 0x55, 0x63), QColor(0x26, 0x2d, 0x36)));
    p.drawRoundedRect(QRectF(2.5, 4.5, 25, 18), 2.5, 2.5);
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(6, 20, kBlueLight, kBlueDark));
    p.drawRect(QRectF(4.5, 6.5, 21, 14));
    // A sheen across the screen.
    p.setBrush(QColor(255, 255, 255, 45));
    QPainterPath sheen;
    sheen.moveTo(4.5, 6.5);
    sheen.lineTo(25.5, 6.5);
    sheen.lineTo(25.5, 10);
    sheen.lineTo(4.5, 15);
    sheen.closeSubpath();
    p.drawPath(sheen);
    p.setPen(QPen(kOutline, 1.2));
    p.setBrush(vertical(22, 28, QColor(0x8a, 0x94, 0xa1), QColor(0x55, 0x5f, 0x6b)));
    p.drawRect(QRectF(12, 22.5, 6, 3));
    p.drawRoundedRect(QRectF(8, 25.5, 14, 3), 1.2, 1.2);
}

void drawBadge(QPainter &p, const QPointF &centre, const QColor &light, const QColor &dark)
{
    p.setPen(QPen(QColor(255, 255, 255), 1.5));
    p.setBrush(radial(centre - QPointF(2, 2), 9, light, dark));
    p.drawEllipse(centre, 7, 7);
}

void drawStartSession(QPainter &p)
{
    drawMonitor(p);
    const QPointF centre(24, 23);
    drawBadge(p, centre, kGreenLight, kGreenDark);
    p.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre - QPointF(3.5, 0), centre + QPointF(3.5, 0));
    p.drawLine(centre - QPointF(0, 3.5), centre + QPointF(0, 3.5));
}

void drawJoinSession(QPainter &p)
{
    drawMonitor(p);
    const QPointF centre(24, 23);
    drawBadge(p, centre, kGreenLight, kGreenDark);
    QPainterPath arrow;
    arrow.moveTo(centre + QPointF(-4, -1.3));
    arrow.lineTo(centre + QPointF(0, -1.3));
    arrow.lineTo(centre + QPointF(0, -4));
    arrow.lineTo(centre + QPointF(4.2, 0));
    arrow.lineTo(centre + QPointF(0, 4));
    arrow.lineTo(centre + QPointF(0, 1.3));
    arrow.lineTo(centre + QPointF(-4, 1.3));
    arrow.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(arrow);
}

void drawSinglePlayer(QPainter &p)
{
    drawPerson(p, QPointF(16, 15), 1.15, kBlueLight, kBlueDark);
}

void drawMultiPlayer(QPainter &p)
{
    drawPerson(p, QPointF(21.5, 12.5), 0.95, QColor(0xa3, 0xb4, 0xc8), QColor(0x5a, 0x6d, 0x85));
    drawPerson(p, QPointF(11.5, 16.5), 1.0, kBlueLight, kBlueDark);
}

void drawArrowArc(QPainter &p, qreal startAngle)
{
    const QRectF circle(6, 6, 20, 20);
    QPainterPath arc;
    arc.arcMoveTo(circle, startAngle);
    arc.arcTo(circle, startAngle, 140);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kGreenDark, 5.2, Qt::SolidLine, Qt::FlatCap));
    p.drawPath(arc);
    p.setPen(QPen(kGreenLight, 2.6, Qt::SolidLine, Qt::FlatCap));
    p.drawPath(arc);

    // Arrow head at the end of the arc, pointing along it.
    const qreal end = qDegreesToRadians(startAngle + 140);
    const QPointF tip(16 + 10 * std::cos(end), 16 - 10 * std::sin(end));
    const QPointF along(-std::sin(end), -std::cos(end)); // direction of travel
    const QPointF across(std::cos(end), -std::sin(end));
    QPainterPath head;
    head.moveTo(tip + along * 5.5);
    head.lineTo(tip + across * 5.5);
    head.lineTo(tip - across * 5.5);
    head.closeSubpath();
    p.setPen(QPen(kGreenDark, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(vertical(8, 26, kGreenLight, kGreenDark));
    p.drawPath(head);
}

void drawRefresh(QPainter &p)
{
    drawArrowArc(p, 20);
    drawArrowArc(p, 200);
}

void drawOptions(QPainter &p)
{
    p.setPen(QPen(QColor(0x33, 0x3b, 0x46), 1.2));
    p.setBrush(vertical(2, 30, kGreyLight, kGreyDark));
    p.drawPath(gearPath(QPointF(16, 16), 14.5, 10.5, 4.2, 8));
    p.setPen(QPen(QColor(255, 255, 255, 110), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(16, 16), 7.5, 7.5);
}

void drawExit(QPainter &p)
{
    p.setPen(QPen(QColor(0x6e, 0x12, 0x0c), 1.2));
    p.setBrush(radial(QPointF(13, 11), 18, kRedLight, kRedDark));
    p.drawEllipse(QPointF(16, 16), 13.5, 13.5);

    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    const QRectF ring(9, 9.5, 14, 14);
    p.drawArc(ring, 120 * 16, 300 * 16);
    p.drawLine(QPointF(16, 6.5), QPointF(16, 15));
}

void drawHelp(QPainter &p)
{
    p.setPen(QPen(kOutline, 1.2));
    p.setBrush(radial(QPointF(12, 10), 20, kBlueLight, kBlueDark));
    p.drawEllipse(QPointF(16, 16), 13.5, 13.5);
    QFont font;
    font.setBold(true);
    font.setPixelSize(20);
    QPainterPath mark;
    mark.addText(0, 0, font, QStringLiteral("?"));
    const QRectF bounds = mark.boundingRect();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(mark.translated(QPointF(16, 16) - bounds.center()));
}

void drawBugReport(QPainter &p)
{
    p.setPen(QPen(QColor(0x3a, 0x2a, 0x1a), 1.6, Qt::SolidLine, Qt::RoundCap));
    for (const qreal y : { 13.0, 18.0, 23.0 }) {
        p.drawLine(QPointF(9, y), QPointF(4, y - 2 + (y - 18) * 0.4));
        p.drawLine(QPointF(23, y), QPointF(28, y - 2 + (y - 18) * 0.4));
    }
    p.drawLine(QPointF(13.5, 7), QPointF(11, 3));
    p.drawLine(QPointF(18.5, 7), QPointF(21, 3));
    p.setPen(QPen(kOutline, 1.2));
    p.setBrush(vertical(4, 12, QColor(0x55, 0x55, 0x55), QColor(0x22, 0x22, 0x22)));
    p.drawEllipse(QPointF(16, 9), 4.5, 3.8);
    p.setBrush(radial(QPointF(13, 14), 14, kRedLight, kRedDark));
    p.drawEllipse(QRectF(8.5, 10.5, 15, 18));
    p.setPen(QPen(QColor(0x40, 0x0c, 0x08), 1.2));
    p.drawLine(QPointF(16, 11), QPointF(16, 28.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x30, 0x08, 0x05));
    for (const QPointF &spot :
         { QPointF(12.5, 16), QPointF(19.5, 16), QPointF(12.5, 22.5), QPointF(19.5, 22.5) })
        p.drawEllipse(spot, 1.6, 1.6);
}

void drawFolder(QPainter &p, bool open)
{
    const QColor light(0xff, 0xd8, 0x6a);
    const QColor dark(0xd8, 0x93, 0x1c);
    const QColor edge(0x8a, 0x5a, 0x0c);
    p.setPen(QPen(edge, 1.3));
    QPainterPath back;
    back.moveTo(3, 8);
    back.lineTo(3, 26);
    back.lineTo(29, 26);
    back.lineTo(29, 10);
    back.lineTo(15, 10);
    back.lineTo(12.5, 7);
    back.lineTo(4, 7);
    back.closeSubpath();
    p.setBrush(vertical(7, 26, dark.lighter(110), dark));
    p.drawPath(back);
    if (open) {
        p.setBrush(Qt::white);
        p.setPen(QPen(QColor(0xb0, 0xb0, 0xb0), 1));
        p.drawRect(QRectF(6, 11, 20, 9));
        QPainterPath front;
        front.moveTo(3, 26);
        front.lineTo(8, 14);
        front.lineTo(31, 14);
        front.lineTo(28, 26);
        front.closeSubpath();
        p.setPen(QPen(edge, 1.3));
        p.setBrush(vertical(14, 26, light, dark));
        p.drawPath(front);
    } else {
        p.setBrush(vertical(12, 26, light, dark));
        p.drawRoundedRect(QRectF(3, 12, 26, 14), 1.5, 1.5);
    }
}

} // namespace

QIcon toolIcon(ToolIcon kind)
{
    switch (kind) {
    case ToolIcon::StartSession:
        return paintedIcon(drawStartSession);
    case ToolIcon::JoinSession:
        return paintedIcon(drawJoinSession);
    case ToolIcon::SinglePlayer:
        return paintedIcon(drawSinglePlayer);
    case ToolIcon::MultiPlayer:
        return paintedIcon(drawMultiPlayer);
    case ToolIcon::Refresh:
        return paintedIcon(drawRefresh);
    case ToolIcon::Options:
        return paintedIcon(drawOptions);
    case ToolIcon::Exit:
        return paintedIcon(drawExit);
    case ToolIcon::Help:
        return paintedIcon(drawHelp);
    case ToolIcon::BugReport:
        return paintedIcon(drawBugReport);
    }
    return {};
}

QIcon treeNodeIcon()
{
    return paintedIcon([](QPainter &p) { drawFolder(p, false); },
                       [](QPainter &p) { drawFolder(p, true); });
}
