#include "text/Graphemes.h"

#include <QChar>
#include <QList>

#include <unicode/brkiter.h>

#include <memory>

namespace {

icu::BreakIterator *threadIterator()
{
    // Costly to make and not thread-safe: one per thread, made on first use.
    thread_local const std::unique_ptr<icu::BreakIterator> iterator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::BreakIterator> made(
            icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
        return U_SUCCESS(status) ? std::move(made) : nullptr;
    }();
    return iterator.get();
}

// The thread's iterator set on one text for the length of one walk. Should
// ICU fail, each code point stands for a character.
class Walk final {
    Q_DISABLE_COPY(Walk)

public:
    Walk(QStringView text, UText *icuText) : m_text(text), m_iterator(threadIterator())
    {
        if (!m_iterator)
            return;
        UErrorCode status = U_ZERO_ERROR;
        m_iterator->setText(icuText, status);
        if (U_FAILURE(status))
            m_iterator = nullptr;
    }

    ~Walk()
    {
        // The iterator keeps a shallow clone of the text: detach it before
        // the text goes.
        if (m_iterator)
            m_iterator->setText(icu::UnicodeString());
    }

    bool isBoundary(qsizetype position) const
    {
        if (m_iterator)
            return m_iterator->isBoundary(int32_t(position));
        return position >= 0 && position <= m_text.size() && !splitsPair(position);
    }

    qsizetype following(qsizetype position) const
    {
        if (m_iterator) {
            const int32_t next = m_iterator->following(int32_t(position));
            return next == icu::BreakIterator::DONE ? m_text.size() : next;
        }
        if (position >= m_text.size())
            return m_text.size();
        return position < 0 ? 0 : position + (splitsPair(position + 1) ? 2 : 1);
    }

    qsizetype preceding(qsizetype position) const
    {
        if (m_iterator) {
            // ICU would step back from the pair's start, one character too far.
            const int32_t from = int32_t(splitsPair(position) ? position + 1 : position);
            const int32_t previous = m_iterator->preceding(from);
            return previous == icu::BreakIterator::DONE ? 0 : previous;
        }
        if (position <= 0)
            return 0;
        return position > m_text.size() ? m_text.size() : position - (splitsPair(position - 1) ? 2 : 1);
    }

private:
    // Whether position falls between the two halves of a surrogate pair.
    bool splitsPair(qsizetype position) const
    {
        return position > 0 && position < m_text.size() && m_text[position - 1].isHighSurrogate()
            && m_text[position].isLowSurrogate();
    }

    QStringView m_text;
    icu::BreakIterator *m_iterator;
};

struct Reach {
    qsizetype characters = 0;
    // Where the last character counted ends, in UTF-16 code units.
    qsizetype end = 0;
};

Reach reach(QStringView text, qsizetype limit)
{
    Reach reached;
    if (text.isEmpty() || limit <= 0)
        return reached;
    const IcuText icuText(text);
    const Walk walk(text, icuText.get());
    for (; reached.characters < limit && reached.end < text.size(); ++reached.characters)
        reached.end = walk.following(reached.end);
    return reached;
}

bool isBlank(QStringView character)
{
    for (const char32_t codePoint : character.toUcs4()) {
        if (!Graphemes::isWhitespaceOrNewline(codePoint))
            return false;
    }
    return true;
}

} // namespace

Graphemes::Graphemes(QStringView text) : m_text(text), m_icuText(text)
{
}

bool Graphemes::isBoundary(qsizetype position) const
{
    return Walk(m_text, m_icuText.get()).isBoundary(position);
}

qsizetype Graphemes::nextBoundary(qsizetype position) const
{
    return Walk(m_text, m_icuText.get()).following(position);
}

qsizetype Graphemes::previousBoundary(qsizetype position) const
{
    return Walk(m_text, m_icuText.get()).preceding(position);
}

qsizetype Graphemes::count(QStringView text, qsizetype limit)
{
    return reach(text, limit).characters;
}

QStringView Graphemes::prefix(QStringView text, qsizetype limit)
{
    return text.first(reach(text, limit).end);
}

QStringView Graphemes::trimmed(QStringView text)
{
    // A blank character starts and ends with a blank code point, and blank
    // code points are never surrogates: most texts need no walk at all.
    const auto blankUnit = [&](qsizetype at) { return isWhitespaceOrNewline(text[at].unicode()); };
    if (text.isEmpty() || (!blankUnit(0) && !blankUnit(text.size() - 1)))
        return text;
    const IcuText icuText(text);
    const Walk walk(text, icuText.get());
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && blankUnit(begin)) {
        const qsizetype next = walk.following(begin);
        if (!isBlank(text.sliced(begin, next - begin)))
            break;
        begin = next;
    }
    while (end > begin && blankUnit(end - 1)) {
        const qsizetype previous = walk.preceding(end);
        if (!isBlank(text.sliced(previous, end - previous)))
            break;
        end = previous;
    }
    return text.sliced(begin, end - begin);
}

bool Graphemes::isWhitespaceOrNewline(char32_t codePoint)
{
    return QChar::isSpace(codePoint);
}
