#include "store/SecureStorageManager.h"

#include "base/Log.h"
#include "records/DateCoding.h"
#include "records/UuidText.h"
#include "store/SqliteStatement.h"

using namespace Qt::StringLiterals;

SecureStorageManager::SecureStorageManager(const EncryptionService &encryptionService, const Clock &clock)
    : m_encryptionService(encryptionService), m_clock(clock)
{
}

SecureStorageManager::~SecureStorageManager() = default;

QFuture<void> SecureStorageManager::openDatabase()
{
    return m_executor.run([this, path = StoreDatabase::databaseURL()] {
        m_database.openDatabase(path);
        m_isOpen = m_database.isOpen();
    });
}

QFuture<void> SecureStorageManager::closeDatabase()
{
    return m_executor.run([this] {
        m_database.closeDatabase();
        m_isOpen = false;
    });
}

QFuture<bool> SecureStorageManager::execute(const QString &sql)
{
    return m_executor.run([this, sql] { return m_database.execute(sql); });
}

QFuture<void> SecureStorageManager::insertEntry(const ClipboardEntry &entry)
{
    return m_executor.run([this, entry] {
        if (m_isRAMMode) {
            m_ramEntries.prepend(entry);
            Log::write(
                u"insertEntry: stored in RAM (secure mode), count="_s + QString::number(m_ramEntries.size()));
        } else if (!m_database.isOpen()) {
            Log::write(u"❌ insertEntry FAILED: database is nil (not initialized)"_s);
        } else {
            m_entries.insertEntry(entry);
        }
    });
}

QFuture<QList<ClipboardEntry>> SecureStorageManager::fetchAllEntries()
{
    return m_executor.run([this]() -> QList<ClipboardEntry> {
        if (m_isRAMMode) {
            removeExpiredFromMemory();
            return m_ramEntries;
        }
        if (!m_database.isOpen()) {
            Log::write(u"❌ fetchAllEntries FAILED: database is nil"_s);
            return {};
        }
        m_entries.deleteExpiredEntries(m_clock.now());
        return m_entries.fetchAllEntries();
    });
}

QFuture<void> SecureStorageManager::deleteExpiredEntries()
{
    return m_executor.run([this] {
        if (m_isRAMMode)
            removeExpiredFromMemory();
        else if (m_database.isOpen())
            m_entries.deleteExpiredEntries(m_clock.now());
    });
}

QFuture<void> SecureStorageManager::deleteEntry(const QUuid &id)
{
    return m_executor.run([this, id] {
        if (m_isRAMMode)
            m_ramEntries.removeIf([&id](const ClipboardEntry &entry) { return entry.id == id; });
        else if (m_database.isOpen())
            m_entries.deleteEntry(id);
    });
}

QFuture<void> SecureStorageManager::updateSearchData(
    const QUuid &id, const std::optional<QByteArray> &preview, const std::optional<QByteArray> &searchText)
{
    return m_executor.run([this, id, preview, searchText] {
        if (m_isRAMMode) {
            const auto found = std::find_if(m_ramEntries.begin(), m_ramEntries.end(),
                [&id](const ClipboardEntry &entry) { return entry.id == id; });
            if (found != m_ramEntries.end()) {
                found->encryptedPreview = preview;
                found->encryptedSearchText = searchText;
            }
        } else if (m_database.isOpen()) {
            m_entries.updateSearchData(id, preview, searchText);
        }
    });
}

QFuture<void> SecureStorageManager::deleteEntries(const QList<QUuid> &ids)
{
    return m_executor.run([this, ids] {
        if (ids.isEmpty())
            return;
        if (m_isRAMMode)
            m_ramEntries.removeIf([&ids](const ClipboardEntry &entry) { return ids.contains(entry.id); });
        else if (m_database.isOpen())
            m_entries.deleteEntries(ids);
    });
}

QFuture<void> SecureStorageManager::updateFlags(const ClipboardEntry &entry)
{
    return m_executor.run([this, entry] {
        if (m_isRAMMode) {
            const qsizetype index = m_ramEntries.indexOf(entry);
            if (index >= 0)
                m_ramEntries[index] = entry;
        } else if (m_database.isOpen()) {
            m_entries.updateFlags(entry);
        }
    });
}

