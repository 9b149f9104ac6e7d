#pragma once

#include "records/Snippet.h"
#include "store/SnippetError.h"

#include <QList>

#include <expected>
#include <optional>

class EncryptionService;
class SqliteStatement;
class StoreDatabase;

// The snippet rows: title, content, tags and folder are sealed here on the
// way in and opened on the way out.
class SnippetTable final {
    Q_DISABLE_COPY(SnippetTable)

public:
    SnippetTable(StoreDatabase &database, const EncryptionService &encryptionService);

    // Seals everything before touching the database, so a sealing failure
    // writes nothing. A row with the same id is replaced.
    std::expected<void, SnippetError> insertSnippet(const Snippet &snippet);
    // Most recently updated first; rows whose title or content cannot be
    // opened are skipped.
    QList<Snippet> fetchSnippets();
    // Adds one to the stored count; true when a row changed. Fails without
    // writing while the master key is absent.
    std::expected<bool, SnippetError> incrementUsage(const QUuid &id);
    bool deleteSnippet(const QUuid &id);

    std::optional<Snippet> snippetFromRow(const SqliteStatement &statement) const;

private:
    StoreDatabase &m_database;
    const EncryptionService &m_encryptionService;
};
