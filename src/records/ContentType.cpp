#include "records/ContentType.h"

using namespace Qt::StringLiterals;

QString rawValue(ContentType type)
{
    switch (type) {
    case ContentType::plainText:
        return u"text"_s;
    case ContentType::richText:
        return u"rtf"_s;
    case ContentType::image:
        return u"image"_s;
    case ContentType::fileURL:
        return u"file"_s;
    }
    return {};
}

std::optional<ContentType> contentTypeFromRawValue(QStringView text)
{
    for (ContentType type : allContentTypes) {
        if (text == rawValue(type))
            return type;
    }
    return std::nullopt;
}
