#include "text/LinkFinder.h"

#include <unicode/uchar.h>

#include <array>

namespace LinkFinder {

namespace {

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isSchemeCharacter(QChar c)
{
    return isAsciiLetter(c) || isAsciiDigit(c) || c == u'+' || c == u'-' || c == u'.';
}

bool endsLink(char32_t c)
{
    if (c == U'<' || c == U'>' || c == U'"' || c == U'`' || u_isUWhiteSpace(UChar32(c)))
        return true;
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
        return true;
    default:
        return false;
    }
}

qsizetype bodyEnd(QStringView text, qsizetype from)
{
    qsizetype i = from;
    while (i < text.size()) {
        const char16_t unit = text[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            if (endsLink(QChar::surrogateToUcs4(unit, text[i + 1].unicode())))
                break;
            i += 2;
        } else {
            if (endsLink(unit))
                break;
            ++i;
        }
    }
    return i;
}

constexpr std::array<char16_t, 3> openingBrackets = {u'(', u'[', u'{'};
constexpr std::array<char16_t, 3> closingBrackets = {u')', u']', u'}'};

bool isTrailingPunctuation(QChar c)
{
    switch (c.unicode()) {
    case u'.':
    case u',':
    case u':':
    case u';':
    case u'!':
    case u'?':
    case u'\'':
    case u'*':
        return true;
    default:
        return c.unicode() > 0x7F && c.isPunct();
    }
}

// Where the link [begin, end) ends once trailing punctuation and unbalanced
// closing brackets are left out.
qsizetype trimmedEnd(QStringView text, qsizetype begin, qsizetype end)
{
    std::array<qsizetype, 3> opened {};
    std::array<qsizetype, 3> closed {};
    for (qsizetype i = begin; i < end; ++i) {
        for (size_t kind = 0; kind < openingBrackets.size(); ++kind) {
            opened[kind] += text[i] == openingBrackets[kind];
            closed[kind] += text[i] == closingBrackets[kind];
        }
    }
    while (end > begin) {
        const QChar last = text[end - 1];
        const auto closing = std::ranges::find(closingBrackets, last.unicode());
        if (closing != closingBrackets.end()) {
            const size_t kind = size_t(closing - closingBrackets.begin());
            if (closed[kind] <= opened[kind])
                break;
            --closed[kind];
        } else if (!isTrailingPunctuation(last)) {
            break;
        }
        --end;
    }
    return end;
}

// Where the scheme ending at colon starts: the run of scheme characters
// before it, from its first letter. -1 when there is none.
qsizetype schemeStart(QStringView text, qsizetype floor, qsizetype colon)
{
    qsizetype start = colon;
    while (start > floor && isSchemeCharacter(text[start - 1]))
        --start;
    while (start < colon && !isAsciiLetter(text[start]))
        ++start;
    return start < colon ? start : -1;
}

bool startsWebLink(QStringView text, qsizetype i)
{
    if (i + 4 >= text.size() || text.sliced(i, 4).compare(u"www.", Qt::CaseInsensitive) != 0)
        return false;
    if (!text[i + 4].isLetterOrNumber())
        return false;
    if (i == 0)
        return true;
    // Not the inside of a word, a host name, an address or a path.
    const QChar before = text[i - 1];
    return !before.isLetterOrNumber() && before != u'.' && before != u'-' && before != u'_' && before != u'@'
        && before != u'/';
}

} // namespace

QList<Link> findLinks(QStringView text)
{
    QList<Link> links;
    qsizetype floor = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        qsizetype start = -1;
        qsizetype bodyStart = 0;
        if (text[i] == u':' && text.sliced(i).startsWith(u"://")) {
            start = schemeStart(text, floor, i);
            bodyStart = i + 3;
        } else if ((text[i] == u'w' || text[i] == u'W') && startsWebLink(text, i)) {
            start = i;
            bodyStart = i + 4;
        }
        if (start < 0) {
            ++i;
            continue;
        }
        const qsizetype end = trimmedEnd(text, bodyStart, bodyEnd(text, bodyStart));
        if (end == bodyStart) {
            i = bodyStart;
            continue;
        }
        links.append({start, end - start});
        floor = i = end;
    }
    return links;
}

} // namespace LinkFinder
