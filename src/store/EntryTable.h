#pragma once

#include "records/ClipboardEntry.h"
#include "store/HistoryRead.h"
#include "store/StorageError.h"

#include <QList>

#include <expected>
#include <optional>

// An entry read whole by id: none when it is gone, or why the database
// could not read it.
using StoredEntry = std::expected<std::optional<ClipboardEntry>, StorageError>;

// Where the history lives: the database, or memory only during a private
// session. The store picks one when the mode switches and sends every
// history operation to it. Entries arrive sealed and are never opened here.
// Every change says why the database did not take it, when it did not.
class EntryTable {
public:
    virtual ~EntryTable() = default;

    [[nodiscard]] virtual StorageOutcome insertEntry(const ClipboardEntry &entry) = 0;
    // Removes the entries expired at now, then lists the rest, newest first,
    // as the published history keeps them (ClipboardEntry::published), with
    // the rows that could not be read.
    virtual HistoryRead fetchAllEntries(const QDateTime &now) = 0;
    // The whole entry with that id, content and rich text included.
    virtual StoredEntry fetchEntry(const QUuid &id) const = 0;
    // An entry is expired when its expiry lies strictly before now.
    [[nodiscard]] virtual StorageOutcome deleteExpiredEntries(const QDateTime &now) = 0;
    [[nodiscard]] virtual StorageOutcome deleteEntry(const QUuid &id) = 0;
    // An absent value clears the field.
    [[nodiscard]] virtual StorageOutcome updateSearchData(const QUuid &id,
        const std::optional<QByteArray> &preview, const std::optional<QByteArray> &searchText)
        = 0;
    [[nodiscard]] virtual StorageOutcome deleteEntries(const QList<QUuid> &ids) = 0;
    [[nodiscard]] virtual StorageOutcome updateFlags(const ClipboardEntry &entry) = 0;
    // Pinned and starred entries too.
    [[nodiscard]] virtual StorageOutcome clearAllEntries() = 0;
    // Keeps the entries that are pinned or starred.
    [[nodiscard]] virtual StorageOutcome clearUnpinnedEntries() = 0;
    // Entries created strictly before cutoff that are neither pinned nor
    // starred.
    [[nodiscard]] virtual StorageOutcome deleteEntriesOlderThan(const QDateTime &cutoff) = 0;
    virtual qint64 entryCount() const = 0;

protected:
    EntryTable() = default;
    Q_DISABLE_COPY(EntryTable)
};
