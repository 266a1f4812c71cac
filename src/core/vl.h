#pragma once

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
    // A session window is open.
    bool SessionActive = false;
    // Set while the session window closes the transfer window, and when the
    // program ends from the session window: no questions then.
    bool FTFormClose = false;

    QString R_ExePath, J_ExePath, E_ExePath, X_ExePath;
    QString R_ModPath, J_ModPath, E_ModPath, X_ModPath;
    QString R_ExeName, J_ExeName, E_ExeName, X_ExeName;
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
    // Fills slot player of the session player table from the store.
    void GetMyDetails(int player);
    // Empties the detail fields of slot player.
    static void ClearMyDetails(int player);

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
