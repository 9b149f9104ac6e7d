#include "text/PercentCoding.h"

#include "base/Utf8Text.h"

#include <charconv>

namespace {

// The byte written by the two hexadecimal digits at bytes[at], or -1.
int escapedByte(QByteArrayView bytes, qsizetype at)
{
    if (bytes.size() - at < 2)
        return -1;
    const char *first = bytes.data() + at;
    unsigned value = 0;
    const auto [end, error] = std::from_chars(first, first + 2, value, 16);
    return error == std::errc() && end == first + 2 ? int(value) : -1;
}

} // namespace

namespace PercentCoding {

QString encode(QStringView text)
{
    return QString::fromLatin1(text.toUtf8().toPercentEncoding());
}

std::optional<QString> decode(QStringView text)
{
    const QByteArray encoded = text.toUtf8();
    QByteArray decoded;
    decoded.reserve(encoded.size());
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        if (encoded[i] != '%') {
            decoded.append(encoded[i]);
            continue;
        }
        const int byte = escapedByte(encoded, i + 1);
        if (byte < 0)
            return std::nullopt;
        decoded.append(char(byte));
        i += 2;
    }
    return Utf8Text::decode(decoded);
}

bool containsEscape(QStringView text)
{
    const QByteArray bytes = text.toUtf8();
    for (qsizetype i = bytes.indexOf('%'); i >= 0; i = bytes.indexOf('%', i + 1)) {
        if (escapedByte(bytes, i + 1) >= 0)
            return true;
    }
    return false;
}

} // namespace PercentCoding
