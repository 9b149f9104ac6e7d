#include "tools/PastePreparation.h"

#include "text/Graphemes.h"
#include "tools/IcuRegex.h"
#include "tools/TemplateExpander.h"

#include <limits>

using namespace Qt::StringLiterals;

namespace {

const IcuRegex &promptPattern()
{
    static const IcuRegex pattern(u"\\{\\{prompt:([^}]+)\\}\\}");
    return pattern;
}

bool isBlank(QChar character)
{
    return character == u'\t' || character.category() == QChar::Separator_Space;
}

// Every blank lies in the Basic Multilingual Plane, so code units will do.
QString withoutBlanks(QStringView label)
{
    while (!label.isEmpty() && isBlank(label.front()))
        label = label.sliced(1);
    while (!label.isEmpty() && isBlank(label.back()))
        label.chop(1);
    return label.toString();
}

} // namespace

QStringList promptLabels(QStringView content)
{
    QStringList labels;
    for (const IcuRegex::Match &match : promptPattern().matches(content)) {
        const QString label = withoutBlanks(match.captures.value(1));
        if (!label.isEmpty() && !labels.contains(label))
            labels.append(label);
    }
    return labels;
}

PastePreparation expandPastePlaceholders(TemplateExpander &expander, const Snippet &snippet,
    const std::optional<QString> &clipboard, const PromptValues &values)
{
    QString text = expander.expandTemplate(snippet, clipboard);
    for (const auto &[label, value] : values) {
        const QList<IcuRegex::Match> matches = promptPattern().matches(text);
        for (auto match = matches.crbegin(); match != matches.crend(); ++match) {
            if (withoutBlanks(match->captures.value(1)) == label)
                text.replace(match->start, match->end - match->start, value);
        }
    }
    const QList<IcuRegex::Match> leftOver = promptPattern().matches(text);
    for (auto match = leftOver.crbegin(); match != leftOver.crend(); ++match)
        text.remove(match->start, match->end - match->start);
    text.remove(u"{{clipboard}}"_s);

    static const QString marker = u"{{cursor}}"_s;
    const qsizetype at = text.indexOf(marker);
    if (at < 0)
        return {text, 0};
    QString after = text.sliced(at + marker.size());
    after.remove(marker);
    const qsizetype steps = Graphemes::count(after, std::numeric_limits<int>::max());
    return {text.first(at) + after, int(steps)};
}
