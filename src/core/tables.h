#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Fixed tables shared by the whole program. Their indices are stored in
// settings and sent between peers, so their order never changes.
namespace tables {

inline constexpr int kLevelCount = 12; // level 0 is the episode's name
inline constexpr int kEpisodeCount = 5; // episode 0 is never filled
inline constexpr int kCountryCount = 194;
inline constexpr int kPortNameCount = 9; // index 0 unused, 5-8 repeat 1-4

// (Re)fills the level table; called at start and by every rebuild of the
// level tree.
void FillLevelTable();
void FillCountryTable();
void FillPortNames();

// LevelNames(level, episode); empty outside the table or where an episode
// has fewer levels.
[[nodiscard]] QString LevelNames(int level, int episode);
// The country at index, empty outside 0-193.
[[nodiscard]] QString Countries(int index);
[[nodiscard]] const QStringList &countryList();
// The port name at index 1-8, empty elsewhere.
[[nodiscard]] QString PortNames(int index);

} // namespace tables

// Skill and game-type names; empty for values outside the table.
[[nodiscard]] QString strDifficulty(quint8 difficulty);
[[nodiscard]] QString strMode(quint8 mode);
