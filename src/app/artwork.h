#pragma once

#include <QIcon>

class QPainter;
class QRectF;

// The program's own pictures, drawn in code so that they stay sharp at any
// scale: the emblem (a radiation trefoil in a crosshair ring), the program
// icon and the splash picture.
namespace artwork {

// The emblem filling the square rect.
void drawEmblem(QPainter &painter, const QRectF &rect);

// The emblem on a dark rounded tile, for the program and its windows.
[[nodiscard]] QIcon programIcon();

// The splash picture without its texts: background, the emblem on the
// left, the word mark and its underline on the right.
void drawSplash(QPainter &painter, const QRectF &rect);

// The left edge of the word mark, where the splash texts line up.
[[nodiscard]] qreal splashTextLeft();

} // namespace artwork
