#include "capture/CapturedImageError.h"

using namespace Qt::StringLiterals;

QString description(const CapturedImageError &error)
{
    switch (error.code) {
    case CapturedImageError::Code::unsupportedFormat:
        return u"Clipboard image is neither PNG nor TIFF"_s;
    case CapturedImageError::Code::tooLarge:
        return u"Clipboard image too large (%1)"_s.arg(error.detail);
    case CapturedImageError::Code::undecodable:
        return u"Clipboard image cannot be decoded"_s;
    }
    return {};
}
