#pragma once

#include <QColor>
#include <QIcon>
#include <QLinearGradient>
#include <QPainterPath>
#include <QPointF>
#include <QRadialGradient>

#include <functional>

class QPainter;

// Icons drawn in code, so that they stay sharp at any scale.

// Paints one picture into a square; the painter is already scaled so that
// the square is 32 by 32 units.
using IconPainter = std::function<void(QPainter &painter)>;

// An icon painted on demand at whatever size and pixel ratio is asked for;
// its disabled form is a faded grey of the same picture. selected, when
// given, is the picture of the selected state.
[[nodiscard]] QIcon paintedIcon(IconPainter normal, IconPainter selected = {});

// Pieces the program's painted pictures share, so that they look alike.
namespace iconart {

inline const QColor kOutline(0x15, 0x2a, 0x45);
inline const QColor kBlueLight(0x5b, 0x93, 0xd3);
inline const QColor kBlueDark(0x1f, 0x4a, 0x80);
inline const QColor kGreenLight(0x6c, 0xd0, 0x6f);
inline const QColor kGreenDark(0x25, 0x86, 0x33);
inline const QColor kRedLight(0xf0, 0x6a, 0x5a);
inline const QColor kRedDark(0xb0, 0x24, 0x1a);
inline const QColor kGreyLight(0xc5, 0xcf, 0xda);
inline const QColor kGreyDark(0x5d, 0x69, 0x78);

// light at top, dark at bottom.
[[nodiscard]] QLinearGradient vertical(qreal top, qreal bottom, const QColor &light,
                                       const QColor &dark);
// light at centre, dark at radius.
[[nodiscard]] QRadialGradient radial(const QPointF &centre, qreal radius, const QColor &light,
                                     const QColor &dark);

// The point at radius from centre in the direction angle (radians, clockwise
// from the positive x axis, as y grows downwards).
[[nodiscard]] QPointF polar(const QPointF &centre, qreal radius, qreal angle);

// A cog wheel of teeth teeth reaching from inner to outer, with a hole of
// radius hole in its middle.
[[nodiscard]] QPainterPath gearPath(const QPointF &centre, qreal outer, qreal inner, qreal hole,
                                    int teeth);

// A head and shoulders with the neck at at, clothed from light to dark; at
// scale 1 it spans 20 by 25 units.
void drawPerson(QPainter &p, const QPointF &at, qreal scale, const QColor &light,
                const QColor &dark);

} // namespace iconart
