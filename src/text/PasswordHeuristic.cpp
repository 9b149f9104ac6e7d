#include "text/PasswordHeuristic.h"

#include "text/Blanks.h"
#include "text/Graphemes.h"

namespace PasswordHeuristic {

namespace {

bool isAsciiUpper(QChar c)
{
    return c >= u'A' && c <= u'Z';
}
bool isAsciiLower(QChar c)
{
    return c >= u'a' && c <= u'z';
}
bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

bool looksLikePassword(const QString &text)
{
    if (text.contains(u'\n'))
        return false;
    const QStringView trimmed = Blanks::trimmed(text);
    constexpr qsizetype minLength = 12;
    constexpr qsizetype maxLength = 128;
    // A cluster has at least one code unit, so a short text needs no count.
    if (trimmed.size() < minLength)
        return false;
    const qsizetype length = Graphemes::count(trimmed, maxLength + 1);
    if (length < minLength || length > maxLength)
        return false;
    if (trimmed.contains(u' ') || trimmed.contains(u"://") || trimmed.contains(u'@')
        || trimmed.contains(u'/'))
        return false;
    if (trimmed.startsWith(u"http") || trimmed.startsWith(u"ssh"))
        return false;

    // Any character that is not an ASCII letter or digit (accents, other
    // scripts, emoji, punctuation) counts in the fourth class.
    bool upper = false, lower = false, digit = false, other = false;
    for (const QChar c : trimmed) {
        if (isAsciiUpper(c))
            upper = true;
        else if (isAsciiLower(c))
            lower = true;
        else if (isAsciiDigit(c))
            digit = true;
        else
            other = true;
    }
    return int(upper) + int(lower) + int(digit) + int(other) >= 3;
}

} // namespace PasswordHeuristic
