#pragma once

#include "records/Snippet.h"
#include "store/SnippetError.h"
#include "store/SnippetRead.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QUuid>

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
    // A snippet's row with its private fields sealed.
    struct SealedRow {
        QUuid id;
        QByteArray title;
        QByteArray content;
        QByteArray tags;
        std::optional<QByteArray> group;
        bool isFavorite = false;
        QDateTime createdAt;
        QDateTime updatedAt;
        qint64 usageCount = 0;
    };

    SnippetTable(StoreDatabase &database, const EncryptionService &encryptionService);

    // Under the key loaded now; touches no database, so any thread may seal.
    std::expected<SealedRow, SnippetError> seal(const Snippet &snippet) const;
    // A row with the same id is replaced.
    [[nodiscard]] std::expected<void, SnippetError> insertRow(const SealedRow &row);
    // Most recently updated first, read on past a row the database cannot
    // read, which is counted, logged and left where it is. Rows whose title
    // or content cannot be opened are skipped. A database that is not open
    // lists nothing, and says so.
    SnippetRead fetchSnippets();
    // Adds one to the stored count; true when a row changed. Fails without
    // writing while the master key is absent.
    [[nodiscard]] std::expected<bool, SnippetError> incrementUsage(const QUuid &id);
    // An id without a row changes nothing and is no failure.
    [[nodiscard]] StorageOutcome deleteSnippet(const QUuid &id);

    std::optional<Snippet> snippetFromRow(const SqliteStatement &statement) const;

private:
    StoreDatabase &m_database;
    const EncryptionService &m_encryptionService;
};
