#pragma once

#include <QIcon>

// The browser's pictures, painted in code so that they stay sharp at any
// scale; their disabled forms are a faded grey of the same picture.

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
