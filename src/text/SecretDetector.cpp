#include "text/SecretDetector.h"

#include "text/Graphemes.h"
#include "text/IcuText.h"

#include <QList>

#include <unicode/regex.h>
#include <unicode/uchar.h>

#include <cmath>
#include <memory>
#include <optional>
#include <vector>

using namespace Qt::StringLiterals;

namespace SecretDetector {

namespace {

std::unique_ptr<icu::RegexPattern> compile(QStringView pattern)
{
    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError;
    std::unique_ptr<icu::RegexPattern> compiled(icu::RegexPattern::compile(
        icu::UnicodeString(false, pattern.utf16(), int32_t(pattern.size())), 0, parseError, status));
    return U_SUCCESS(status) ? std::move(compiled) : nullptr;
}

// Compiled once; a pattern that does not compile is left out. Patterns are
// immutable and shared, while each search makes its own matcher.
const std::vector<std::unique_ptr<icu::RegexPattern>> &compiledSecretPatterns()
{
    static const std::vector<std::unique_ptr<icu::RegexPattern>> compiled = [] {
        std::vector<std::unique_ptr<icu::RegexPattern>> patterns;
        for (const QStringView pattern : secretPatterns) {
            if (auto made = compile(pattern))
                patterns.push_back(std::move(made));
        }
        return patterns;
    }();
    return compiled;
}

const icu::RegexPattern *compiledCardNumberPattern()
{
    static const std::unique_ptr<icu::RegexPattern> compiled = compile(cardNumberPattern);
    return compiled.get();
}

bool found(const icu::RegexPattern &pattern, const IcuText &text)
{
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<icu::RegexMatcher> matcher(pattern.matcher(status));
    if (U_FAILURE(status))
        return false;
    matcher->reset(text.get());
    return matcher->find(status) && U_SUCCESS(status);
}

// The value of a character that stands for a whole number (every decimal
// digit of every script, and other numerals), if it has one.
std::optional<qint64> wholeNumberValue(char32_t codePoint)
{
    const double value = u_getNumericValue(UChar32(codePoint));
    if (value == U_NO_NUMERIC_VALUE || value < 0 || value != std::floor(value))
        return std::nullopt;
    return qint64(value);
}

} // namespace

bool isSecret(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    if (trimmed.size() > maxExaminedLength
        && Graphemes::count(trimmed, maxExaminedLength + 1) > maxExaminedLength)
        return false;
    if (looksLikeURL(trimmed))
        return false;
    if (trimmed.contains(u"-----BEGIN") && trimmed.contains(u"PRIVATE KEY"))
        return true;
    const IcuText icuText(trimmed);
    for (const auto &pattern : compiledSecretPatterns()) {
        if (found(*pattern, icuText))
            return true;
    }
    return containsCardNumber(trimmed);
}

bool looksLikeURL(QStringView text)
{
    for (const char32_t codePoint : text.toUcs4()) {
        if (u_isUWhiteSpace(UChar32(codePoint)))
            return false;
    }
    if (!text.contains(u"://"))
        return false;
    const QString lower = text.toString().toLower();
    return lower.startsWith(u"http://") || lower.startsWith(u"https://") || lower.startsWith(u"ftp://")
        || lower.startsWith(u"file://");
}

bool containsCardNumber(QStringView text)
{
    const icu::RegexPattern *pattern = compiledCardNumberPattern();
    if (!pattern)
        return false;
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<icu::RegexMatcher> matcher(pattern->matcher(status));
    if (U_FAILURE(status))
        return false;
    const IcuText icuText(text);
    matcher->reset(icuText.get());
    while (matcher->find(status) && U_SUCCESS(status)) {
        const qint64 start = matcher->start64(status);
        const qint64 end = matcher->end64(status);
        if (U_FAILURE(status))
            return false;
        // Only the digits count: the blanks and hyphens between groups drop out.
        QString digits;
        qsizetype digitCount = 0;
        for (const char32_t codePoint : text.sliced(start, end - start).toUcs4()) {
            if (u_getNumericValue(UChar32(codePoint)) != U_NO_NUMERIC_VALUE) {
                digits.append(QStringView(QChar::fromUcs4(codePoint)));
                ++digitCount;
            }
        }
        if (digitCount >= 13 && digitCount <= 19 && passesLuhn(digits))
            return true;
    }
    return false;
}

bool passesLuhn(QStringView digits)
{
    qint64 sum = 0;
    qsizetype position = 0;
    const QList<uint> codePoints = digits.toUcs4();
    for (auto it = codePoints.crbegin(); it != codePoints.crend(); ++it, ++position) {
        const std::optional<qint64> value = wholeNumberValue(char32_t(*it));
        if (!value)
            return false;
        qint64 added = *value;
        if (position % 2 == 1) {
            added *= 2;
            if (added > 9)
                added -= 9;
        }
        // Numerals beyond the digits can be large: keep the sum small.
        sum = (sum + added % 10) % 10;
    }
    return sum == 0;
}

} // namespace SecretDetector
