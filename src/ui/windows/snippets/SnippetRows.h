#pragma once

#include "records/Snippet.h"

#include <QAbstractListModel>
#include <QList>
#include <QtQmlIntegration>

// The rows of the snippet list: a title and the start of the content, each
// shown on one line. Keeps the view's rows (and its scroll position) when
// only their texts change.
class SnippetRows : public QAbstractListModel {
    Q_OBJECT
    QML_ANONYMOUS
    Q_DISABLE_COPY(SnippetRows)

public:
    enum Role {
        TitleRole = Qt::UserRole + 1,
        PreviewRole,
    };

    explicit SnippetRows(QObject *parent = nullptr);

    void setSnippets(const QList<Snippet> &snippets);
    const QList<Snippet> &snippets() const { return m_snippets; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    QList<Snippet> m_snippets;
};
