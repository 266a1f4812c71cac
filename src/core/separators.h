#pragma once

#include <QString>

// Field separators of the wire formats and of lists kept in settings. Each
// is two control characters, first character first.
namespace sep {

inline QString sepOf(char16_t first, char16_t second)
{
    const QChar chars[2] = { first, second };
    return QString(chars, 2);
}

inline const QString ListSep = sepOf(14, 15); // lobby datagrams, stored lists
inline const QString SubSep = sepOf(8, 9); // sub-fields of lobby fields
inline const QString MsgSep = sepOf(12, 14); // session message fields
inline const QString DetailSep = sepOf(11, 13); // player record fields
inline const QString StyleSep = sepOf(11, 9); // styled chat text fields

} // namespace sep
