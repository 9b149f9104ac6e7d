#include "tools/JwtText.h"

#include "base/Utf8Text.h"
#include "text/Graphemes.h"
#include "tools/Base64Text.h"
#include "tools/JsonLayout.h"
#include "tools/JsonSyntax.h"

#include <QList>

using namespace Qt::StringLiterals;

namespace {

// Splits at each "." that is a character of its own, keeping empty pieces.
QList<QStringView> segments(QStringView text)
{
    QList<QStringView> pieces;
    Graphemes characters(text);
    qsizetype start = 0;
    for (qsizetype dot = text.indexOf(u'.'); dot >= 0; dot = text.indexOf(u'.', dot + 1)) {
        if (!characters.isBoundary(dot) || !characters.isBoundary(dot + 1))
            continue;
        pieces.append(text.sliced(start, dot - start));
        start = dot + 1;
    }
    pieces.append(text.sliced(start));
    return pieces;
}

std::optional<QString> decodedJson(QStringView segment)
{
    const auto bytes = Base64Text::decodeBase64Text(segment);
    if (!bytes)
        return std::nullopt;
    auto json = Utf8Text::decode(*bytes);
    if (!json || !JsonSyntax::isDocument(*json))
        return std::nullopt;
    return json;
}

} // namespace

namespace JwtText {

std::optional<QString> decodeJWT(QStringView text)
{
    if (!text.startsWith(u"eyJ"))
        return std::nullopt;
    const QList<QStringView> parts = segments(text);
    if (parts.size() != 3)
        return std::nullopt;
    const auto header = decodedJson(parts[0]);
    const auto payload = decodedJson(parts[1]);
    if (!header || !payload)
        return std::nullopt;
    return JsonLayout::relayout(u"{\"header\":"_s + *header + u",\"payload\":"_s + *payload + u'}', true);
}

} // namespace JwtText
