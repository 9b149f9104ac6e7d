#pragma once

#include "store/EntryTable.h"

// The history of a private session: whole entries, most recently inserted
// first, never written anywhere. An id is not checked for repeats.
class MemoryEntryTable final : public EntryTable {
    Q_DISABLE_COPY(MemoryEntryTable)

public:
    MemoryEntryTable() = default;

    std::expected<void, StorageError> insertEntry(const ClipboardEntry &entry) override;
    QList<ClipboardEntry> fetchAllEntries(const QDateTime &now) override;
    // The first entry with that id.
    StoredEntry fetchEntry(const QUuid &id) const override;
    void deleteExpiredEntries(const QDateTime &now) override;
    std::expected<void, StorageError> deleteEntry(const QUuid &id) override;
    // Changes the first entry with that id.
    void updateSearchData(const QUuid &id, const std::optional<QByteArray> &preview,
        const std::optional<QByteArray> &searchText) override;
    void deleteEntries(const QList<QUuid> &ids) override;
    // Replaces the first entry with that id as a whole, but keeps what a
    // published copy left here.
    void updateFlags(const ClipboardEntry &entry) override;
    std::expected<void, StorageError> clearAllEntries() override;
    std::expected<void, StorageError> clearUnpinnedEntries() override;
    void deleteEntriesOlderThan(const QDateTime &cutoff) override;
    qint64 entryCount() const override;

private:
    QList<ClipboardEntry> m_entries;
};
