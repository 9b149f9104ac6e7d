#include "text/PercentCoding.h"

#include "base/HexDigit.h"
#include "base/Utf8Text.h"

namespace {

// The byte written by the two hexadecimal digits at bytes[at], or -1.
int escapedByte(QByteArrayView bytes, qsizetype at)
{
    if (bytes.size() - at < 2)
        return -1;
    const int high = hexDigitValue(bytes[at]);
    const int low = hexDigitValue(bytes[at + 1]);
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

} // namespace

namespace PercentCoding {

QString encode(QStringView text)
{
    return QString::fromLatin1(text.toUtf8().toPercentEncoding());
}

std::optional<QString> decode(QStringView text)
{
    // Link cleaning decodes every query item's name; most have no escape.
    if (!text.contains(u'%'))
        return text.toString();
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
