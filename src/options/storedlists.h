#pragma once

#include <QString>
#include <QStringList>

// Lists kept in one settings value, their entries joined by a two-character
// separator. Stored values may come from any older writer, so reading keeps
// every part, empty ones included.

// Each entry followed by the separator, with the final separator removed;
// no entries give an empty text.
[[nodiscard]] QString JoinList(const QStringList &entries, const QString &separator);

// The parts between the separators; an empty value gives no entries.
[[nodiscard]] QStringList SplitList(const QString &value, const QString &separator);
