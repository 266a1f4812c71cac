#pragma once

#include <QString>

// The program's three web addresses, all on the web directory's host so that
// the whole system can run on one machine: 1 the product web site, 2 the
// directory's script folder, 3 the forum. Any other number gives empty text.
[[nodiscard]] QString Website(int urlType);
