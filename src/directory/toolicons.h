#pragma once

#include <QIcon>

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

enum class ToolIcon {
    StartSession,
    JoinSession,
    SinglePlayer,
    MultiPlayer,
    Refresh,
    Options,
    Exit,
    Help,
    BugReport,
};

[[nodiscard]] QIcon toolIcon(ToolIcon kind);

// A closed folder, open while its node is selected.
[[nodiscard]] QIcon treeNodeIcon();