QFuture<void> SecureStorageManager::clearAllEntries()
{
    return m_executor.run([this] {
        if (m_isRAMMode)
            m_ramEntries.clear();
        else if (m_database.isOpen())
            m_entries.clearAllEntries();
    });
}

QFuture<void> SecureStorageManager::clearUnpinnedEntries()
{
    return m_executor.run([this] {
        if (m_isRAMMode)
            m_ramEntries.removeIf(
                [](const ClipboardEntry &entry) { return !entry.isPinned && !entry.isFavorite; });
        else if (m_database.isOpen())
            m_entries.clearUnpinnedEntries();
    });
}

QFuture<void> SecureStorageManager::deleteEntriesOlderThan(const QDateTime &cutoff)
{
    return m_executor.run([this, cutoff] {
        if (m_isRAMMode) {
            m_ramEntries.removeIf([&cutoff](const ClipboardEntry &entry) {
                return entry.createdAt < cutoff && !entry.isPinned && !entry.isFavorite;
            });
        } else if (m_database.isOpen()) {
            m_entries.deleteEntriesOlderThan(cutoff);
        }
    });
}

QFuture<bool> SecureStorageManager::wipeAllData()
{
    return m_executor.run([this] {
        m_ramEntries.clear();
        m_isRAMMode = false;
        return m_database.isOpen() && m_entries.wipeAllData();
    });
}

QFuture<qint64> SecureStorageManager::entryCount()
{
    return m_executor.run([this]() -> qint64 {
        if (m_isRAMMode)
            return m_ramEntries.size();
        return m_database.isOpen() ? m_entries.entryCount() : 0;
    });
}

QFuture<void> SecureStorageManager::setSecureMode(bool enabled)
{
    return m_executor.run([this, enabled] {
        if (enabled == m_isRAMMode)
            return;
        if (enabled) {
            // Recorded while the mode is still off, so the row is written.
            logModeSwitch(AuditEventType::secureModeEnabled);
            m_isRAMMode = true;
            m_ramEntries.clear();
            Log::write(u"Secure Mode enabled — all data in RAM only"_s);
        } else {
            m_ramEntries.clear();
            m_isRAMMode = false;
            Log::write(u"Secure Mode disabled — RAM data wiped"_s);
            logModeSwitch(AuditEventType::secureModeDisabled);
        }
    });
}

QFuture<std::expected<void, SnippetError>> SecureStorageManager::insertSnippet(const Snippet &snippet)
{
    return m_executor.run([this, snippet] { return m_snippets.insertSnippet(snippet); });
}

QFuture<QList<Snippet>> SecureStorageManager::fetchSnippets()
{
    return m_executor.run([this] { return m_snippets.fetchSnippets(); });
}

QFuture<std::expected<bool, SnippetError>> SecureStorageManager::incrementSnippetUsage(const QUuid &id)
{
    return m_executor.run([this, id] { return m_snippets.incrementUsage(id); });
}

QFuture<bool> SecureStorageManager::deleteSnippet(const QUuid &id)
{
    return m_executor.run([this, id] { return m_snippets.deleteSnippet(id); });
}

QFuture<void> SecureStorageManager::logAuditEvent(const AuditEvent &event)
{
    return m_executor.run([this, event] { writeAuditEvent(event); });
}

void SecureStorageManager::writeAuditEvent(const AuditEvent &event)
{
    if (m_isRAMMode)
        return;
    SqliteStatement statement(
        m_database.handle(), "INSERT INTO audit_log (id, timestamp, event_type, detail) VALUES (?, ?, ?, ?)");
    if (!statement.isValid())
        return;
    statement.bindText(1, UuidText::toText(event.id));
    statement.bindDouble(2, DateCoding::toSeconds(event.timestamp));
    statement.bindText(3, rawValue(event.eventType));
    statement.bindText(4, event.detail);
    statement.step();
}

void SecureStorageManager::logModeSwitch(AuditEventType type)
{
    writeAuditEvent(AuditEvent {QUuid::createUuid(), m_clock.now(), type, std::nullopt});
}

void SecureStorageManager::removeExpiredFromMemory()
{
    const QDateTime now = m_clock.now();
    m_ramEntries.removeIf(
        [&now](const ClipboardEntry &entry) { return entry.expiresAt && *entry.expiresAt < now; });
}
