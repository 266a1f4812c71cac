#pragma once

#include <QString>
#include <QStringView>

#include <cstdio>
#include <cstdlib>
#include <initializer_list>

// A broken property aborts with its condition and line, so that a finding
// says which check failed and not only where.
#define FUZZ_REQUIRE(condition)                                                                    \
    do {                                                                                           \
        if (!(condition))                                                                          \
            fuzzcheck::fail(#condition, __FILE__, __LINE__);                                       \
    } while (false)

namespace fuzzcheck {

[[noreturn]] inline void fail(const char *condition, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, condition);
    std::abort();
}

// What the builders make of a text they must keep free of separators: each
// one removed until none is left, since a removal can join two halves.
inline QString without(QString text, std::initializer_list<QStringView> separators)
{
    bool removed = true;
    while (removed) {
        removed = false;
        for (QStringView separator : separators) {
            if (text.contains(separator)) {
                text.remove(separator.toString());
                removed = true;
            }
        }
    }
    return text;
}

} // namespace fuzzcheck
