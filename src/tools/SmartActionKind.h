#pragma once

#include <QHashFunctions>
#include <QString>

#include <optional>

// A one-click action offered for a text, identified by its raw text.
enum class SmartActionKind {
    openURL,
    composeEmail,
    uppercase,
    lowercase,
    titlecase,
    qrCode,
};

QString rawValue(SmartActionKind kind);

// Exact, case-sensitive match of the whole text.
std::optional<SmartActionKind> smartActionKindFromRawValue(QStringView text);

inline size_t qHash(SmartActionKind kind, size_t seed = 0)
{
    return qHash(rawValue(kind), seed);
}
