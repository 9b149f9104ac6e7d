#include "tools/LineTools.h"

#include "text/Graphemes.h"

#include <QCollator>
#include <QLocale>
#include <QSet>

#include <algorithm>
#include <numeric>

namespace {

bool isLineBreak(QChar c)
{
    switch (c.unicode()) {
    case 0x000A:
    case 0x000B:
    case 0x000C:
    case 0x000D:
    case 0x0085:
    case 0x2028:
    case 0x2029:
        return true;
    default:
        return false;
    }
}

QString joined(const QList<QStringView> &lines, QChar separator)
{
    QString out;
    qsizetype size = lines.size();
    for (const QStringView line : lines)
        size += line.size();
    out.reserve(size);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            out.append(separator);
        out.append(lines[i]);
    }
    return out;
}

// The line without trailing spaces and tabs that stand as characters of
// their own (a space carrying a combining mark stays).
QStringView withoutTrailingBlanks(QStringView line)
{
    qsizetype end = line.size();
    if (end == 0 || (line[end - 1] != u' ' && line[end - 1] != u'\t'))
        return line;
    Graphemes characters(line);
    while (end > 0 && (line[end - 1] == u' ' || line[end - 1] == u'\t') && characters.isBoundary(end - 1))
        --end;
    return line.first(end);
}

// The C locale has no collation, and Qt then ignores numeric mode; the
// root order is the sensible reading of "no preference" there.
QLocale sortLocale()
{
    const QLocale locale;
    return locale.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : locale;
}

QList<QStringView> firstOccurrences(const QList<QStringView> &lines)
{
    QList<QStringView> kept;
    QSet<QString> seen;
    for (const QStringView line : lines) {
        const qsizetype before = seen.size();
        seen.insert(line.toString().normalized(QString::NormalizationForm_C));
        if (seen.size() > before)
            kept.append(line);
    }
    return kept;
}

} // namespace

namespace LineTools {

QList<QStringView> splitLines(QStringView text, bool keepTrailingEmpty)
{
    QList<QStringView> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isLineBreak(text[i]))
            continue;
        lines.append(text.sliced(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    lines.append(text.sliced(start));
    if (!keepTrailingEmpty) {
        while (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
    }
    return lines;
}

QString trimLines(QStringView text)
{
    QList<QStringView> lines = splitLines(text, true);
    for (QStringView &line : lines)
        line = withoutTrailingBlanks(line);
    const QString joinedLines = joined(lines, u'\n');
    return Graphemes::trimmed(joinedLines).toString();
}

QString joinLines(QStringView text)
{
    QList<QStringView> kept;
    for (const QStringView line : splitLines(text, false)) {
        const QStringView trimmed = Graphemes::trimmed(line);
        if (!trimmed.isEmpty())
            kept.append(trimmed);
    }
    return joined(kept, u' ');
}

QString sortLines(QStringView text)
{
    const QList<QStringView> lines = splitLines(text, false);
    QCollator collator(sortLocale());
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    QList<QCollatorSortKey> keys;
    keys.reserve(lines.size());
    for (const QStringView line : lines)
        keys.append(collator.sortKey(line.toString()));
    QList<qsizetype> order(lines.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
        [&keys](qsizetype a, qsizetype b) { return keys[a].compare(keys[b]) < 0; });
    QList<QStringView> sorted;
    sorted.reserve(lines.size());
    for (const qsizetype index : order)
        sorted.append(lines[index]);
    return joined(sorted, u'\n');
}

QString uniqueLines(QStringView text)
{
    return joined(firstOccurrences(splitLines(text, false)), u'\n');
}

bool hasDuplicateLines(const QList<QStringView> &lines)
{
    return firstOccurrences(lines).size() < lines.size();
}

} // namespace LineTools
