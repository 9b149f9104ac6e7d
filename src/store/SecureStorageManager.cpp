#include "store/SecureStorageManager.h"

#include "base/Log.h"
#include "records/DateCoding.h"
#include "records/UuidText.h"
#include "store/SqliteStatement.h"

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

// More than one, so that one damaged row does not refuse the vault's key.
constexpr int keyCheckEntries = 3;

} // namespace

SecureStorageManager::SecureStorageManager(const EncryptionService &encryptionService, const Clock &clock)
    : m_encryptionService(encryptionService), m_clock(clock)
{
}

SecureStorageManager::~SecureStorageManager() = default;

QFuture<StorageOutcome> SecureStorageManager::openDatabase()
{
    return m_executor.run([this, path = StoreDatabase::databaseURL()] {
        m_databaseEntries.forgetReadAhead();
        StorageOutcome opened = m_database.openDatabase(path);
        m_isOpen = m_database.isOpen();
        return opened;
    });
}

QFuture<void> SecureStorageManager::closeDatabase()
{
    return m_executor.run([this] {
        m_databaseEntries.forgetReadAhead();
        m_database.closeDatabase();
        m_isOpen = false;
    });
}

QFuture<StorageOutcome> SecureStorageManager::execute(const QString &sql)
{
    return m_executor.run([this, sql]() -> StorageOutcome {
        if (m_database.execute(sql))
            return {};
        return std::unexpected(m_database.lastFailure());
    });
}

QFuture<StorageOutcome> SecureStorageManager::insertEntry(const ClipboardEntry &entry)
{
    return m_executor.run([this, entry] { return m_entries->insertEntry(entry); });
}

QFuture<StorageOutcome> SecureStorageManager::insertEntryOnDisk(const ClipboardEntry &entry)
{
    return m_executor.run([this, entry]() -> StorageOutcome {
        if (isMemoryOnly())
            return std::unexpected(StorageError {StorageError::Code::memoryOnly});
        return m_databaseEntries.insertEntry(entry);
    });
}

QFuture<HistoryRead> SecureStorageManager::fetchAllEntries()
{
    return m_executor.run([this] { return m_entries->fetchAllEntries(m_clock.now()); });
}

QFuture<void> SecureStorageManager::readAheadHistory()
{
    return m_executor.run([this] { m_databaseEntries.readAhead(m_clock.now()); });
}

QFuture<void> SecureStorageManager::forgetReadAhead()
{
    return m_executor.run([this] { m_databaseEntries.forgetReadAhead(); });
}

QFuture<StoredEntry> SecureStorageManager::fetchEntry(const QUuid &id)
{
    return m_executor.run([this, id] { return m_entries->fetchEntry(id); });
}

QFuture<HistoryRead> SecureStorageManager::fetchAllEntriesOnDisk()
{
    return m_executor.run([this] { return m_databaseEntries.fetchAllEntries(m_clock.now()); });
}

QFuture<StoredEntry> SecureStorageManager::fetchEntryOnDisk(const QUuid &id)
{
    return m_executor.run([this, id] { return m_databaseEntries.fetchEntry(id); });
}

QFuture<StorageOutcome> SecureStorageManager::deleteExpiredEntries()
{
    return m_executor.run([this] { return m_entries->deleteExpiredEntries(m_clock.now()); });
}

QFuture<StorageOutcome> SecureStorageManager::deleteEntry(const QUuid &id)
{
    return m_executor.run([this, id] { return m_entries->deleteEntry(id); });
}

QFuture<StorageOutcome> SecureStorageManager::updateSearchData(
    const QUuid &id, const std::optional<QByteArray> &preview, const std::optional<QByteArray> &searchText)
{
    return m_executor.run(
        [this, id, preview, searchText] { return m_entries->updateSearchData(id, preview, searchText); });
}

QFuture<StorageOutcome> SecureStorageManager::deleteEntries(const QList<QUuid> &ids)
{
    return m_executor.run([this, ids] { return m_entries->deleteEntries(ids); });
}

QFuture<StorageOutcome> SecureStorageManager::updateFlags(const ClipboardEntry &entry)
{
    return m_executor.run([this, entry] { return m_entries->updateFlags(entry); });
}

QFuture<StorageOutcome> SecureStorageManager::clearAllEntries()
{
    return m_executor.run([this] { return m_entries->clearAllEntries(); });
}

QFuture<StorageOutcome> SecureStorageManager::clearUnpinnedEntries()
{
    return m_executor.run([this] { return m_entries->clearUnpinnedEntries(); });
}

