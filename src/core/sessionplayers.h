#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <QtGlobal>

// One slot of the session player table. Slot 0 is the host; on a client the
// player's own slot holds its full record and the others only name and flag.
struct SessionPlayers
{
    bool IsActive = false;
    QString PlayerName; // may hold colour codes
    QString FullName;
    QString Location; // index into the country table, as text
    QString Email;
    QString WebsiteURL;
    QString Comments;
    quint8 Age = 0;
    qint16 Rating = 0;
    qint16 Bandwidth = 0;
    quint8 PrivilegeLevel = 0;
    quint8 AvatarNum = 0;
    quint8 DukeNukemPort = 0;
    QString VLVersion;
    QString AvatarData;
    QString IPAddress;
    QString PortNumber;
    QString LocalIP;
    QString LocalPortNumber;
    bool PassedSecurity = false;
    qint16 WinsockIndex = 0;
    QString IPArray;
};

// With the type, so that no user can instantiate it before the declaration.
Q_DECLARE_METATYPE(SessionPlayers)

// The growable player table; a slot reads as empty until it is touched.
class PlayerTable
{
public:
    // The slot at index, created (empty) when the table is shorter.
    SessionPlayers &operator[](int index);
    [[nodiscard]] const SessionPlayers &at(int index) const;
    [[nodiscard]] int size() const { return int(m_slots.size()); }
    // Drops every slot and leaves count empty ones.
    void reset(int count);
    // Grows to count slots, keeping what the table holds.
    void ensureSize(int count);

private:
    QList<SessionPlayers> m_slots;
};
