#include "tools/Base64Text.h"

#include "base/Utf8Text.h"
#include "text/Graphemes.h"

#include <QList>

namespace {

bool isAlphabet(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/'
        || c == '-' || c == '_';
}

} // namespace

namespace Base64Text {

std::optional<QByteArray> decodeBase64Text(QStringView text)
{
    QByteArray compact;
    compact.reserve(text.size());
    for (const QChar c : text) {
        if (Graphemes::isWhitespaceOrNewline(c.unicode()))
            continue;
        if (c.unicode() >= 0x80)
            return std::nullopt;
        compact.append(char(c.unicode()));
    }
    if (compact.size() < 4)
        return std::nullopt;

    qsizetype letters = compact.size();
    while (letters > 0 && compact[letters - 1] == '=')
        --letters;
    if (letters == 0 || compact.size() - letters > 2)
        return std::nullopt;
    for (qsizetype i = 0; i < letters; ++i) {
        if (!isAlphabet(compact[i]))
            return std::nullopt;
    }

    compact.truncate(letters);
    compact.replace('-', '+').replace('_', '/');
    while (compact.size() % 4 != 0)
        compact.append('=');
    auto decoded = QByteArray::fromBase64Encoding(compact, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return std::nullopt;
    return *decoded;
}

std::optional<QString> printableBase64Decoding(QStringView text)
{
    if (!text.endsWith(u'=') && Graphemes::count(text, 8) < 8)
        return std::nullopt;
    const auto bytes = decodeBase64Text(text);
    if (!bytes)
        return std::nullopt;
    auto decoded = Utf8Text::decode(*bytes);
    if (!decoded || decoded->isEmpty() || containsControlCharacters(*decoded))
        return std::nullopt;
    return decoded;
}

bool containsControlCharacters(QStringView text)
{
    for (const char32_t codePoint : text.toUcs4()) {
        if (codePoint == u'\t' || codePoint == u'\n' || codePoint == u'\r')
            continue;
        const QChar::Category category = QChar::category(codePoint);
        if (category == QChar::Other_Control || category == QChar::Other_Format)
            return true;
    }
    return false;
}

} // namespace Base64Text