QFuture<StorageOutcome> SecureStorageManager::deleteEntriesOlderThan(const QDateTime &cutoff)
{
    return m_executor.run([this, cutoff] { return m_entries->deleteEntriesOlderThan(cutoff); });
}

QFuture<StorageOutcome> SecureStorageManager::wipeAllData()
{
    return m_executor.run([this] {
        switchEntries(m_databaseEntries);
        m_databaseEntries.forgetReadAhead();
        StorageOutcome wiped = m_databaseEntries.wipeAllData();
        if (wiped)
            return wiped;
        // What the database would not erase (a full disk, say) goes with its
        // files; removing them needs no room.
        wiped = m_database.replaceWithEmpty();
        m_isOpen = m_database.isOpen();
        return wiped;
    });
}

QFuture<qint64> SecureStorageManager::entryCount()
{
    return m_executor.run([this] { return m_entries->entryCount(); });
}

QFuture<bool> SecureStorageManager::isRAMMode()
{
    return m_executor.run([this] { return isMemoryOnly(); });
}

QFuture<QList<QByteArray>> SecureStorageManager::oldestSealedFields()
{
    return m_executor.run([this] { return m_databaseEntries.oldestSealedFields(keyCheckEntries); });
}

QFuture<void> SecureStorageManager::setSecureMode(bool enabled)
{
    return m_executor.run([this, enabled] {
        if (enabled == isMemoryOnly())
            return;
        if (enabled) {
            // Recorded while the mode is still off, so the row is written.
            logModeSwitch(AuditEventType::secureModeEnabled);
            switchEntries(m_memoryEntries);
            Log::write(u"Secure Mode enabled — all data in RAM only"_s);
        } else {
            switchEntries(m_databaseEntries);
            Log::write(u"Secure Mode disabled — RAM data wiped"_s);
            logModeSwitch(AuditEventType::secureModeDisabled);
        }
    });
}

QFuture<std::expected<void, SnippetError>> SecureStorageManager::insertSnippet(const Snippet &snippet)
{
    // Sealed now, on the caller's thread: a save started just before the
    // vault locks is still written, and the queue never holds the key.
    auto sealed = m_snippets.seal(snippet);
    return m_executor.run([this, sealed = std::move(sealed)]() -> std::expected<void, SnippetError> {
        if (!sealed)
            return std::unexpected(sealed.error());
        return m_snippets.insertRow(*sealed);
    });
}

QFuture<SnippetRead> SecureStorageManager::fetchSnippets()
{
    return m_executor.run([this] { return m_snippets.fetchSnippets(); });
}

QFuture<std::expected<bool, SnippetError>> SecureStorageManager::incrementSnippetUsage(const QUuid &id)
{
    return m_executor.run([this, id] { return m_snippets.incrementUsage(id); });
}

QFuture<StorageOutcome> SecureStorageManager::deleteSnippet(const QUuid &id)
{
    return m_executor.run([this, id] { return m_snippets.deleteSnippet(id); });
}

QFuture<StorageOutcome> SecureStorageManager::logAuditEvent(const AuditEvent &event)
{
    return m_executor.run([this, event] { return writeAuditEvent(event); });
}

StorageOutcome SecureStorageManager::writeAuditEvent(const AuditEvent &event)
{
    if (isMemoryOnly())
        return {};
    SqliteStatement statement(
        m_database.handle(), "INSERT INTO audit_log (id, timestamp, event_type, detail) VALUES (?, ?, ?, ?)");
    if (!statement.isValid())
        return std::unexpected(m_database.isOpen()
                ? StorageError {StorageError::Code::sqlitePrepareFailed, statement.errorMessage()}
                : StorageError {StorageError::Code::databaseNotOpen});
    statement.bindText(1, UuidText::toText(event.id));
    statement.bindDouble(2, DateCoding::toSeconds(event.timestamp));
    statement.bindText(3, rawValue(event.eventType));
    statement.bindText(4, event.detail);
    if (statement.step() != SQLITE_DONE)
        return std::unexpected(m_database.lastFailure());
    return {};
}

void SecureStorageManager::logModeSwitch(AuditEventType type)
{
    // A mode switch goes on whatever its audit row comes to.
    (void)writeAuditEvent(AuditEvent {QUuid::createUuid(), m_clock.now(), type, std::nullopt});
}

void SecureStorageManager::switchEntries(EntryTable &entries)
{
    // Memory takes every change.
    (void)m_memoryEntries.clearAllEntries();
    m_entries = &entries;
}
