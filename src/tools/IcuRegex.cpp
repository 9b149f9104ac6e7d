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
    const icu::UnicodeString subject = aliasOf(text);
    const std::unique_ptr<icu::RegexMatcher> searcher = matcher(subject);
    if (!searcher)
        return found;
    UErrorCode status = U_ZERO_ERROR;
    while (searcher->find(status) && U_SUCCESS(status)) {
        Match match;
        match.start = searcher->start(status);
        match.end = searcher->end(status);
        for (int32_t group = 0; group <= searcher->groupCount(); ++group) {
            const int32_t start = searcher->start(group, status);
            const int32_t end = searcher->end(group, status);
            match.captures.append(start < 0 ? QString() : text.sliced(start, end - start).toString());
        }
        if (U_FAILURE(status))
            break;
        found.append(std::move(match));
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
