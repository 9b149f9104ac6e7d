#pragma once

#include "records/Snippet.h"
#include "store/UnreadRows.h"

#include <QList>

// The snippets as far as the database could read them: every one it read,
// most recently updated first, and the rows it could not.
struct SnippetRead {
    QList<Snippet> snippets;
    UnreadRows unread {};
};
