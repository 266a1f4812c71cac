#pragma once

#include <QString>
#include <QUrl>

// The update check and the bug report as plain functions: building the
// requests to the web directory and reading its replies. Every reply may be
// hostile.

// The directory's password for its scripts.
inline const QString DirectoryPassword = QStringLiteral("R462TpwxK");

// How long the update check and the bug report wait for the directory.
inline constexpr int UtilityRequestTimeoutMs = 4000;
[[nodiscard]] int utilityRequestTimeoutMs();
// Tests shorten the wait; 0 or less restores UtilityRequestTimeoutMs.
void setUtilityRequestTimeoutMs(int milliseconds);

// The text between "@@START@@" and "@@END@@" of a reply body, empty when the
// markers are missing or enclose a single character.
[[nodiscard]] QString ReplyPayload(const QString &body);

// A version is dot-separated whole numbers of ASCII digits ("2.0.13"), at
// most MaxVersionLength characters long.
inline constexpr int MaxVersionLength = 64;
[[nodiscard]] bool IsVersionText(const QString &text);

// True when newest is a later version than current. The parts are compared
// one by one as numbers of any length (a missing part counts as 0), so that
// "2.1" is later than "2.0.13". Anything that is not a version is never an
// update.
[[nodiscard]] bool Update_CheckVersions(const QString &newest, const QString &current);

// check_updates.asp?myver=<version> in the directory's script folder;
// invalid when the directory address is not usable.
[[nodiscard]] QUrl UpdateCheckURL(const QString &version);

// The query of a bug report, starting with "?": mode, password, version,
// the port (always 0), then the encoded name, area and report.
[[nodiscard]] QString BugReportQuery(const QString &version, const QString &playerName,
                                     const QString &area, const QString &report);
// bug_reports.asp with that query; invalid when the directory address is
// not usable.
[[nodiscard]] QUrl BugReportURL(const QString &version, const QString &playerName,
                                const QString &area, const QString &report);
