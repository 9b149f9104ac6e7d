#pragma once

#include "store/EntryTable.h"

// The history of a private session: whole entries, most recently inserted
// first, never written anywhere. An id is not checked for repeats.
class MemoryEntryTable final : public EntryTable {
    Q_DISABLE_COPY(MemoryEntryTable)

public:
    MemoryEntryTable() = default;

    // Memory takes every change.
    [[nodiscard]] StorageOutcome insertEntry(const ClipboardEntry &entry) override;
    HistoryRead fetchAllEntries(const QDateTime &now) override;
    // The first entry with that id.
    StoredEntry fetchEntry(const QUuid &id) const override;
    [[nodiscard]] StorageOutcome deleteExpiredEntries(const QDateTime &now) override;
    [[nodiscard]] StorageOutcome deleteEntry(const QUuid &id) override;
    // Changes the first entry with that id.
    [[nodiscard]] StorageOutcome updateSearchData(const QUuid &id, const std::optional<QByteArray> &preview,
        const std::optional<QByteArray> &searchText) override;
    [[nodiscard]] StorageOutcome deleteEntries(const QList<QUuid> &ids) override;
    // Replaces the first entry with that id as a whole, but keeps what a
    // published copy left here.
    [[nodiscard]] StorageOutcome updateFlags(const ClipboardEntry &entry) override;
    [[nodiscard]] StorageOutcome clearAllEntries() override;
    [[nodiscard]] StorageOutcome clearUnpinnedEntries() override;
    [[nodiscard]] StorageOutcome deleteEntriesOlderThan(const QDateTime &cutoff) override;
    qint64 entryCount() const override;

private:
    void removeExpired(const QDateTime &now);

    QList<ClipboardEntry> m_entries;
};
