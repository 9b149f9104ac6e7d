#include "ui/windows/snippets/SnippetTags.h"

#include "text/Blanks.h"

using namespace Qt::StringLiterals;

namespace SnippetTags {

QString joined(const QStringList &tags)
{
    return tags.join(u", "_s);
}

QStringList parsed(const QString &text)
{
    QStringList tags;
    for (const QStringView piece : QStringView(text).split(u',', Qt::SkipEmptyParts)) {
        const QStringView tag = Blanks::trimmed(piece);
        if (!tag.isEmpty())
            tags.append(tag.toString());
    }
    return tags;
}

} // namespace SnippetTags
