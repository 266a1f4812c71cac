#include "sessionplayers.h"

SessionPlayers &PlayerTable::operator[](int index)
{
    Q_ASSERT(index >= 0);
    ensureSize(index + 1);
    return m_slots[index];
}

const SessionPlayers &PlayerTable::at(int index) const
{
    static const SessionPlayers empty;
    if (index < 0 || index >= m_slots.size())
        return empty;
    return m_slots.at(index);
}

void PlayerTable::reset(int count)
{
    m_slots.clear();
    ensureSize(count);
}

void PlayerTable::ensureSize(int count)
{
    if (m_slots.size() < count)
        m_slots.resize(count);
}
