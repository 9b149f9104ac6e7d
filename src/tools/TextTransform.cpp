#include "tools/TextTransform.h"

#include "base/Utf8Text.h"
#include "text/Graphemes.h"
#include "text/PercentCoding.h"
#include "tools/Base64Text.h"
#include "tools/JsonLayout.h"
#include "tools/JwtText.h"
#include "tools/LineTools.h"

#include <openssl/evp.h>

#include <array>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype applyLimit = 2'000'000;
constexpr qsizetype offerLimit = 256'000;

struct Description {
    QStringView rawValue;
    QStringView title;
    int group;
};

constexpr std::array<Description, 12> descriptions {{
    {u"prettyJSON", u"Pretty-print JSON", 0},
    {u"minifyJSON", u"Minify JSON", 0},
    {u"jwtDecode", u"Decode JWT", 0},
    {u"base64Encode", u"Base64 Encode", 1},
    {u"base64Decode", u"Base64 Decode", 1},
    {u"urlEncode", u"URL Encode", 1},
    {u"urlDecode", u"URL Decode", 1},
    {u"sha256", u"SHA-256 Hash", 1},
    {u"trim", u"Trim Whitespace", 2},
    {u"joinLines", u"Join Lines", 2},
    {u"sortLines", u"Sort Lines", 2},
    {u"uniqueLines", u"Remove Duplicate Lines", 2},
}};

QString sha256Hex(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(bytes.constData(), size_t(bytes.size()), digest, &length, EVP_sha256(), nullptr) != 1)
        qFatal("SHA-256 is not available");
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(digest), int(length)).toHex());
}

} // namespace

QList<TextTransform> TextTransform::allCases()
{
    QList<TextTransform> all;
    for (int kind = prettyJSON; kind <= uniqueLines; ++kind)
        all.append(Kind(kind));
    return all;
}

std::optional<TextTransform> TextTransform::fromRawValue(QStringView rawValue)
{
    for (std::size_t kind = 0; kind < descriptions.size(); ++kind) {
        if (descriptions[kind].rawValue == rawValue)
            return Kind(kind);
    }
    return std::nullopt;
}

QString TextTransform::rawValue() const
{
    return descriptions[m_kind].rawValue.toString();
}

QString TextTransform::title() const
{
    return descriptions[m_kind].title.toString();
}

int TextTransform::group() const
{
    return descriptions[m_kind].group;
}

std::optional<QString> TextTransform::apply(const QString &text) const
{
    if (Utf8Text::size(text) > applyLimit)
        return std::nullopt;
    const QStringView trimmed = Graphemes::trimmed(text);
    switch (m_kind) {
    case prettyJSON:
        return JsonLayout::prettyPrintJSON(trimmed, true);
    case minifyJSON:
        return JsonLayout::prettyPrintJSON(trimmed, false);
    case jwtDecode:
        return JwtText::decodeJWT(trimmed);
    case base64Encode:
        return QString::fromLatin1(text.toUtf8().toBase64());
    case base64Decode:
        return Base64Text::printableBase64Decoding(trimmed);
    case urlEncode:
        return PercentCoding::encode(text);
    case urlDecode:
        return PercentCoding::decode(trimmed);
    case sha256:
        return sha256Hex(text);
    case trim:
        return LineTools::trimLines(text);
    case joinLines:
        return LineTools::joinLines(text);
    case sortLines:
        return LineTools::sortLines(text);
    case uniqueLines:
        return LineTools::uniqueLines(text);
    }
    Q_UNREACHABLE();
    return std::nullopt;
}

bool TextTransform::isApplicable(const QString &text) const
{
    const QStringView trimmed = Graphemes::trimmed(text);
    if (trimmed.isEmpty())
        return false;
    switch (m_kind) {
    case prettyJSON:
    case minifyJSON: {
        if (!trimmed.startsWith(u'{') && !trimmed.startsWith(u'['))
            return false;
        const auto result = apply(text);
        return result && *result != trimmed;
    }
    case jwtDecode:
        return JwtText::decodeJWT(trimmed).has_value();
    case base64Encode:
    case urlEncode:
    case sha256:
        return true;
    case base64Decode:
        return Base64Text::printableBase64Decoding(trimmed).has_value();
    case urlDecode:
        return PercentCoding::containsEscape(trimmed) && PercentCoding::decode(trimmed).has_value();
    case trim:
        return apply(text) != text;
    case joinLines:
    case sortLines:
        return LineTools::splitLines(text, false).size() >= 2;
    case uniqueLines: {
        const QList<QStringView> lines = LineTools::splitLines(text, false);
        return lines.size() >= 2 && LineTools::hasDuplicateLines(lines);
    }
    }
    Q_UNREACHABLE();
    return false;
}

QList<TextTransform> TextTransform::applicableTransforms(const QString &text)
{
    QList<TextTransform> offered;
    if (text.isEmpty() || Utf8Text::size(text) > offerLimit)
        return offered;
    for (const TextTransform transform : allCases()) {
        if (transform.isApplicable(text))
            offered.append(transform);
    }
    return offered;
}

QList<QList<TextTransform>> TextTransform::groupTransforms(const QList<TextTransform> &transforms)
{
    QList<QList<TextTransform>> runs;
    for (const TextTransform transform : transforms) {
        if (runs.isEmpty() || runs.last().last().group() != transform.group())
            runs.append(QList<TextTransform>());
        runs.last().append(transform);
    }
    return runs;
}
