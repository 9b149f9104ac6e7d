#pragma once

#include "base/RawValueTable.h"

#include <QHashFunctions>

#include <array>
#include <utility>

// A one-click action offered for a text, identified by its raw text.
enum class SmartActionKind {
    openURL,
    composeEmail,
    uppercase,
    lowercase,
    titlecase,
    qrCode,
};

template<> struct RawValueTable<SmartActionKind> {
    static constexpr std::array<std::pair<SmartActionKind, QStringView>, 6> entries {{
        {SmartActionKind::openURL, u"openURL"},
        {SmartActionKind::composeEmail, u"composeEmail"},
        {SmartActionKind::uppercase, u"uppercase"},
        {SmartActionKind::lowercase, u"lowercase"},
        {SmartActionKind::titlecase, u"titlecase"},
        {SmartActionKind::qrCode, u"qrCode"},
    }};
};

inline size_t qHash(SmartActionKind kind, size_t seed = 0)
{
    return qHash(rawValue(kind), seed);
}
