#pragma once

#include "store/EntryTable.h"
#include "store/HistoryRead.h"

#include <QHash>

#include <functional>

class SqliteStatement;
class StoreDatabase;

// The history rows on disk. Every deletion first overwrites the sealed
// content with random bytes of its length, then deletes, both in one
// savepoint, and checkpoints the log when rows went. With the database
// closed nothing changes; insertEntry, the fetches and the deletions the
// user asks for say so.
class DatabaseEntryTable final : public EntryTable {
    Q_DISABLE_COPY(DatabaseEntryTable)

public:
    explicit DatabaseEntryTable(StoreDatabase &database);

    [[nodiscard]] StorageOutcome insertEntry(const ClipboardEntry &entry) override;
    // By created_at; rows that do not decode are skipped and stay. A row the
    // database fails on is left where it is, and the rest are read on past
    // it, and without an index that fails. Hands over what readAhead read
    // when nothing was written since.
    HistoryRead fetchAllEntries(const QDateTime &now) override;
    // Reads the history now for the next fetchAllEntries, which can then
    // answer at once, what it could not read included: the
    // launch reads it while the key comes from the keyring. The rows stay
    // sealed.
    void readAhead(const QDateTime &now);
    void forgetReadAhead() { m_readAhead.reset(); }
    // When the read by id fails, the row is looked for without the id index.
    StoredEntry fetchEntry(const QUuid &id) const override;
    [[nodiscard]] StorageOutcome deleteExpiredEntries(const QDateTime &now) override;
    [[nodiscard]] StorageOutcome deleteEntry(const QUuid &id) override;
    [[nodiscard]] StorageOutcome updateSearchData(const QUuid &id, const std::optional<QByteArray> &preview,
        const std::optional<QByteArray> &searchText) override;
    // One transaction; an entry whose deletion fails stays and the others
    // go. The first failure, when there is one.
    [[nodiscard]] StorageOutcome deleteEntries(const QList<QUuid> &ids) override;
    // Only the two flags change on disk.
    [[nodiscard]] StorageOutcome updateFlags(const ClipboardEntry &entry) override;
    [[nodiscard]] StorageOutcome clearAllEntries() override;
    [[nodiscard]] StorageOutcome clearUnpinnedEntries() override;
    [[nodiscard]] StorageOutcome deleteEntriesOlderThan(const QDateTime &cutoff) override;
    qint64 entryCount() const override;
    // A sealed field of each of the count oldest rows: the preview where
    // there is one, being small, else the content.
    QList<QByteArray> oldestSealedFields(int count) const;

    // Empties every table of the database, snippets and audit log too,
    // then moves the log into the file: refused unless every step is taken.
    [[nodiscard]] StorageOutcome wipeAllData();

    static std::optional<ClipboardEntry> entryFromRow(const SqliteStatement &statement);

private:
    // Source application names by their stored bytes: the entries copied
    // from one application share its name.
    using SourceNames = QHash<QByteArray, QString>;

    struct Read {
        HistoryRead history;
        // Rows left out as expired, to be purged.
        bool expiredSeen = false;
        // The connection's row changes when it was read.
        qint64 changes = 0;
    };
    // The published rows not expired at now, newest first, and the rows
    // the database could not read. Logs what fails.
    Read readPublished(const QDateTime &now);
    // After the pass failed: every row again, each alone, without the index.
    void readRowByRow(Read &read, double nowSeconds, SourceNames &sourceNames);
    // Adds the published row the statement is on, unless it expired or does
    // not decode.
    static void takeRow(
        const SqliteStatement &statement, Read &read, double nowSeconds, SourceNames &sourceNames);

    // Every field but the content and the rich text; none when the id or
    // the kind does not decode.
    static std::optional<ClipboardEntry> metadataFromRow(
        const SqliteStatement &statement, SourceNames *sourceNames = nullptr);
    static std::optional<ClipboardEntry> publishedFromRow(
        const SqliteStatement &statement, SourceNames &sourceNames);

    using Binder = std::function<void(SqliteStatement &)>;
    using Change = StorageOutcome;

    // Runs one changing statement; logs SQLite's message on failure.
    Change change(const char *sql, const Binder &bind = {});
    // change() in a savepoint of its own: a write the disk refuses then
    // fails at the release, where the system's words are kept, and not in
    // SQLite's own rollback, which loses them.
    Change changeAlone(const char *sql, const Binder &bind);
    // The overwrite and the delete as one unit: when the delete fails, the
    // overwrite is rolled back too, so no row of random bytes is left.
    Change overwriteThenDelete(const char *overwrite, const char *remove, const Binder &bind = {});
    enum class Vacuum { no, yes };
    // The pair, then VACUUM when asked, then the checkpoint when rows went;
    // the pair's outcome, since the rows are gone once it is applied.
    Change purge(const char *overwrite, const char *remove, const Binder &bind, Vacuum vacuum = Vacuum::no);
    Change deleteOne(const QUuid &id);
    bool checkpointIfChangedSince(qint64 changes);

    // After a read by id failed, the entry by the rowid the table gives it.
    StoredEntry fetchEntryWithoutIndex(const QUuid &id) const;
    void listRowidsById() const;
    // None when the listed rowid does not hold id (any more).
    std::optional<StoredEntry> readListedRow(const QUuid &id) const;

    StoreDatabase &m_database;
    std::optional<Read> m_readAhead;
    struct RowidsById {
        QHash<QUuid, qint64> rowids;
        // Why the table could not be listed to its end, when it could not.
        QString unlisted;
    };
    // Kept from the last read by id that failed, for the next.
    mutable std::optional<RowidsById> m_rowidsById;
};
