#include "tools/IcuRegex.h"

namespace {

// Reads the string in place; the string must outlive the result.
icu::UnicodeString aliasOf(QStringView text)
{
    return icu::UnicodeString(false, text.utf16(), int32_t(text.size()));
}

} // namespace

IcuRegex::IcuRegex(QStringView pattern, uint32_t flags)
{
    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError;
    m_pattern.reset(icu::RegexPattern::compile(aliasOf(pattern), flags, parseError, status));
    if (U_FAILURE(status))
        m_pattern.reset();
}

QList<IcuRegex::Match> IcuRegex::matches(QStringView text) const
{
    QList<Match> found;
    for (const Spans &spans : spans(text))
        found.append({spans.front().start, spans.front().end, captures(text, spans)});
    return found;
}

QStringList IcuRegex::captures(QStringView text, const Spans &spans)
{
    QStringList captures;
    for (const Span &group : spans)
        captures.append(group.in(text).toString());
    return captures;
}

QList<IcuRegex::Spans> IcuRegex::spans(QStringView text) const
{
    QList<Spans> found;
    const icu::UnicodeString subject = aliasOf(text);
    const std::unique_ptr<icu::RegexMatcher> searcher = matcher(subject);
    if (!searcher)
        return found;
    UErrorCode status = U_ZERO_ERROR;
    const int32_t groups = searcher->groupCount();
    while (searcher->find(status) && U_SUCCESS(status)) {
        Spans spans;
        for (int32_t group = 0; group <= groups; ++group)
            spans.append({searcher->start(group, status), searcher->end(group, status)});
        if (U_FAILURE(status))
            break;
        found.append(std::move(spans));
    }
    return found;
}

bool IcuRegex::matchesWhole(QStringView text) const
{
    const icu::UnicodeString subject = aliasOf(text);
    const std::unique_ptr<icu::RegexMatcher> searcher = matcher(subject);
    UErrorCode status = U_ZERO_ERROR;
    return searcher && searcher->matches(status) && U_SUCCESS(status);
}

std::unique_ptr<icu::RegexMatcher> IcuRegex::matcher(const icu::UnicodeString &text) const
{
    if (!m_pattern)
        return nullptr;
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> made(m_pattern->matcher(text, status));
    return U_SUCCESS(status) ? std::move(made) : nullptr;
}
