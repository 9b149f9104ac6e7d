#include "tools/PastePreparation.h"

#include "text/Blanks.h"
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

} // namespace

QStringList promptLabels(QStringView content)
{
    QStringList labels;
    for (const IcuRegex::Match &match : promptPattern().matches(content)) {
        const QString label = Blanks::trimmed(match.captures.value(1)).toString();
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
            if (Blanks::trimmed(match->captures.value(1)) == label)
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
