#include "tools/PastePreparation.h"

#include "text/Blanks.h"
#include "text/Graphemes.h"
#include "tools/PlaceholderScan.h"
#include "tools/TemplateExpander.h"

#include <QSet>

#include <limits>

using namespace Qt::StringLiterals;

QStringList promptLabels(QStringView content)
{
    QStringList labels;
    QSet<QStringView> seen;
    for (const IcuRegex::Spans &match : placeholderSpans(content, Placeholder::prompt)) {
        const QStringView trimmed = Blanks::trimmed(match.at(1).in(content));
        if (!trimmed.isEmpty() && !seen.contains(trimmed)) {
            seen.insert(trimmed);
            labels.append(trimmed.toString());
        }
    }
    return labels;
}

PastePreparation expandPastePlaceholders(TemplateExpander &expander, const Snippet &snippet,
    const std::optional<QString> &clipboard, const PromptValues &values)
{
    QString text = fillPrompts(expander.expandTemplate(snippet, clipboard), values);
    if (const QList<IcuRegex::Spans> leftOver = placeholderSpans(text, Placeholder::prompt);
        !leftOver.isEmpty()) {
        QString kept;
        kept.reserve(text.size());
        qsizetype copied = 0;
        for (const IcuRegex::Spans &match : leftOver) {
            kept += QStringView(text).sliced(copied, match.front().start - copied);
            copied = match.front().end;
        }
        kept += QStringView(text).sliced(copied);
        text = std::move(kept);
    }
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
