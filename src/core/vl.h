#pragma once

#include "sessionplayers.h"

#include <QString>
#include <QtGlobal>

#include <array>

// The program-wide utility object: settings-backed members, the game ports'
// paths and the player's own details.

class VL
{
public:
    static VL &instance();

    QString Version = QStringLiteral("2.0.13");
    bool FirstRun = false;
    QString SessionWelcomeMsg;
    quint8 NetworkType = 0;

    QString R_ExePath, J_ExePath, E_ExePath, X_ExePath;
    QString R_ModPath, J_ModPath, E_ModPath, X_ModPath;
    QString R_ExeName, J_ExeName, E_ExeName, X_ExeName;
    // The game port (1 to 4) the program works with outside a session.
    quint8 CurrentPort = 1;
    QString CurrentPortPath;
    QString CurrentPortCfg;
    QString UsermapPath;
    bool EnableHRP = false;
    QString HRPPath1;
    QString HRPPath2;

    // True unless Game\VLSetup is exactly "1".
    [[nodiscard]] bool CheckFirstRun() const;
    // Creates the key tree and writes the first-run defaults.
    void SetDefaultRegVals() const;
    // The default port, 0-based: 0 to 3.
    [[nodiscard]] quint8 GetDefaultPort() const;
    // The player's own record as stored (NetworkType is read on the way).
    [[nodiscard]] SessionPlayers MyDetails();
    // Puts the player's own stored details into slot; the address fields of
    // a network type other than 1 and 2 are left as they are.
    void GetMyDetails(SessionPlayers &slot);
    // Empties the detail fields of slot.
    static void ClearMyDetails(SessionPlayers &slot);

    // Loads the four ports' executable and mod paths from the store.
    void LoadPortPaths();
    // LoadPortPaths, then the current port's folder, its network file and
    // the usermap folder for currentPort (1 to 4).
    void SetPortPaths(int currentPort);
    // True when the stored executable of port (0-based) exists. Windows that
    // tell the player otherwise use IsPortSetup() of portsetup.h.
    [[nodiscard]] static bool IsPortSetup(int port);
    // True when the default port's executable exists and a name is stored.
    [[nodiscard]] static bool CheckCompulsoryDetails();
    void ReadHRP();
    // True when there is no custom map or the map is in the usermap folder.
    [[nodiscard]] bool CheckForMap(const QString &currentMap) const;

    // The settings prefix of a 0-based port: "R", "J", "E", "X"; empty else.
    [[nodiscard]] static QString portPrefix(int port);
    // The executable path member of a 0-based port.
    [[nodiscard]] const QString &exePath(int port) const;

    // The program's folder, written as InstallPath on a first run.
    [[nodiscard]] static QString installPath();

    // Resets every member to its start value (tests, second splash).
    void reset();
};
