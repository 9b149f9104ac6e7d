#include "tools/PlaceholderScan.h"

#include <QStringMatcher>

#include <unicode/uchar.h>

#include <optional>

namespace {

using Spans = IcuRegex::Spans;

// Where the decimal digits starting at at end; one beyond the Basic
// Multilingual Plane takes two characters.
qsizetype digitsEnd(QStringView text, qsizetype at, qsizetype end)
{
    while (at < end) {
        char32_t code = text[at].unicode();
        qsizetype width = 1;
        if (text[at].isHighSurrogate() && at + 1 < end && text[at + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(text[at], text[at + 1]);
            width = 2;
        }
        if (u_charType(UChar32(code)) != U_DECIMAL_DIGIT_NUMBER)
            break;
        at += width;
    }
    return at;
}

bool isNameCharacter(QChar character)
{
    const char16_t code = character.unicode();
    return (code >= u'A' && code <= u'Z') || (code >= u'a' && code <= u'z') || (code >= u'0' && code <= u'9')
        || code == u'_';
}

// The match starting at at, in a run that ends at end with "}}".
std::optional<Spans> matchAt(QStringView text, qsizetype at, qsizetype end, Placeholder placeholder)
{
    const qsizetype after = at + placeholderStem(placeholder).size();
    const IcuRegex::Span whole {at, end + 2};
    const IcuRegex::Span none {-1, -1};
    switch (placeholder) {
    case Placeholder::formattedDate:
    case Placeholder::formattedTime:
    case Placeholder::prompt:
        if (after >= end)
            return std::nullopt;
        return Spans {whole, {after, end}};
    case Placeholder::counter:
        if (after == end)
            return Spans {whole, none};
        if (text[after] != u':' || after + 1 == end)
            return std::nullopt;
        for (qsizetype character = after + 1; character < end; ++character) {
            if (!isNameCharacter(text[character]))
                return std::nullopt;
        }
        return Spans {whole, {after + 1, end}};
    case Placeholder::shiftedDate: {
        if (after >= end || (text[after] != u'+' && text[after] != u'-'))
            return std::nullopt;
        const qsizetype unit = digitsEnd(text, after + 1, end);
        if (unit == after + 1 || unit == end)
            return std::nullopt;
        if (const char16_t code = text[unit].unicode();
            code != u'd' && code != u'w' && code != u'm' && code != u'y')
            return std::nullopt;
        const qsizetype rest = unit + 1;
        if (rest == end)
            return Spans {whole, {after, unit}, {unit, rest}, none};
        if (text[rest] != u':' || rest + 1 == end)
            return std::nullopt;
        return Spans {whole, {after, unit}, {unit, rest}, {rest + 1, end}};
    }
    }
    return std::nullopt;
}

} // namespace

QStringView placeholderStem(Placeholder placeholder)
{
    switch (placeholder) {
    case Placeholder::shiftedDate:
        return u"{{date";
    case Placeholder::formattedDate:
        return u"{{date:";
    case Placeholder::formattedTime:
        return u"{{time:";
    case Placeholder::counter:
        return u"{{counter";
    case Placeholder::prompt:
        return u"{{prompt:";
    }
    return {};
}

QList<IcuRegex::Spans> placeholderSpans(QStringView text, Placeholder placeholder)
{
    QList<Spans> found;
    // Its table made once: a search made anew for each of them costs more
    // than the search itself.
    const QStringMatcher stem(placeholderStem(placeholder));
    qsizetype start = stem.indexIn(text);
    // Room for as many matches as the text can hold, taken at once (what is
    // not written to takes no memory): growing a list of a hundred thousand
    // moves it many times.
    if (start >= 0)
        found.reserve((text.size() - start) / (placeholderStem(placeholder).size() + 3) + 1);
    while (start >= 0) {
        // The run of this start ends at the next "}"; the starts in it are
        // tried in order, and a counter can only match from the last one
        // (what follows its stem holds no "{").
        const qsizetype end = text.indexOf(u'}', start);
        if (end < 0)
            break;
        const bool closed = end + 1 < text.size() && text[end + 1] == u'}';
        std::optional<Spans> match;
        qsizetype last = start;
        for (; start >= 0 && start < end; start = stem.indexIn(text, start + 1)) {
            if (closed && !match && placeholder != Placeholder::counter)
                match = matchAt(text, start, end, placeholder);
            last = start;
        }
        if (closed && placeholder == Placeholder::counter)
            match = matchAt(text, last, end, placeholder);
        if (match)
            found.append(std::move(*match));
    }
    return found;
}
