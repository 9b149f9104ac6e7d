#include "tools/SmartActions.h"

#include "text/Graphemes.h"
#include "tools/IcuRegex.h"

#include <QUrl>

#include <unicode/locid.h>
#include <unicode/unistr.h>

namespace SmartActions {

namespace {

bool containsLetter(QStringView text)
{
    for (const char32_t codePoint : text.toUcs4()) {
        if (QChar::isLetter(codePoint))
            return true;
    }
    return false;
}

bool isEmailAddress(QStringView text)
{
    static const IcuRegex pattern(u"^[A-Z0-9._%+-]+@[A-Z0-9.-]+\\.[A-Z]{2,}$", UREGEX_CASE_INSENSITIVE);
    return pattern.matchesWhole(text);
}

// Full case mapping in the root locale, so that "ß" upper-cases to "SS" and
// a final sigma lower-cases to "ς".
QString mapped(QStringView text, bool upper)
{
    icu::UnicodeString icuText(text.utf16(), int32_t(text.size()));
    if (upper)
        icuText.toUpper(icu::Locale::getRoot());
    else
        icuText.toLower(icu::Locale::getRoot());
    return QString(reinterpret_cast<const QChar *>(icuText.getBuffer()), icuText.length());
}

QString titleCased(const QString &text)
{
    QStringList pieces = text.split(u' ');
    for (QString &piece : pieces) {
        if (piece.isEmpty())
            continue;
        const qsizetype first = Graphemes(piece).nextBoundary(0);
        piece.replace(0, first, mapped(QStringView(piece).first(first), true));
    }
    return pieces.join(u' ');
}

} // namespace

QList<SmartActionKind> smartActions(QStringView text)
{
    QList<SmartActionKind> actions;
    const QStringView trimmed = Graphemes::trimmed(text);
    if (trimmed.isEmpty())
        return actions;
    const bool webURL = isWebURL(trimmed);
    if (webURL)
        actions.append(SmartActionKind::openURL);
    if (isEmailAddress(trimmed))
        actions.append(SmartActionKind::composeEmail);
    const qsizetype characters = Graphemes::count(trimmed, qrCodeLimit + 1);
    if (characters <= caseLimit && !webURL && containsLetter(trimmed))
        actions << SmartActionKind::uppercase << SmartActionKind::lowercase << SmartActionKind::titlecase;
    if (characters <= qrCodeLimit)
        actions.append(SmartActionKind::qrCode);
    return actions;
}

bool isWebURL(QStringView text)
{
    const QString scheme = text.first(std::min<qsizetype>(text.size(), 8)).toString().toLower();
    if (!scheme.startsWith(u"http://") && !scheme.startsWith(u"https://"))
        return false;
    for (const char32_t codePoint : text.toUcs4()) {
        if (QChar::isSpace(codePoint))
            return false;
    }
    return QUrl(text.toString(), QUrl::StrictMode).isValid();
}

QString changeCase(SmartActionKind kind, const QString &text)
{
    switch (kind) {
    case SmartActionKind::uppercase:
        return mapped(text, true);
    case SmartActionKind::lowercase:
        return mapped(text, false);
    case SmartActionKind::titlecase:
        return titleCased(text);
    case SmartActionKind::openURL:
    case SmartActionKind::composeEmail:
    case SmartActionKind::qrCode:
        break;
    }
    return text;
}

} // namespace SmartActions
