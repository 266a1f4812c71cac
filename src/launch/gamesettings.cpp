#include "gamesettings.h"

#include "tables.h"
#include "vlsession.h"

void SetDefaultGameSettings(VLSession &session, quint8 mode)
{
    if (mode > 1)
        return;
    session.Game = QStringLiteral("Duke Nukem 3D");
    session.ModTC = QStringLiteral("Atomic Edition 1.5");
    session.Mode = mode == 0 ? 1 : 3; // deathmatch in a session, co-operative alone
    session.Episode = 1;
    session.Level = 1;
    session.Difficulty = 2;
}

QString GetMapName(const QString &currentMap, int episode, int level)
{
    if (!currentMap.isEmpty())
        return currentMap;
    const QString name = tables::LevelNames(level, episode);
    const qsizetype dash = name.indexOf(u'-');
    if (dash < 0)
        return name;
    // Skips the dash and the space after it: "E1L1 - Hollywood Holocaust".
    return name.mid(dash + 2);
}

QString GetMapName(const VLSession &session)
{
    return GetMapName(session.CurrentMap, session.Episode, session.Level);
}
