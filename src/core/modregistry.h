#pragma once

#include "settingsstore.h"

#include <QString>
#include <QVariant>

// The thin wrapper over the settings store. A missing key or value reads as
// empty text; every write returns the store's status (0 when written). The
// program's own values are read and written through settings.h.
namespace modRegistry {

inline constexpr int REG_SZ = 1;
inline constexpr int REG_DWORD = 4;

// The settings root under the current user's branch.
inline const QString SettingsRoot = QStringLiteral("Software\\Tarnwick\\Velkor\\2.0");

// The only root there is: the current user's branch.
enum class Root { CurrentUser };

// A key opened for reading or writing. Opening fails on a missing key.
struct OpenKey
{
    QString path;
    bool isOpen = false;
};

[[nodiscard]] OpenKey OpenKeyPath(Root root, const QString &keyPath);

// Creates the key (and the keys above it), or opens an existing one.
long CreateKey(Root root, const QString &keyPath);
// Writes into an existing key only; a missing key writes nothing.
long SetKeyValue(Root root, const QString &keyPath, const QString &valueName, const QVariant &value,
                 int type);
[[nodiscard]] QString GetKeyValue(Root root, const QString &keyPath, const QString &valueName);
// Type 1 stores text, type 4 a 32-bit integer, any other type nothing.
long WriteValue(const OpenKey &key, const QString &valueName, int type, const QVariant &value);
// Reads a value of type 1 or 4 into value; other types give -1.
long QueryValue(const OpenKey &key, const QString &valueName, QVariant &value);
// Deletes a key that has no subkeys; the status is ignored.
void DeleteKey(Root root, const QString &keyPath);

} // namespace modRegistry

// A value under the settings root; an empty subkey addresses the root.
[[nodiscard]] QString ReadSetting(const QString &subKey, const QString &valueName);
// Writes under the settings root; a missing subkey writes nothing and
// returns FileNotFound.
long WriteSetting(const QString &subKey, const QString &valueName, const QString &value,
                  int type = modRegistry::REG_SZ);
