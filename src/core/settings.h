#pragma once

#include <QDate>
#include <QString>

#include <optional>

// The program's stored values, each with its place in the store, its type,
// its default and what counts as valid, in one place. Everything else reads
// and writes settings through these functions; no other file names a key.
//
// Every value is stored as text ("1"/"0" for flags, decimal numbers), as
// existing users' stores have it. Reads come from the store's in-memory copy
// of the file, which is read again when another process has replaced it. A
// missing value reads as empty text or the value's fallback. Writes go into
// existing keys only and report whether they reached the store.
namespace settings {

// The outcome of a write: the store's status, 0 when the value was written.
struct Result
{
    long status = 0;
    [[nodiscard]] bool ok() const { return status == 0; }
};

// Where every file-store write waits and fails: shown to the user when a
// save fails.
[[nodiscard]] QString location();

// ---- first run and clean-up ----

// Creates the key tree and writes the first-run defaults.
Result writeFirstRunDefaults(const QString &installPath, const QString &version,
                             const QDate &today);
// Deletes the four subkeys and the root, subkeys first; false when any of
// them is still there afterwards.
[[nodiscard]] bool removeAll();

// ---- Game ----

// Set once the first-time setup was saved complete ("1").
[[nodiscard]] bool setupComplete();
Result setSetupComplete();

// The stored default port as written, "1" to "4" when valid.
[[nodiscard]] QString defaultPortText();
// The default port, 0-based; anything but 1-4 falls back to the first.
[[nodiscard]] int defaultPort();
// The default port, 0-based, only when the stored text is exactly 1-4.
[[nodiscard]] std::optional<int> exactDefaultPort();
Result setDefaultPort(int port); // 0-based

// Per port, 0-based 0-3 (R, J, E, X); other ports read empty and write
// nothing.
[[nodiscard]] QString exePath(int port);
Result setExePath(int port, const QString &path);
[[nodiscard]] QString modPath(int port);
Result setModPath(int port, const QString &path);
// "I use this port": the stored text, and whether it is the number 1.
[[nodiscard]] QString usesPortText(int port);
[[nodiscard]] bool usesPort(int port);
Result setUsesPort(int port, bool used);

[[nodiscard]] QString mapPath();
Result setMapPath(const QString &path);
// "1" exactly.
[[nodiscard]] QString hrpEnabledText();
[[nodiscard]] bool hrpEnabled();
Result setHrpEnabled(bool enabled);
[[nodiscard]] QString hrpPack1();
[[nodiscard]] QString hrpPack2();
Result setHrpPacks(const QString &first, const QString &second);

// The date of the last ordinary start, as stored (ISO date).
[[nodiscard]] QString lastRun();
Result setLastRun(const QDate &date);

// Saved hosts: name, address and port of each, in one ListSep list.
[[nodiscard]] QString storedHosts();
Result setStoredHosts(const QString &list);

// ---- Network ----

// The stored network type as written; 1 direct, 2 shared network.
[[nodiscard]] QString networkTypeText();
// The network type as a byte; a value that is not a number 0-255 is 0.
[[nodiscard]] quint8 networkType();
Result setNetworkType(int type);
// The bandwidth; not a 16-bit number reads as 0.
[[nodiscard]] qint16 bandwidth();
[[nodiscard]] QString wanIP();
Result setWanIP(const QString &address);
[[nodiscard]] QString wanPort();
Result setWanPort(const QString &port);
[[nodiscard]] QString lanIP();
Result setLanIP(const QString &address);
[[nodiscard]] QString lanPort();
Result setLanPort(const QString &port);
// The web directory's base address, when one is set.
[[nodiscard]] QString directoryURL();

// ---- Player ----

[[nodiscard]] QString playerName();
Result setPlayerName(const QString &name);
[[nodiscard]] QString fullName();
Result setFullName(const QString &name);
// The country as stored: an index into the country table.
[[nodiscard]] QString countryText();
// The country index when it names one of count entries, else -1.
[[nodiscard]] int country(int count);
Result setCountry(int index);
[[nodiscard]] QString ageText();
// The age when it is a whole number from 0 to 255.
[[nodiscard]] std::optional<quint8> age();
Result setAge(const QString &age);
// Puts back the default age (18) over one that is out of range.
Result repairAge();
[[nodiscard]] QString emailAddress();
Result setEmailAddress(const QString &address);
[[nodiscard]] QString website();
Result setWebsite(const QString &address);
// Comments as stored, with CR LF line breaks.
[[nodiscard]] QString comments();
Result setComments(const QString &text);
// The other nick names to show and those set aside, each a MsgSep list.
[[nodiscard]] QString otherNames();
[[nodiscard]] QString otherOldNames();
Result setOtherNames(const QString &shown, const QString &setAside);

// ---- Session ----

// The chat font as stored; the session window checks the values.
[[nodiscard]] QString fontName();
[[nodiscard]] QString fontSize();
[[nodiscard]] QString fontStyle();
[[nodiscard]] QString fontColour();
[[nodiscard]] QString hostName();
Result setHostName(const QString &name);
// Saved session names, a ListSep list.
[[nodiscard]] QString hostNames();
Result setHostNames(const QString &list);

} // namespace settings
