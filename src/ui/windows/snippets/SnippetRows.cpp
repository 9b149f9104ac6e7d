#include "ui/windows/snippets/SnippetRows.h"

#include "text/Graphemes.h"

#include <algorithm>

namespace {

// Enough to fill a row: a large snippet is never laid out whole.
constexpr qsizetype previewCharacters = 160;

} // namespace

SnippetRows::SnippetRows(QObject *parent) : QAbstractListModel(parent)
{
}

void SnippetRows::setSnippets(const QList<Snippet> &snippets)
{
    const bool sameRows = std::ranges::equal(snippets, m_snippets, {}, &Snippet::id, &Snippet::id);
    if (!sameRows)
        beginResetModel();
    m_snippets = snippets;
    if (!sameRows)
        endResetModel();
    else if (!m_snippets.isEmpty())
        emit dataChanged(index(0), index(int(m_snippets.size()) - 1));
}

int SnippetRows::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_snippets.size());
}

QVariant SnippetRows::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const Snippet &snippet = m_snippets.at(index.row());
    switch (role) {
    case TitleRole:
        return snippet.title;
    case PreviewRole:
        return Graphemes::prefix(snippet.content, previewCharacters).toString();
    default:
        return {};
    }
}

QHash<int, QByteArray> SnippetRows::roleNames() const
{
    return {{TitleRole, "title"}, {PreviewRole, "preview"}};
}
