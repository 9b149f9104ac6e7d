#pragma once

#include <QString>
#include <QStringList>

// A snippet's tags as the editor shows them: one text, the tags joined with
// ", ", read back by splitting at commas and trimming blanks; empty pieces
// are dropped, duplicates kept.
namespace SnippetTags {

QString joined(const QStringList &tags);
QStringList parsed(const QString &text);

} // namespace SnippetTags
