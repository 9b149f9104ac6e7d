#pragma once

#include "base/Clock.h"
#include "base/SerialExecutor.h"
#include "records/AuditEvent.h"
#include "records/ClipboardEntry.h"
#include "records/Snippet.h"
#include "store/DatabaseEntryTable.h"
#include "store/MemoryEntryTable.h"
#include "store/SnippetError.h"
#include "store/SnippetTable.h"
#include "store/StoreDatabase.h"

#include <QFuture>
#include <QList>

#include <atomic>
#include <expected>
#include <optional>

class EncryptionService;

// The one store: sealed history, sealed snippets and the audit log in
// SQLite, or the history in memory only during a private session. Every
// operation runs on the store's one worker thread, in call order, and
// returns a future that callers continue on the main thread with
// whenFinished(context, ...). Only the worker touches the database and the
// memory-only list. Every operation that changes rows says why the database
// did not take the change, when it did not (the store logs it too), and its
// future must be kept: a caller that stays silent says why where it drops it.
class SecureStorageManager final {
    Q_DISABLE_COPY(SecureStorageManager)

public:
    explicit SecureStorageManager(
        const EncryptionService &encryptionService, const Clock &clock = Clock::system());
    // Runs what is still queued, then closes the database.
    ~SecureStorageManager();

    // Opens vantorell.db in the application's data folder (the folder is
    // made now, on the caller's thread); refused, naming the file and
    // SQLite's reason, when it cannot hold the history.
    [[nodiscard]] QFuture<StorageOutcome> openDatabase();
    QFuture<void> closeDatabase();
    // Whether the last open succeeded and no close followed; valid once the
    // open's future has finished.
    bool isOpen() const { return m_isOpen.load(); }
    // The sealing of every stored field; the views open previews with it on
    // the main thread, without waiting for the worker.
    const EncryptionService &encryptionService() const { return m_encryptionService; }
    [[nodiscard]] QFuture<StorageOutcome> execute(const QString &sql);

    [[nodiscard]] QFuture<StorageOutcome> insertEntry(const ClipboardEntry &entry);
    // Into the database only: refused (memoryOnly) once a private session
    // keeps the history in memory, so that what is counted stored is on disk.
    [[nodiscard]] QFuture<StorageOutcome> insertEntryOnDisk(const ClipboardEntry &entry);
    // The entries as the published history keeps them: large content and rich
    // text stay here, read with fetchEntry (EntryContentReader does). With
    // the rows the database could not read.
    QFuture<HistoryRead> fetchAllEntries();
    // Reads the history on disk ahead of the next fetchAllEntries, which
    // hands it over unless something was written in between; for the launch,
    // which reads the key meanwhile. Forgotten when no fetch is to follow.
    QFuture<void> readAheadHistory();
    QFuture<void> forgetReadAhead();
    // The whole entry with that id; none when it is gone, an error when the
    // database could not read it.
    QFuture<StoredEntry> fetchEntry(const QUuid &id);
    // fetchAllEntries and fetchEntry from the database, whatever a private
    // session keeps in memory: a backup begun before one is of the vault on
    // disk.
    QFuture<HistoryRead> fetchAllEntriesOnDisk();
    QFuture<StoredEntry> fetchEntryOnDisk(const QUuid &id);
    [[nodiscard]] QFuture<StorageOutcome> deleteExpiredEntries();
    [[nodiscard]] QFuture<StorageOutcome> deleteEntry(const QUuid &id);
    [[nodiscard]] QFuture<StorageOutcome> updateSearchData(const QUuid &id,
        const std::optional<QByteArray> &preview, const std::optional<QByteArray> &searchText);
    [[nodiscard]] QFuture<StorageOutcome> deleteEntries(const QList<QUuid> &ids);
    [[nodiscard]] QFuture<StorageOutcome> updateFlags(const ClipboardEntry &entry);
    [[nodiscard]] QFuture<StorageOutcome> clearAllEntries();
    [[nodiscard]] QFuture<StorageOutcome> clearUnpinnedEntries();
    [[nodiscard]] QFuture<StorageOutcome> deleteEntriesOlderThan(const QDateTime &cutoff);
    // Ends memory-only mode and empties every table. When the database
    // refuses, its files are removed and a new empty one is made, all in
    // this one operation; refused when a file of the old one stays, or
    // (openFailed) when the new one does not open.
    [[nodiscard]] QFuture<StorageOutcome> wipeAllData();
    QFuture<qint64> entryCount();
    // Whether a private session keeps the history in memory only.
    QFuture<bool> isRAMMode();
    // A few sealed fields of the history on disk, from its oldest entries;
    // empty when it is. In a history already split between two keys, the
    // oldest entries hold the vault's own.
    QFuture<QList<QByteArray>> oldestSealedFields();
    // Cannot be refused; the audit row it writes is dropped silently, as
    // every audit row is.
    QFuture<void> setSecureMode(bool enabled);

    // Sealed at the call, under the key loaded then; written in call order.
    [[nodiscard]] QFuture<std::expected<void, SnippetError>> insertSnippet(const Snippet &snippet);
    // With what the database could not read of them.
    QFuture<SnippetRead> fetchSnippets();
    // Adds one to the snippet's stored use count; true when it had a row.
    [[nodiscard]] QFuture<std::expected<bool, SnippetError>> incrementSnippetUsage(const QUuid &id);
    [[nodiscard]] QFuture<StorageOutcome> deleteSnippet(const QUuid &id);
    // Dropped, and taken as done, while memory-only mode is on.
    [[nodiscard]] QFuture<StorageOutcome> logAuditEvent(const AuditEvent &event);

private:
    [[nodiscard]] StorageOutcome writeAuditEvent(const AuditEvent &event);
    void logModeSwitch(AuditEventType type);
    // Empties the memory-only history on the way, whichever the direction.
    void switchEntries(EntryTable &entries);
    bool isMemoryOnly() const { return m_entries == &m_memoryEntries; }

    const EncryptionService &m_encryptionService;
    const Clock &m_clock;
    StoreDatabase m_database;
    DatabaseEntryTable m_databaseEntries {m_database};
    MemoryEntryTable m_memoryEntries;
    // Where the history operations go: memory while a private session runs.
    EntryTable *m_entries = &m_databaseEntries;
    SnippetTable m_snippets {m_database, m_encryptionService};
    std::atomic<bool> m_isOpen = false;
    // Last, so its thread is joined before anything it uses goes.
    SerialExecutor m_executor;
};
