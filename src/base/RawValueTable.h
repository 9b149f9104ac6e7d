#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

// The one table of an enum stored as text: a specialisation per enum with
//   static constexpr std::array<std::pair<Enum, QStringView>, N> entries;
// listing every value once with its raw text.
template<class Enum> struct RawValueTable;

template<class Enum>
concept StoredAsText = requires
{
    RawValueTable<Enum>::entries;
};

template<StoredAsText Enum> QString rawValue(Enum value)
{
    for (const auto &[candidate, text] : RawValueTable<Enum>::entries) {
        if (candidate == value)
            return text.toString();
    }
    return {};
}

// Exact, case-sensitive match of the whole text.
template<StoredAsText Enum> std::optional<Enum> fromRawValue(QStringView text)
{
    for (const auto &[value, raw] : RawValueTable<Enum>::entries) {
        if (raw == text)
            return value;
    }
    return std::nullopt;
}

// The same for text as stored (UTF-8): the raw texts are ASCII, which no
// other byte sequence reads as.
template<StoredAsText Enum> std::optional<Enum> fromRawValue(QByteArrayView utf8)
{
    for (const auto &[value, raw] : RawValueTable<Enum>::entries) {
        if (raw == QLatin1StringView(utf8))
            return value;
    }
    return std::nullopt;
}
