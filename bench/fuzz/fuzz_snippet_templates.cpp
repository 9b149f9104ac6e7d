#include "FuzzCheck.h"

#include "text/Blanks.h"
#include "tools/FirstOccurrenceFill.h"
#include "tools/IcuRegex.h"
#include "tools/PlaceholderScan.h"
#include "tools/PromptFill.h"

#include <QRandomGenerator>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

struct Pattern {
    Placeholder placeholder;
    const char16_t *expression;
};

const Pattern patterns[] {
    {Placeholder::shiftedDate, u"\\{\\{date([+-]\\d+)([dwmy])(?::([^}]+))?\\}\\}"},
    {Placeholder::formattedDate, u"\\{\\{date:([^}]+)\\}\\}"},
    {Placeholder::formattedTime, u"\\{\\{time:([^}]+)\\}\\}"},
    {Placeholder::counter, u"\\{\\{counter(?::([A-Za-z0-9_]+))?\\}\\}"},
    {Placeholder::prompt, u"\\{\\{prompt:([^}]+)\\}\\}"},
};

// Values that join their surroundings into placeholders, or break them.
const QStringList pieces {u""_s, u"{{"_s, u"{"_s, u"}"_s, u"date:"_s, u"te:1"_s, u"{{date:"_s, u"{{da"_s,
    u"{{counter"_s, u"{{prompt:"_s, u"mpt:"_s, u"+1d"_s, u" "_s, u"x"_s};

QString valueOf(quint32 seed)
{
    QRandomGenerator random(seed);
    QString value;
    for (int piece = random.bounded(4); piece > 0; --piece)
        value += pieces[random.bounded(pieces.size())];
    return value;
}

bool same(const QList<IcuRegex::Spans> &found, const QList<IcuRegex::Spans> &expected)
{
    if (found.size() != expected.size())
        return false;
    for (qsizetype match = 0; match < found.size(); ++match) {
        if (found[match].size() != expected[match].size())
            return false;
        for (qsizetype group = 0; group < found[match].size(); ++group) {
            if (found[match][group].start != expected[match][group].start
                || found[match][group].end != expected[match][group].end)
                return false;
        }
    }
    return true;
}

QString wholeOf(QStringView text, const IcuRegex::Spans &match)
{
    return text.sliced(match.front().start, match.front().end - match.front().start).toString();
}

void check(const QString &text, quint32 seed)
{
    for (const Pattern &pattern : patterns) {
        const QList<IcuRegex::Spans> matches = placeholderSpans(text, pattern.placeholder);
        fuzzCheck(same(matches, IcuRegex(QStringView(pattern.expression)).spans(text)),
            "placeholders found as the pattern finds them");
        if (pattern.placeholder == Placeholder::prompt)
            continue;
        // By the placeholder's text, or by the order asked.
        const auto pure = [&](qsizetype match) { return valueOf(seed ^ qHash(wholeOf(text, matches[match]))); };
        for (const bool isPure : {true, false}) {
            QList<qsizetype> asked;
            QList<qsizetype> expectedAsked;
            const auto counted = [&](QList<qsizetype> &order) {
                return [&](qsizetype match) {
                    order.append(match);
                    return QString::number(order.size()) + valueOf(seed + quint32(order.size()));
                };
            };
            using Value = std::function<QString(qsizetype)>;
            const Value value = isPure ? Value(pure) : counted(asked);
            const Value expectedValue = isPure ? Value(pure) : counted(expectedAsked);
            QString expected = text;
            for (qsizetype match = matches.size() - 1; match >= 0; --match) {
                const QString whole = wholeOf(text, matches[match]);
                if (const qsizetype at = expected.indexOf(whole); at >= 0)
                    expected.replace(at, whole.size(), expectedValue(match));
            }
            fuzzCheck(fillFirstOccurrences(text, pattern.placeholder, matches, isPure, value) == expected,
                "each value where searching from the beginning puts it");
            fuzzCheck(asked == expectedAsked, "the values of the same matches asked, in the same order");
        }
    }

    // The labels of the text's prompts, and others, with values.
    PromptValues values;
    QRandomGenerator random(seed);
    for (const IcuRegex::Spans &match : placeholderSpans(text, Placeholder::prompt)) {
        const IcuRegex::Span &label = match.at(1);
        values.append({Blanks::trimmed(QStringView(text).sliced(label.start, label.end - label.start)).toString(),
            valueOf(random.generate())});
    }
    for (const QString &label : {u"A"_s, u""_s})
        values.insert(random.bounded(int(values.size()) + 1), {label, valueOf(random.generate())});
    QString expected = text;
    const IcuRegex prompt(QStringView(patterns[4].expression));
    for (const auto &[label, value] : values) {
        const QList<IcuRegex::Match> matches = prompt.matches(expected);
        for (auto match = matches.crbegin(); match != matches.crend(); ++match) {
            if (Blanks::trimmed(match->captures.value(1)) == label)
                expected.replace(match->start, match->end - match->start, value);
        }
    }
    fuzzCheck(fillPrompts(text, values) == expected, "prompts filled as when found anew for each label");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The regular expressions and the searches from the beginning take time
    // that grows with the square of the text.
    if (size > 4096)
        return 0;
    const quint32 seed = size > 0 ? quint32(data[0]) * 2654435761u : 0;
    check(QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)), seed);
    // The same bytes as UTF-16 reach lone surrogates and every digit.
    QString utf16(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(utf16.data(), data, size / 2 * 2);
    check(utf16, seed);
    return 0;
}
