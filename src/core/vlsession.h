#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

// A session as one peer sees it, host or client: who hosts, the limits and
// the game settings that the host sends to everyone. The session endpoint
// owns the running one; the hosting options fill one for a new session. The players live in the
// session player table (sessionplayers.h).
struct VLSession
{
    bool isHost = false;
    quint8 OverallMode = 0; // 1 game session, 2 chat session, 3 single player
    quint8 MyIndex = 0; // this peer's own slot
    quint8 NumPlayers = 1; // active slots, host included
    quint8 MaxPlayers = 8; // 1 to 8, host included
    quint16 VLPort = 8501; // the host's listening port
    QString Password; // host: the session's; client: the one offered
    QString HostName;
    bool InGame = false;
    quint8 CurrentPort = 1; // game port 1 to 4
    QString SessionArgs;
    bool Advertise = false;
    qint16 LobbyUID = -1;
    QString MyUID;
    QDateTime LastKA;
    bool IsDownloading = false;
    QString CopiedMap;

    // Game settings, carried by the map-information list.
    QString Game;
    QString ModTC;
    quint8 Mode = 0;
    quint8 Difficulty = 0;
    quint8 Episode = 0;
    quint8 Level = 0;
    QString CurrentMap;
    quint8 CheckSum = 0;
    // Launch options.
    QString MapLocation;
    bool Monsters = false;
    qint16 RespawnVal = 0;
    quint8 Bots = 0;
    bool Autoaim = false;
    bool Nat = false;
    bool AI = false;
    QString CmdLine;
};
