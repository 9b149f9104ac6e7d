#include "text/Graphemes.h"

#include <QChar>
#include <QList>

namespace {

bool isAllWhitespace(QStringView cluster)
{
    for (const char32_t codePoint : cluster.toUcs4()) {
        if (!Graphemes::isWhitespaceOrNewline(codePoint))
            return false;
    }
    return true;
}

} // namespace

Graphemes::Graphemes(QStringView text)
    : m_text(text), m_finder(QTextBoundaryFinder::Grapheme, text.data(), text.size())
{
}

bool Graphemes::isBoundary(qsizetype position)
{
    m_finder.setPosition(position);
    return m_finder.isAtBoundary();
}

qsizetype Graphemes::nextBoundary(qsizetype position)
{
    m_finder.setPosition(position);
    const qsizetype next = m_finder.toNextBoundary();
    return next < 0 ? m_text.size() : next;
}

qsizetype Graphemes::previousBoundary(qsizetype position)
{
    m_finder.setPosition(position);
    const qsizetype previous = m_finder.toPreviousBoundary();
    return previous < 0 ? 0 : previous;
}

qsizetype Graphemes::count(qsizetype limit)
{
    qsizetype characters = 0;
    for (qsizetype position = 0; position < m_text.size() && characters < limit; ++characters)
        position = nextBoundary(position);
    return characters;
}

QStringView Graphemes::trimmed()
{
    qsizetype begin = 0;
    qsizetype end = m_text.size();
    while (begin < end) {
        const qsizetype next = nextBoundary(begin);
        if (!isAllWhitespace(m_text.sliced(begin, next - begin)))
            break;
        begin = next;
    }
    while (end > begin) {
        const qsizetype previous = previousBoundary(end);
        if (!isAllWhitespace(m_text.sliced(previous, end - previous)))
            break;
        end = previous;
    }
    return m_text.sliced(begin, end - begin);
}

bool Graphemes::isWhitespaceOrNewline(char32_t codePoint)
{
    return QChar::isSpace(codePoint);
}

QStringView Graphemes::trimmed(QStringView text)
{
    return Graphemes(text).trimmed();
}
