#include "records/UuidText.h"

#include "base/HexDigit.h"

#include <array>

namespace {

char16_t unitAt(QStringView text, qsizetype at)
{
    return text[at].unicode();
}

// A byte of a multi-byte character is no hex digit or dash either.
char16_t unitAt(QByteArrayView text, qsizetype at)
{
    return char16_t(uchar(text[at]));
}

// Straight into the sixteen bytes: a history load parses thousands.
template<class Text> std::optional<QUuid> parseText(Text text)
{
    if (text.size() != 36)
        return std::nullopt;
    std::array<char, 16> bytes {};
    qsizetype byte = 0;
    for (qsizetype i = 0; i < text.size();) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (unitAt(text, i) != u'-')
                return std::nullopt;
            ++i;
            continue;
        }
        const int high = hexDigitValue(unitAt(text, i));
        const int low = hexDigitValue(unitAt(text, i + 1));
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes[std::size_t(byte++)] = char(high << 4 | low);
        i += 2;
    }
    return QUuid::fromRfc4122(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

} // namespace

QString UuidText::toText(const QUuid &uuid)
{
    return uuid.toString(QUuid::WithoutBraces).toUpper();
}

std::optional<QUuid> UuidText::parse(QStringView text)
{
    return parseText(text);
}

std::optional<QUuid> UuidText::parse(QByteArrayView utf8)
{
    return parseText(utf8);
}
