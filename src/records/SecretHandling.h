#pragma once

#include <QHashFunctions>
#include <QString>

#include <array>
#include <optional>

// What capture does with a text that secret detection flags, stored as its
// raw text.
enum class SecretHandling {
    lock, // kept, marked sensitive
    skip, // not captured
    store, // kept as an ordinary entry
};

// In the order pickers show them.
inline constexpr std::array allSecretHandlings {
    SecretHandling::lock,
    SecretHandling::skip,
    SecretHandling::store,
};

QString rawValue(SecretHandling handling);

// Exact, case-sensitive match of the whole text.
std::optional<SecretHandling> secretHandlingFromRawValue(QStringView text);

inline size_t qHash(SecretHandling handling, size_t seed = 0)
{
    return qHash(rawValue(handling), seed);
}
