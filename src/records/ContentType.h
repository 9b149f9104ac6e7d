#pragma once

#include "base/RawValueTable.h"

#include <QHashFunctions>

#include <array>
#include <utility>

// The kind of a history entry, stored and exchanged as its raw text.
enum class ContentType {
    plainText,
    richText,
    image,
    fileURL,
};

template<> struct RawValueTable<ContentType> {
    static constexpr std::array<std::pair<ContentType, QStringView>, 4> entries {{
        {ContentType::plainText, u"text"},
        {ContentType::richText, u"rtf"},
        {ContentType::image, u"image"},
        {ContentType::fileURL, u"file"},
    }};
};

inline size_t qHash(ContentType type, size_t seed = 0)
{
    return qHash(static_cast<int>(type), seed);
}
