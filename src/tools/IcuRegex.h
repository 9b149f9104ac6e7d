#pragma once

#include <QList>
#include <QStringList>
#include <QStringView>
#include <QVarLengthArray>

#include <unicode/regex.h>

#include <memory>

// A compiled ICU pattern, shareable between threads: each search makes its
// own matcher. "\d" is any Unicode decimal digit.
class IcuRegex final {
    Q_DISABLE_COPY(IcuRegex)

public:
    struct Match {
        qsizetype start = 0;
        qsizetype end = 0;
        // The whole match, then each group; a group that took no part is
        // empty.
        QStringList captures;
    };

    // Matches nothing when the pattern does not compile.
    explicit IcuRegex(QStringView pattern, uint32_t flags = 0);

    // Where a group lies in the text; -1 for one that took no part.
    struct Span {
        qsizetype start = -1;
        qsizetype end = -1;

        // Its text in the text searched; null for a group that took no part.
        QStringView in(QStringView text) const
        {
            return start < 0 ? QStringView() : text.sliced(start, end - start);
        }
    };
    // The whole match, then each group.
    using Spans = QVarLengthArray<Span, 4>;
    // The text of each, as Match::captures holds them.
    static QStringList captures(QStringView text, const Spans &spans);

    // Every non-overlapping match, in reading order.
    QList<Match> matches(QStringView text) const;
    // The same, without copying what they hold.
    QList<Spans> spans(QStringView text) const;
    bool matchesWhole(QStringView text) const;

private:
    std::unique_ptr<icu::RegexMatcher> matcher(const icu::UnicodeString &text) const;

    std::unique_ptr<icu::RegexPattern> m_pattern;
};
