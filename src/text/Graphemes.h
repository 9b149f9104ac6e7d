#pragma once

#include <QStringView>
#include <QTextBoundaryFinder>

// The user-perceived characters (grapheme clusters) of a text, so that a
// space followed by a combining mark is one character, not a space.
// The text must outlive this object.
class Graphemes final {
    Q_DISABLE_COPY(Graphemes)

public:
    explicit Graphemes(QStringView text);

    // True when a character starts (or the text ends) at position.
    bool isBoundary(qsizetype position);
    qsizetype nextBoundary(qsizetype position);
    qsizetype previousBoundary(qsizetype position);

    // Counts characters, stopping at limit.
    qsizetype count(qsizetype limit);

    // The text without leading and trailing characters made only of white
    // space and line breaks.
    QStringView trimmed();

    // Whether a code point is in the white-space-and-line-break set (the
    // separator categories, tab to carriage return and U+0085).
    static bool isWhitespaceOrNewline(char32_t codePoint);

    // The text without leading and trailing white space and line breaks,
    // whole characters only.
    static QStringView trimmed(QStringView text);

private:
    QStringView m_text;
    QTextBoundaryFinder m_finder;
};
