#pragma once

#include <QString>

// The four game ports as the options window lists them, by 0-based list
// index (port number minus 1): R, J, E, X.
namespace options {

inline constexpr int PortCount = 4;

// The settings value that tells whether the player uses the port: "IUseR",
// "IUseJ", "IUseE", "IUseX"; empty outside 0-3.
[[nodiscard]] QString IUseValueName(int port);
// "R_ExePath" ... and "R_ModPath" ...; empty outside 0-3.
[[nodiscard]] QString ExeValueName(int port);
[[nodiscard]] QString ModValueName(int port);

// The file name the port's executable usually has. Native builds outside
// Windows have no ".exe", so there it comes without one.
[[nodiscard]] QString UsualExeName(int port);

// The executable chooser's filter: the port's name offering only its usual
// executable, then "Other Port" offering any executable. Empty outside 0-3.
[[nodiscard]] QString ExeChooserFilter(int port);

} // namespace options
