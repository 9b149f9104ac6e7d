#include "store/MemoryEntryTable.h"

#include "base/Log.h"

#include <algorithm>

using namespace Qt::StringLiterals;

StorageOutcome MemoryEntryTable::insertEntry(const ClipboardEntry &entry)
{
    m_entries.prepend(entry);
    Log::write(u"insertEntry: stored in RAM (secure mode), count="_s + QString::number(m_entries.size()));
    return {};
}

HistoryRead MemoryEntryTable::fetchAllEntries(const QDateTime &now)
{
    removeExpired(now);
    HistoryRead read;
    read.entries.reserve(m_entries.size());
    for (const ClipboardEntry &entry : std::as_const(m_entries))
        read.entries.append(entry.published());
    return read;
}

StoredEntry MemoryEntryTable::fetchEntry(const QUuid &id) const
{
    const auto found = std::ranges::find(m_entries, id, &ClipboardEntry::id);
    if (found == m_entries.end())
        return std::nullopt;
    return *found;
}

StorageOutcome MemoryEntryTable::deleteExpiredEntries(const QDateTime &now)
{
    removeExpired(now);
    return {};
}

void MemoryEntryTable::removeExpired(const QDateTime &now)
{
    m_entries.removeIf(
        [&now](const ClipboardEntry &entry) { return entry.expiresAt && *entry.expiresAt < now; });
}

StorageOutcome MemoryEntryTable::deleteEntry(const QUuid &id)
{
    m_entries.removeIf([&id](const ClipboardEntry &entry) { return entry.id == id; });
    return {};
}

StorageOutcome MemoryEntryTable::updateSearchData(
    const QUuid &id, const std::optional<QByteArray> &preview, const std::optional<QByteArray> &searchText)
{
    const auto found = std::find_if(
        m_entries.begin(), m_entries.end(), [&id](const ClipboardEntry &entry) { return entry.id == id; });
    if (found == m_entries.end())
        return {};
    found->encryptedPreview = preview;
    found->encryptedSearchText = searchText;
    return {};
}

StorageOutcome MemoryEntryTable::deleteEntries(const QList<QUuid> &ids)
{
    m_entries.removeIf([&ids](const ClipboardEntry &entry) { return ids.contains(entry.id); });
    return {};
}

StorageOutcome MemoryEntryTable::updateFlags(const ClipboardEntry &entry)
{
    const auto found = std::ranges::find(m_entries, entry.id, &ClipboardEntry::id);
    if (found == m_entries.end())
        return {};
    ClipboardEntry replacement = entry;
    if (!entry.holdsContent()) {
        replacement.encryptedContent = found->encryptedContent;
        replacement.contentLeftInStore.reset();
    }
    if (entry.richLeftInStore) {
        replacement.encryptedRich = found->encryptedRich;
        replacement.richLeftInStore = false;
    }
    *found = std::move(replacement);
    return {};
}

StorageOutcome MemoryEntryTable::clearAllEntries()
{
    m_entries.clear();
    return {};
}

StorageOutcome MemoryEntryTable::clearUnpinnedEntries()
{
    m_entries.removeIf([](const ClipboardEntry &entry) { return !entry.isPinned && !entry.isFavorite; });
    return {};
}

StorageOutcome MemoryEntryTable::deleteEntriesOlderThan(const QDateTime &cutoff)
{
    m_entries.removeIf([&cutoff](const ClipboardEntry &entry) {
        return entry.createdAt < cutoff && !entry.isPinned && !entry.isFavorite;
    });
    return {};
}

qint64 MemoryEntryTable::entryCount() const
{
    return m_entries.size();
}
