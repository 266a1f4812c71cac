#pragma once

#include <QString>

// Path and name helpers. Both "\" and "/" separate folders, so that paths
// stored on Windows and elsewhere read alike.

// The part of path after its last separator; empty when it has none.
[[nodiscard]] QString GetExeName(const QString &path);
// The part of path before its last separator; empty when it has none.
[[nodiscard]] QString GetPathOnly(const QString &path);
// The character just before the first ":"; "C" when there is none.
[[nodiscard]] QString GetDrive(const QString &path);
// Joins a folder and a file name with the platform's separator.
[[nodiscard]] QString JoinPath(const QString &folder, const QString &name);

// False for the empty path and on any file-system error.
[[nodiscard]] bool FileExists(const QString &path);
[[nodiscard]] bool FolderExists(const QString &path);

// Removes the colour codes "^0" to "^9" from name, one pass per digit in
// ascending order, and returns the cleaned text.
QString FixName(QString &name);
[[nodiscard]] QString FixedName(QString name);
