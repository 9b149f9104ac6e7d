#pragma once

#include <QHashFunctions>
#include <QString>

#include <array>
#include <optional>

// The kind of a history entry, stored and exchanged as its raw text.
enum class ContentType {
    plainText,
    richText,
    image,
    fileURL,
};

inline constexpr std::array allContentTypes {
    ContentType::plainText,
    ContentType::richText,
    ContentType::image,
    ContentType::fileURL,
};

QString rawValue(ContentType type);

// Exact, case-sensitive match of the whole text.
std::optional<ContentType> contentTypeFromRawValue(QStringView text);

inline size_t qHash(ContentType type, size_t seed = 0)
{
    return qHash(static_cast<int>(type), seed);
}
