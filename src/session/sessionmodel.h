#pragma once

#include <QString>

#include <bitset>

class PlayerTable;

// Operations of the session model over a player table: slot 0 is the host,
// slots 1 to 7 the clients.

// The lowest slot from 1 to 7 that is neither active nor held (offered to a
// connection that has not sent its details yet); 0 when all are taken.
[[nodiscard]] int FindFreeSlot(const PlayerTable &table, std::bitset<8> held = {});

// 1 for the host plus every active slot from 1 to the last.
[[nodiscard]] int CountPlayers(const PlayerTable &table);

// Host only: marks every slot from 1 to the last inactive and empties its name.
void ResetSessionPlayers(PlayerTable &table);

// For every active slot in order: name, DLim, location; the entries joined by
// ListSep; empty when no slot is active.
[[nodiscard]] QString GetPlayerList(const PlayerTable &table, const QString &DLim);
