#include "store/MemoryEntryTable.h"

#include "base/Log.h"

#include <algorithm>

using namespace Qt::StringLiterals;

void MemoryEntryTable::insertEntry(const ClipboardEntry &entry)
{
    m_entries.prepend(entry);
    Log::write(u"insertEntry: stored in RAM (secure mode), count="_s + QString::number(m_entries.size()));
}

QList<ClipboardEntry> MemoryEntryTable::fetchAllEntries(const QDateTime &now)
{
    deleteExpiredEntries(now);
    return m_entries;
}

void MemoryEntryTable::deleteExpiredEntries(const QDateTime &now)
{
    m_entries.removeIf(
        [&now](const ClipboardEntry &entry) { return entry.expiresAt && *entry.expiresAt < now; });
}

void MemoryEntryTable::deleteEntry(const QUuid &id)
{
    m_entries.removeIf([&id](const ClipboardEntry &entry) { return entry.id == id; });
}

void MemoryEntryTable::updateSearchData(
    const QUuid &id, const std::optional<QByteArray> &preview, const std::optional<QByteArray> &searchText)
{
    const auto found = std::find_if(
        m_entries.begin(), m_entries.end(), [&id](const ClipboardEntry &entry) { return entry.id == id; });
    if (found == m_entries.end())
        return;
    found->encryptedPreview = preview;
    found->encryptedSearchText = searchText;
}

void MemoryEntryTable::deleteEntries(const QList<QUuid> &ids)
{
    m_entries.removeIf([&ids](const ClipboardEntry &entry) { return ids.contains(entry.id); });
}

void MemoryEntryTable::updateFlags(const ClipboardEntry &entry)
{
    // Entries are equal when their ids are.
    const qsizetype index = m_entries.indexOf(entry);
    if (index >= 0)
        m_entries[index] = entry;
}

void MemoryEntryTable::clearAllEntries()
{
    m_entries.clear();
}

void MemoryEntryTable::clearUnpinnedEntries()
{
    m_entries.removeIf([](const ClipboardEntry &entry) { return !entry.isPinned && !entry.isFavorite; });
}

void MemoryEntryTable::deleteEntriesOlderThan(const QDateTime &cutoff)
{
    m_entries.removeIf([&cutoff](const ClipboardEntry &entry) {
        return entry.createdAt < cutoff && !entry.isPinned && !entry.isFavorite;
    });
}

qint64 MemoryEntryTable::entryCount() const
{
    return m_entries.size();
}
