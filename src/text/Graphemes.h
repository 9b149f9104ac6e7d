#pragma once

#include "text/IcuText.h"

#include <QStringView>

// The user-perceived characters (extended grapheme clusters) of a text, as
// ICU finds them, so that a space followed by a combining mark is one
// character, not a space. Every walk goes only as far as its answer needs.
class Graphemes final {
    Q_DISABLE_COPY(Graphemes)

public:
    // The text must outlive this object.
    explicit Graphemes(QStringView text);

    // True when a character starts (or the text ends) at position.
    bool isBoundary(qsizetype position) const;
    // The text's size when no character starts after position.
    qsizetype nextBoundary(qsizetype position) const;
    // 0 when no character starts before position.
    qsizetype previousBoundary(qsizetype position) const;

    // Counts the characters of text, stopping at limit: a caller that only
    // compares with a bound need not walk a huge text.
    static qsizetype count(QStringView text, qsizetype limit);

    // The first limit characters of text (all of it when shorter).
    static QStringView prefix(QStringView text, qsizetype limit);

    // The text without leading and trailing characters made only of white
    // space and line breaks.
    static QStringView trimmed(QStringView text);

    // Whether a code point is in the white-space-and-line-break set (the
    // separator categories, tab to carriage return and U+0085).
    static bool isWhitespaceOrNewline(char32_t codePoint);

private:
    QStringView m_text;
    IcuText m_icuText;
};
