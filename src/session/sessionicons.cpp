#include "sessionicons.h"

#include "paintedicons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <iterator>
#include <numbers>

namespace {

using namespace iconart;

const QColor kGoldLight(0xff, 0xe0, 0x6a);
const QColor kGoldDark(0xd0, 0x8a, 0x10);

QPainterPath star(const QPointF &centre, qreal outer, qreal inner)
{
    QPainterPath path;
    for (int i = 0; i < 10; ++i) {
        const qreal angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        const QPointF point = polar(centre, i % 2 == 0 ? outer : inner, angle);
        if (i == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    path.closeSubpath();
    return path;
}

void drawStartGame(QPainter &p)
{
    p.setPen(QPen(QColor(0x14, 0x50, 0x1c), 1.2));
    p.setBrush(radial(QPointF(12, 10), 20, kGreenLight, kGreenDark));
    p.drawEllipse(QPointF(16, 16), 13.5, 13.5);
    QPainterPath play;
    play.moveTo(12.5, 9);
    play.lineTo(23.5, 16);
    play.lineTo(12.5, 23);
    play.closeSubpath();
    p.setPen(QPen(Qt::white, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(play);
}

void drawAdvertise(QPainter &p)
{
    // A mast sending waves to both sides.
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 2; ++i) {
        const qreal radius = 6.5 + 5 * i;
        const QRectF box(16 - radius, 10 - radius, 2 * radius, 2 * radius);
        p.setPen(QPen(QColor(0x1f, 0x4a, 0x80), 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(box, -40 * 16, 80 * 16);
        p.drawArc(box, 140 * 16, 80 * 16);
    }
    p.setPen(QPen(kOutline, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(vertical(10, 30, kGreyLight, kGreyDark));
    QPainterPath mast;
    mast.moveTo(16, 11);
    mast.lineTo(22, 30);
    mast.lineTo(10, 30);
    mast.closeSubpath();
    p.drawPath(mast);
    p.drawLine(QPointF(12.5, 23), QPointF(19.5, 23));
    p.setBrush(radial(QPointF(15, 9), 5, kRedLight, kRedDark));
    p.drawEllipse(QPointF(16, 10), 3.2, 3.2);
}

void drawGamepad(QPainter &p, const QPointF &at, qreal scale)
{
    p.save();
    p.translate(at);
    p.scale(scale, scale);
    QPainterPath pad;
    pad.moveTo(-9, -6);
    pad.lineTo(9, -6);
    pad.cubicTo(14, -6, 15.5, 0, 15.5, 5);
    pad.cubicTo(15.5, 9, 13, 10, 11, 8);
    pad.lineTo(7, 3.5);
    pad.lineTo(-7, 3.5);
    pad.lineTo(-11, 8);
    pad.cubicTo(-13, 10, -15.5, 9, -15.5, 5);
    pad.cubicTo(-15.5, 0, -14, -6, -9, -6);
    pad.closeSubpath();
    p.setPen(QPen(QColor(0x1c, 0x20, 0x26), 1.2 / scale));
    p.setBrush(vertical(-6, 10, QColor(0x6a, 0x74, 0x82), QColor(0x2a, 0x30, 0x38)));
    p.drawPath(pad);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe8, 0xec, 0xf0));
    p.drawRect(QRectF(-10.5, -1.2, 6, 2.4));
    p.drawRect(QRectF(-8.7, -3, 2.4, 6));
    p.setBrush(kRedLight);
    p.drawEllipse(QPointF(9.5, -2), 1.7, 1.7);
    p.setBrush(kGreenLight);
    p.drawEllipse(QPointF(6.5, 1), 1.7, 1.7);
    p.setBrush(kBlueLight);
    p.drawEllipse(QPointF(12.5, 1), 1.7, 1.7);
    p.restore();
}

void drawGear(QPainter &p, const QPointF &centre, qreal size)
{
    p.setPen(QPen(QColor(0x33, 0x3b, 0x46), 1.2));
    p.setBrush(vertical(centre.y() - size, centre.y() + size, kGreyLight, kGreyDark));
    p.drawPath(gearPath(centre, size, size * 0.72, size * 0.3, 8));
}

void drawGameOptions(QPainter &p)
{
    drawGamepad(p, QPointF(14, 18), 0.85);
    drawGear(p, QPointF(24, 9), 7.5);
}

void drawServerOptions(QPainter &p)
{
    // A server tower with two drive bays.
    p.setPen(QPen(QColor(0x1c, 0x20, 0x26), 1.2));
    p.setBrush(vertical(3, 29, QColor(0x7a, 0x84, 0x92), QColor(0x34, 0x3a, 0x44)));
    p.drawRoundedRect(QRectF(5.5, 3.5, 16, 25), 2, 2);
    p.setPen(Qt::NoPen);
    for (const qreal y : { 7.0, 12.5 }) {
        p.setBrush(QColor(0x1c, 0x20, 0x26));
        p.drawRect(QRectF(8, y, 11, 3.5));
        p.setBrush(kGreenLight);
        p.drawEllipse(QPointF(17, y + 1.75), 1, 1);
    }
    p.setBrush(QColor(0xa0, 0xa8, 0xb4));
    for (int i = 0; i < 4; ++i)
        p.drawRect(QRectF(8, 19 + 2 * i, 11, 0.9));
    drawGear(p, QPointF(24, 23), 7);
}

void drawVelkorOptions(QPainter &p)
{
    drawGear(p, QPointF(16, 16), 14);
    p.setPen(QPen(QColor(255, 255, 255, 110), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(16, 16), 7.5, 7.5);
}

void drawPlayerDetails(QPainter &p)
{
    // A card with a portrait and lines of details.
    p.setPen(QPen(QColor(0x6a, 0x74, 0x82), 1.2));
    p.setBrush(vertical(5, 27, Qt::white, QColor(0xe2, 0xe8, 0xef)));
    p.drawRoundedRect(QRectF(2.5, 6.5, 27, 20), 2.5, 2.5);
    p.save();
    p.setClipRect(QRectF(3.5, 7.5, 12, 18));
    drawPerson(p, QPointF(9.5, 16.5), 0.62, kBlueLight, kBlueDark);
    p.restore();
    p.setPen(QPen(QColor(0x5d, 0x69, 0x78), 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(17, 12), QPointF(26, 12));
    p.drawLine(QPointF(17, 16.5), QPointF(26, 16.5));
    p.drawLine(QPointF(17, 21), QPointF(23, 21));
}

QPainterPath arrow(const QPointF &base, qreal length, qreal direction)
{
    // direction +1 points down, -1 up.
    QPainterPath path;
    const qreal shaft = 2.6;
    const qreal head = 6.5;
    const qreal tipY = base.y() + direction * length;
    const qreal neckY = tipY - direction * head;
    path.moveTo(base.x() - shaft, base.y());
    path.lineTo(base.x() + shaft, base.y());
    path.lineTo(base.x() + shaft, neckY);
    path.lineTo(base.x() + head, neckY);
    path.lineTo(base.x(), tipY);
    path.lineTo(base.x() - head, neckY);
    path.lineTo(base.x() - shaft, neckY);
    path.closeSubpath();
    return path;
}

void drawFileTransfers(QPainter &p)
{
    p.setPen(QPen(QColor(0x14, 0x50, 0x1c), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(vertical(3, 29, kGreenLight, kGreenDark));
    p.drawPath(arrow(QPointF(10, 3.5), 25, 1));
    p.setPen(QPen(kOutline, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(vertical(3, 29, kBlueLight, kBlueDark));
    p.drawPath(arrow(QPointF(22, 28.5), 25, -1));
}

void drawChangeFont(QPainter &p)
{
    QFont font(QStringLiteral("serif"));
    font.setBold(true);
    font.setPixelSize(26);
    QPainterPath letter;
    letter.addText(0, 0, font, QStringLiteral("A"));
    const QRectF bounds = letter.boundingRect();
    p.setPen(QPen(kOutline, 0.8));
    p.setBrush(vertical(3, 24, QColor(0x3a, 0x44, 0x52), QColor(0x10, 0x14, 0x1a)));
    p.drawPath(letter.translated(QPointF(16, 13.5) - bounds.center()));
    // The colour of the text, as a bar of the chat colours.
    const QColor bars[] = { QColor(255, 0, 0), QColor(255, 180, 0), QColor(255, 255, 0),
                            QColor(0, 200, 0), QColor(0, 0, 255),   QColor(255, 0, 255) };
    p.setPen(Qt::NoPen);
    const qreal width = 24.0 / std::size(bars);
    for (std::size_t i = 0; i < std::size(bars); ++i) {
        p.setBrush(bars[i]);
        p.drawRect(QRectF(4 + width * i, 26, width + 0.1, 3.5));
    }
    p.setPen(QPen(QColor(0x33, 0x33, 0x33), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(4, 26, 24, 3.5));
}

void drawQuitSession(QPainter &p)
{
    // An open door with an arrow leaving through it.
    p.setPen(QPen(QColor(0x4a, 0x30, 0x14), 1.2));
    p.setBrush(QColor(0x30, 0x24, 0x18));
    p.drawRect(QRectF(5.5, 3.5, 15, 25));
    QPainterPath door;
    door.moveTo(5.5, 3.5);
    door.lineTo(14, 6.5);
    door.lineTo(14, 31);
    door.lineTo(5.5, 28.5);
    door.closeSubpath();
    p.setBrush(vertical(3, 31, QColor(0xc8, 0x8a, 0x4a), QColor(0x7a, 0x48, 0x1c)));
    p.drawPath(door);
    p.setPen(Qt::NoPen);
    p.setBrush(kGoldLight);
    p.drawEllipse(QPointF(12, 18), 1.1, 1.1);

    QPainterPath out;
    out.moveTo(15, 14);
    out.lineTo(22, 14);
    out.lineTo(22, 9.5);
    out.lineTo(30, 16.5);
    out.lineTo(22, 23.5);
    out.lineTo(22, 19);
    out.lineTo(15, 19);
    out.closeSubpath();
    p.setPen(QPen(QColor(0x6e, 0x12, 0x0c), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(vertical(9, 24, kRedLight, kRedDark));
    p.drawPath(out);
}

void drawSendTo(QPainter &p)
{
    // A speech bubble pointed at one person.
    p.setPen(QPen(kOutline, 1.2));
    p.setBrush(vertical(2, 18, Qt::white, QColor(0xd8, 0xe2, 0xee)));
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(2.5, 2.5, 19, 13), 4, 4);
    QPainterPath tail;
    tail.moveTo(14, 14);
    tail.lineTo(19, 20);
    tail.lineTo(18, 14);
    tail.closeSubpath();
    p.drawPath(bubble.united(tail));
    drawPerson(p, QPointF(24, 21), 0.62, kBlueLight, kBlueDark);
}

void drawPlayer(QPainter &p)
{
    drawPerson(p, QPointF(16, 15), 1.15, kBlueLight, kBlueDark);
}

void drawHost(QPainter &p)
{
    drawPerson(p, QPointF(14, 15), 1.15, kGreenLight, kGreenDark);
    p.setPen(QPen(QColor(0x7a, 0x50, 0x08), 1));
    p.setBrush(radial(QPointF(24, 7), 8, kGoldLight, kGoldDark));
    p.drawPath(star(QPointF(25, 8), 7, 3));
}

IconPainter painterOf(SessionIcon kind)
{
    switch (kind) {
    case SessionIcon::StartGame:
        return drawStartGame;
    case SessionIcon::Advertise:
        return drawAdvertise;
    case SessionIcon::GameOptions:
        return drawGameOptions;
    case SessionIcon::ServerOptions:
        return drawServerOptions;
    case SessionIcon::VelkorOptions:
        return drawVelkorOptions;
    case SessionIcon::PlayerDetails:
        return drawPlayerDetails;
    case SessionIcon::FileTransfers:
        return drawFileTransfers;
    case SessionIcon::ChangeFont:
        return drawChangeFont;
    case SessionIcon::QuitSession:
        return drawQuitSession;
    case SessionIcon::SendTo:
        return drawSendTo;
    case SessionIcon::Player:
        return drawPlayer;
    case SessionIcon::Host:
        return drawHost;
    }
    return drawPlayer;
}

} // namespace

QIcon sessionIcon(SessionIcon kind)
{
    return paintedIcon(painterOf(kind));
}
