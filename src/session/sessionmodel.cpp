#include "sessionmodel.h"

#include "separators.h"
#include "sessionplayers.h"

#include <QStringList>

int FindFreeSlot(const PlayerTable &table, std::bitset<8> held)
{
    for (int slot = 1; slot < 8; ++slot) {
        if (!table.at(slot).IsActive && !held.test(std::size_t(slot)))
            return slot;
    }
    return 0;
}

int CountPlayers(const PlayerTable &table)
{
    int count = 1;
    for (int slot = 1; slot < table.size(); ++slot) {
        if (table.at(slot).IsActive)
            ++count;
    }
    return count;
}

void ResetSessionPlayers(PlayerTable &table)
{
    for (int slot = 1; slot < table.size(); ++slot) {
        table[slot].IsActive = false;
        table[slot].PlayerName.clear();
    }
}

QString GetPlayerList(const PlayerTable &table, const QString &DLim)
{
    QStringList entries;
    for (int slot = 0; slot < table.size(); ++slot) {
        const SessionPlayers &player = table.at(slot);
        if (player.IsActive)
            entries.append(player.PlayerName + DLim + player.Location);
    }
    return entries.join(sep::ListSep);
}
