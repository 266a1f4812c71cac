#pragma once

#include <QString>
#include <QtGlobal>

struct VLSession;

// Default game settings of a launch. mode 0 is a session, 1 a single-player
// game; any other mode leaves the settings alone.
void SetDefaultGameSettings(VLSession &session, quint8 mode);

// The display name of the chosen map: the usermap when one is chosen, else
// the level's name without its "E1L1 - " prefix (the episode's name for
// level 0). The level table must be filled (tables::FillLevelTable).
[[nodiscard]] QString GetMapName(const QString &currentMap, int episode, int level);
[[nodiscard]] QString GetMapName(const VLSession &session);
