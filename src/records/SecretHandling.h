#pragma once

#include "base/RawValueTable.h"

#include <QHashFunctions>

#include <array>
#include <utility>

// What capture does with a text that secret detection flags, stored as its
// raw text.
enum class SecretHandling {
    lock, // kept, marked sensitive
    skip, // not captured
    store, // kept as an ordinary entry
};

// In the order pickers show them.
template<> struct RawValueTable<SecretHandling> {
    static constexpr std::array<std::pair<SecretHandling, QStringView>, 3> entries {{
        {SecretHandling::lock, u"lock"},
        {SecretHandling::skip, u"skip"},
        {SecretHandling::store, u"store"},
    }};
};

inline size_t qHash(SecretHandling handling, size_t seed = 0)
{
    return qHash(rawValue(handling), seed);
}
