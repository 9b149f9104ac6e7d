#pragma once

#include "records/ClipboardEntry.h"

#include <QList>

#include <functional>
#include <optional>

class SqliteStatement;
class StoreDatabase;

// The history rows on disk. Every deletion first overwrites the sealed
// content with random bytes of its length, then deletes, both in one
// savepoint, and checkpoints the log when rows went.
class DatabaseEntryTable final {
    Q_DISABLE_COPY(DatabaseEntryTable)

public:
    explicit DatabaseEntryTable(StoreDatabase &database);

    void insertEntry(const ClipboardEntry &entry);
    // Newest created_at first; rows that do not decode are skipped.
    QList<ClipboardEntry> fetchAllEntries();
    // Entries whose expiry lies strictly before now.
    void deleteExpiredEntries(const QDateTime &now);
    void deleteEntry(const QUuid &id);
    void updateSearchData(const QUuid &id, const std::optional<QByteArray> &preview,
        const std::optional<QByteArray> &searchText);
    void deleteEntries(const QList<QUuid> &ids);
    // Only the two flags change on disk.
    void updateFlags(const ClipboardEntry &entry);
    void clearAllEntries();
    void clearUnpinnedEntries();
    // Entries created strictly before cutoff that are neither pinned nor
    // starred.
    void deleteEntriesOlderThan(const QDateTime &cutoff);
    // Empties every table; true when every step succeeded.
    bool wipeAllData();
    qint64 entryCount();

    static std::optional<ClipboardEntry> entryFromRow(const SqliteStatement &statement);

private:
    using Binder = std::function<void(SqliteStatement &)>;

    // Runs one changing statement; logs SQLite's message on failure.
    bool change(const char *sql, const Binder &bind = {});
    // The overwrite and the delete as one unit: when the delete fails, the
    // overwrite is rolled back too, so no row of random bytes is left.
    bool overwriteThenDelete(const char *overwrite, const char *remove, const Binder &bind = {});
    enum class Vacuum { no, yes };
    // The pair, then VACUUM when asked, then the checkpoint when rows went.
    bool purge(const char *overwrite, const char *remove, const Binder &bind, Vacuum vacuum = Vacuum::no);
    bool deleteOne(const QUuid &id);
    bool checkpointIfChangedSince(qint64 changes);

    StoreDatabase &m_database;
};
