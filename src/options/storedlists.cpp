#include "storedlists.h"

QString JoinList(const QStringList &entries, const QString &separator)
{
    return entries.join(separator);
}

QStringList SplitList(const QString &value, const QString &separator)
{
    if (value.isEmpty())
        return {};
    // An empty separator would split between every character.
    if (separator.isEmpty())
        return { value };
    return value.split(separator, Qt::KeepEmptyParts);
}
