#include "store/DatabaseEntryTable.h"

#include "base/Log.h"
#include "records/DateCoding.h"
#include "records/UuidText.h"
#include "store/RowByRowRead.h"
#include "store/SqliteSavepoint.h"
#include "store/SqliteStatement.h"
#include "store/StoreDatabase.h"

#include <QHash>

#include <algorithm>
#include <functional>
#include <optional>
#include <utility>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

constexpr const char *insertSql
    = "INSERT OR REPLACE INTO clipboard_entries\n"
      "(id, content_type, created_at, is_favorite, is_pinned, source_app,\n"
      " encrypted_content, encrypted_preview, encrypted_search_text, is_sensitive, "
      "expires_at, encrypted_rich)\n"
      "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";

const QByteArray selectOne
    = "SELECT id, content_type, created_at, is_favorite, is_pinned, source_app, encrypted_content, "
      "encrypted_preview, encrypted_search_text, is_sensitive, expires_at, encrypted_rich FROM "
      "clipboard_entries ";
const QByteArray selectOneSql = selectOne + "WHERE id = ?";
const QByteArray selectOneByRowidSql = selectOne + "WHERE rowid = ?";

// The columns entryFromRow reads, but the content only up to the held size
// and no rich text; then the content's size and whether rich text is there.
// length() of a blob reads no content, so large rows cost no more than
// small ones.
const QByteArray selectPublished
    = "SELECT id, content_type, created_at, is_favorite, is_pinned, source_app, "
      "CASE WHEN length(encrypted_content) <= ? THEN encrypted_content END, "
      "encrypted_preview, encrypted_search_text, is_sensitive, expires_at, NULL, "
      "length(encrypted_content), length(encrypted_rich) > 0 FROM clipboard_entries ";
const QByteArray selectPublishedSql = selectPublished + "ORDER BY created_at DESC";
const QByteArray selectPublishedRowSql = selectPublished + "WHERE rowid = ?";

// The rowids through the table alone, then through each index.
constexpr const char *listRowsSql = "SELECT rowid FROM clipboard_entries NOT INDEXED";
constexpr const char *listRowsByCreatedSql
    = "SELECT rowid FROM clipboard_entries INDEXED BY idx_entries_created";
constexpr const char *listRowsByIdSql
    = "SELECT rowid FROM clipboard_entries INDEXED BY sqlite_autoindex_clipboard_entries_1";

constexpr const char *overwriteOneSql
    = "UPDATE clipboard_entries SET encrypted_content = randomblob(length(encrypted_content)),\n"
      "encrypted_preview = CASE WHEN encrypted_preview IS NOT NULL THEN "
      "randomblob(length(encrypted_preview)) "
      "ELSE NULL END,\n"
      "encrypted_search_text = CASE WHEN encrypted_search_text IS NOT NULL THEN "
      "randomblob(length(encrypted_search_text)) ELSE NULL END\n"
      "WHERE id = ?";

std::optional<QDateTime> optionalDate(const SqliteStatement &statement, int column)
{
    if (statement.columnIsNull(column))
        return std::nullopt;
    return DateCoding::fromSeconds(statement.columnDouble(column));
}

std::optional<QByteArray> optionalBlob(const SqliteStatement &statement, int column)
{
    QByteArray bytes = statement.columnBlob(column);
    if (bytes.isEmpty())
        return std::nullopt;
    return bytes;
}

std::function<void(SqliteStatement &)> bindSeconds(const QDateTime &date)
{
    return [seconds = DateCoding::toSeconds(date)](
               SqliteStatement &statement) { statement.bindDouble(1, seconds); };
}

std::optional<double> optionalSeconds(const std::optional<QDateTime> &date)
{
    if (!date)
        return std::nullopt;
    return DateCoding::toSeconds(*date);
}

// Sealed content from this size on goes into its row after the row is
// written, a piece at a time: SQLite would first copy it whole into a
// record of its own.
constexpr qsizetype streamedContentSize = 1024 * 1024;

// Writes bytes into the blob of column in row; why, when it cannot.
std::optional<QString> writeBlob(sqlite3 *db, const char *column, sqlite3_int64 row, QByteArrayView bytes)
{
    sqlite3_blob *blob = nullptr;
    if (sqlite3_blob_open(db, "main", "clipboard_entries", column, row, 1, &blob) != SQLITE_OK) {
        sqlite3_blob_close(blob);
        return SqliteStatement::failureReason(db);
    }
    int result = SQLITE_OK;
    for (qsizetype offset = 0; offset < bytes.size() && result == SQLITE_OK; offset += streamedContentSize) {
        const QByteArrayView piece
            = bytes.sliced(offset, std::min(streamedContentSize, bytes.size() - offset));
        result = sqlite3_blob_write(blob, piece.data(), int(piece.size()), int(offset));
    }
    // Closing may set an error of its own, or clear the write's.
    if (result != SQLITE_OK) {
        const QString reason = SqliteStatement::failureReason(db);
        sqlite3_blob_close(blob);
        return reason;
    }
    if (sqlite3_blob_close(blob) != SQLITE_OK)
        return SqliteStatement::failureReason(db);
    return std::nullopt;
}

} // namespace

DatabaseEntryTable::DatabaseEntryTable(StoreDatabase &database) : m_database(database)
{
}

StorageOutcome DatabaseEntryTable::insertEntry(const ClipboardEntry &entry)
{
    if (!m_database.isOpen()) {
        Log::write(u"❌ insertEntry FAILED: database is nil (not initialized)"_s);
        return std::unexpected(StorageError {StorageError::Code::databaseNotOpen});
    }
    SqliteStatement statement(m_database.handle(), insertSql);
    if (!statement.isValid()) {
        Log::write(u"❌ insertEntry FAILED to prepare: "_s + statement.errorMessage());
        return std::unexpected(
            StorageError {StorageError::Code::sqlitePrepareFailed, statement.errorMessage()});
    }
    // The row and its streamed content are one write.
    const bool streamed = entry.encryptedContent.size() >= streamedContentSize;
    std::optional<SqliteSavepoint> whole;
    if (streamed)
        whole.emplace(m_database, u"insert_entry"_s);
    statement.bindText(1, UuidText::toText(entry.id));
    statement.bindText(2, rawValue(entry.contentType));
    statement.bindDouble(3, DateCoding::toSeconds(entry.createdAt));
    statement.bindBool(4, entry.isFavorite);
    statement.bindBool(5, entry.isPinned);
    statement.bindText(6, entry.sourceApp);
    if (streamed)
        statement.bindZeroBlob(7, entry.encryptedContent.size());
    else
        statement.bindBlob(7, entry.encryptedContent);
    statement.bindBlob(8, entry.encryptedPreview);
    statement.bindBlob(9, entry.encryptedSearchText);
    statement.bindBool(10, entry.isSensitive);
    statement.bindDouble(11, optionalSeconds(entry.expiresAt));
    statement.bindBlob(12, entry.encryptedRich);
    const int result = statement.step();
    if (result != SQLITE_DONE) {
        Log::write(
            u"❌ insertEntry step FAILED ("_s + QString::number(result) + u"): "_s + statement.errorMessage());
        return std::unexpected(StorageError {
            StorageError::Code::sqliteStepFailed, SqliteStatement::failureReason(m_database.handle())});
    }
    if (!streamed)
        return {};
    std::optional<QString> failure = writeBlob(m_database.handle(), "encrypted_content",
        sqlite3_last_insert_rowid(m_database.handle()), entry.encryptedContent);
    if (!failure && (!whole->isActive() || !whole->release()))
        failure = SqliteStatement::failureReason(m_database.handle());
    if (failure) {
        Log::write(u"❌ insertEntry FAILED to write the content: "_s + *failure);
        return std::unexpected(StorageError {StorageError::Code::sqliteStepFailed, *failure});
    }
    return {};
}

HistoryRead DatabaseEntryTable::fetchAllEntries(const QDateTime &now)
{
    if (!m_database.isOpen()) {
        Log::write(u"❌ fetchAllEntries FAILED: database is nil"_s);
        return {.entries = {}, .unread = UnreadRows::databaseNotOpen()};
    }
    std::optional<Read> read = std::exchange(m_readAhead, std::nullopt);
    if (read && read->changes == m_database.totalChanges()) {
        // Nothing was written since: only what expired meanwhile goes.
        const double nowSeconds = DateCoding::toSeconds(now);
        read->expiredSeen |= read->history.entries.removeIf([nowSeconds](const ClipboardEntry &entry) {
            return entry.expiresAt && DateCoding::toSeconds(*entry.expiresAt) < nowSeconds;
        }) > 0;
    } else {
        read = readPublished(now);
    }
    // Silent: an expired row the database keeps is left out of every read
    // and purged again by the next.
    if (read->expiredSeen)
        (void)deleteExpiredEntries(now);
    Log::write(u"fetchAllEntries: loaded "_s + QString::number(read->history.entries.size())
        + u" entries from DB"_s);
    if (read->history.unread.any())
        Log::write(read->history.unread.logLine(u"fetchAllEntries"_s));
    return std::move(read->history);
}

void DatabaseEntryTable::readAhead(const QDateTime &now)
{
    m_readAhead.reset();
    if (m_database.isOpen())
        m_readAhead = readPublished(now);
}

DatabaseEntryTable::Read DatabaseEntryTable::readPublished(const QDateTime &now)
{
    Read read;
    read.changes = m_database.totalChanges();
    // Made once at its size: growing would copy the list and leave holes.
    read.history.entries.reserve(entryCount());
    SqliteStatement statement(m_database.handle(), selectPublishedSql.constData());
    if (!statement.isValid()) {
        Log::write(u"❌ fetchAllEntries FAILED to prepare: "_s + statement.errorMessage());
        read.history.unread = {.uncounted = true, .reason = statement.errorMessage()};
        return read;
    }
    statement.bindInt64(1, ClipboardEntry::heldContentLimit);
    // One pass over the table: expired rows are left out here and purged
    // after, instead of a purge reading the whole table before each load.
    const double nowSeconds = DateCoding::toSeconds(now);
    SourceNames sourceNames;
    int result = SQLITE_ROW;
    while ((result = statement.step()) == SQLITE_ROW)
        takeRow(statement, read, nowSeconds, sourceNames);
    if (result != SQLITE_DONE) {
        Log::write(u"❌ fetchAllEntries step FAILED ("_s + QString::number(result) + u"): "_s
            + statement.errorMessage());
        readRowByRow(read, nowSeconds, sourceNames);
    }
    return read;
}

// A damaged page of one row (a broken link in its long content) or of the
// created_at index fails the pass there, and SQLite does not say which:
// every row is read again alone, without the index, and put in its order.
void DatabaseEntryTable::readRowByRow(Read &read, double nowSeconds, SourceNames &sourceNames)
{
    QList<ClipboardEntry> &entries = read.history.entries;
    entries.clear();
    SqliteStatement row(m_database.handle(), selectPublishedRowSql.constData());
    row.bindInt64(1, ClipboardEntry::heldContentLimit);
    read.history.unread
        = RowByRowRead::read(m_database.handle(), {listRowsSql, listRowsByCreatedSql, listRowsByIdSql}, row,
            2, [&](const SqliteStatement &statement) { takeRow(statement, read, nowSeconds, sourceNames); });
    // Equal times in the index's order, the latest rowid first.
    std::ranges::reverse(entries);
    std::ranges::stable_sort(entries, std::greater {}, &ClipboardEntry::createdAt);
}

void DatabaseEntryTable::takeRow(
    const SqliteStatement &statement, Read &read, double nowSeconds, SourceNames &sourceNames)
{
    if (!statement.columnIsNull(10) && statement.columnDouble(10) < nowSeconds) {
        read.expiredSeen = true;
        return;
    }
    if (std::optional<ClipboardEntry> entry = publishedFromRow(statement, sourceNames))
        read.history.entries.append(std::move(*entry));
}

StoredEntry DatabaseEntryTable::fetchEntry(const QUuid &id) const
{
    if (!m_database.isOpen())
        return std::unexpected(StorageError {StorageError::Code::databaseNotOpen});
    SqliteStatement statement(m_database.handle(), selectOneSql.constData());
    if (!statement.isValid())
        return std::unexpected(
            StorageError {StorageError::Code::sqlitePrepareFailed, statement.errorMessage()});
    statement.bindText(1, UuidText::toText(id));
    const int result = statement.step();
    if (result == SQLITE_ROW)
        return entryFromRow(statement);
    if (result == SQLITE_DONE)
        return std::nullopt;
    // The row's own pages or the id index: SQLite does not say which.
    return fetchEntryWithoutIndex(id);
}

// A scan of the whole table for each entry would make a backup's reads
// quadratic: the table is listed once, and the rowids are kept for the
// reads that follow. Each read checks the id, since a clear's VACUUM
// renumbers rows; one that does not find it lists the table again.
StoredEntry DatabaseEntryTable::fetchEntryWithoutIndex(const QUuid &id) const
{
    const bool listedBefore = m_rowidsById.has_value();
    if (!listedBefore)
        listRowidsById();
    std::optional<StoredEntry> found = readListedRow(id);
    if (!found && listedBefore) {
        listRowidsById();
        found = readListedRow(id);
    }
    if (found)
        return *found;
    if (!m_rowidsById->unlisted.isEmpty())
        return std::unexpected(StorageError {StorageError::Code::sqliteReadFailed, m_rowidsById->unlisted});
    return std::nullopt;
}

void DatabaseEntryTable::listRowidsById() const
{
    RowidsById &listed = m_rowidsById.emplace();
    SqliteStatement listing(m_database.handle(), "SELECT rowid, id FROM clipboard_entries NOT INDEXED");
    int result = SQLITE_ROW;
    while ((result = listing.step()) == SQLITE_ROW) {
        if (const std::optional<QUuid> id = UuidText::parse(listing.columnBytes(1)))
            listed.rowids.insert(*id, listing.columnInt64(0));
    }
    if (result != SQLITE_DONE)
        listed.unlisted = listing.isValid() ? SqliteStatement::failureReason(m_database.handle())
                                            : listing.errorMessage();
}

std::optional<StoredEntry> DatabaseEntryTable::readListedRow(const QUuid &id) const
{
    const auto rowid = m_rowidsById->rowids.constFind(id);
    if (rowid == m_rowidsById->rowids.cend())
        return std::nullopt;
    SqliteStatement row(m_database.handle(), selectOneByRowidSql.constData());
    row.bindInt64(1, *rowid);
    const int result = row.step();
    if (result == SQLITE_ROW && UuidText::parse(row.columnBytes(0)) == id)
        return StoredEntry(entryFromRow(row));
    if (result == SQLITE_ROW || result == SQLITE_DONE)
        return std::nullopt;
    return std::unexpected(StorageError {
        StorageError::Code::sqliteReadFailed, SqliteStatement::failureReason(m_database.handle())});
}

std::optional<ClipboardEntry> DatabaseEntryTable::entryFromRow(const SqliteStatement &statement)
{
    std::optional<ClipboardEntry> entry = metadataFromRow(statement);
    if (!entry)
        return std::nullopt;
    entry->encryptedContent = statement.columnBlob(6);
    if (entry->encryptedContent.isEmpty())
        return std::nullopt;
    entry->encryptedRich = optionalBlob(statement, 11);
    return entry;
}

std::optional<ClipboardEntry> DatabaseEntryTable::publishedFromRow(
    const SqliteStatement &statement, SourceNames &sourceNames)
{
    std::optional<ClipboardEntry> entry = metadataFromRow(statement, &sourceNames);
    const qint64 contentSize = statement.columnInt64(12);
    if (!entry || contentSize <= 0)
        return std::nullopt;
    if (statement.columnIsNull(6))
        entry->contentLeftInStore = contentSize;
    else
        entry->encryptedContent = statement.columnBlob(6);
    entry->richLeftInStore = statement.columnInt64(13) != 0;
    return entry;
}

std::optional<ClipboardEntry> DatabaseEntryTable::metadataFromRow(
    const SqliteStatement &statement, SourceNames *sourceNames)
{
    // Read from SQLite's own UTF-8: no text is made for them.
    const std::optional<QUuid> id = UuidText::parse(statement.columnBytes(0));
    if (!id)
        return std::nullopt;
    const std::optional<ContentType> contentType = fromRawValue<ContentType>(statement.columnBytes(1));
    if (!contentType)
        return std::nullopt;
    ClipboardEntry entry;
    entry.id = *id;
    entry.contentType = *contentType;
    entry.createdAt = DateCoding::fromSeconds(statement.columnDouble(2));
    entry.isFavorite = statement.columnInt64(3) != 0;
    entry.isPinned = statement.columnInt64(4) != 0;
    if (!sourceNames || statement.columnIsNull(5)) {
        entry.sourceApp = statement.columnText(5);
    } else {
        const QByteArrayView name = statement.columnBytes(5);
        auto known = sourceNames->constFind(QByteArray::fromRawData(name.data(), name.size()));
        if (known == sourceNames->cend())
            known = sourceNames->insert(name.toByteArray(), QString::fromUtf8(name));
        entry.sourceApp = *known;
    }
    entry.encryptedPreview = optionalBlob(statement, 7);
    entry.encryptedSearchText = optionalBlob(statement, 8);
    entry.isSensitive = statement.columnInt64(9) != 0;
    entry.expiresAt = optionalDate(statement, 10);
    return entry;
}

StorageOutcome DatabaseEntryTable::deleteExpiredEntries(const QDateTime &now)
{
    return purge("UPDATE clipboard_entries SET encrypted_content = randomblob(length(encrypted_content)) "
                 "WHERE expires_at IS NOT NULL AND expires_at < ?",
        "DELETE FROM clipboard_entries WHERE expires_at IS NOT NULL AND expires_at < ?", bindSeconds(now));
}

StorageOutcome DatabaseEntryTable::deleteEntry(const QUuid &id)
{
    const qint64 before = m_database.totalChanges();
    Change deleted = deleteOne(id);
    checkpointIfChangedSince(before);
    return deleted;
}

DatabaseEntryTable::Change DatabaseEntryTable::deleteOne(const QUuid &id)
{
    const QString idText = UuidText::toText(id);
    return overwriteThenDelete(overwriteOneSql, "DELETE FROM clipboard_entries WHERE id = ?",
        [&idText](SqliteStatement &statement) { statement.bindText(1, idText); });
}

StorageOutcome DatabaseEntryTable::updateSearchData(
    const QUuid &id, const std::optional<QByteArray> &preview, const std::optional<QByteArray> &searchText)
{
    return changeAlone(
        "UPDATE clipboard_entries SET encrypted_preview = ?, encrypted_search_text = ? WHERE id = ?",
        [&](SqliteStatement &statement) {
            statement.bindBlob(1, preview);
            statement.bindBlob(2, searchText);
            statement.bindText(3, UuidText::toText(id));
        });
}

StorageOutcome DatabaseEntryTable::deleteEntries(const QList<QUuid> &ids)
{
    if (ids.isEmpty())
        return {};
    const qint64 before = m_database.totalChanges();
    Change deleted;
    {
        // One transaction for the batch; a deletion that fails rolls back
        // only its own pair.
        SqliteSavepoint transaction(m_database, u"delete_entries"_s);
        for (const QUuid &id : ids) {
            if (Change one = deleteOne(id); !one && deleted)
                deleted = std::move(one);
        }
        // Without the transaction each pair went on its own.
        if (transaction.isActive() && !transaction.release())
            deleted = std::unexpected(m_database.lastFailure());
    }
    checkpointIfChangedSince(before);
    return deleted;
}

StorageOutcome DatabaseEntryTable::updateFlags(const ClipboardEntry &entry)
{
    return changeAlone("UPDATE clipboard_entries SET is_favorite = ?, is_pinned = ? WHERE id = ?",
        [&entry](SqliteStatement &statement) {
            statement.bindBool(1, entry.isFavorite);
            statement.bindBool(2, entry.isPinned);
            statement.bindText(3, UuidText::toText(entry.id));
        });
}

StorageOutcome DatabaseEntryTable::clearAllEntries()
{
    return purge("UPDATE clipboard_entries SET encrypted_content = randomblob(64)",
        "DELETE FROM clipboard_entries", {}, Vacuum::yes);
}

StorageOutcome DatabaseEntryTable::clearUnpinnedEntries()
{
    return purge("UPDATE clipboard_entries SET encrypted_content = randomblob(length(encrypted_content)) "
                 "WHERE is_pinned = 0 AND is_favorite = 0",
        "DELETE FROM clipboard_entries WHERE is_pinned = 0 AND is_favorite = 0", {}, Vacuum::yes);
}

StorageOutcome DatabaseEntryTable::deleteEntriesOlderThan(const QDateTime &cutoff)
{
    return purge("UPDATE clipboard_entries SET encrypted_content = randomblob(length(encrypted_content)) "
                 "WHERE created_at < ? AND is_pinned = 0 AND is_favorite = 0",
        "DELETE FROM clipboard_entries WHERE created_at < ? AND is_pinned = 0 AND is_favorite = 0",
        bindSeconds(cutoff));
}

StorageOutcome DatabaseEntryTable::wipeAllData()
{
    const qint64 before = m_database.totalChanges();
    // Each failure is read where it happens, before the rollback.
    Change wiped = [this]() -> Change {
        SqliteSavepoint wipe(m_database, u"wipe"_s);
        if (!wipe.isActive())
            return std::unexpected(m_database.lastFailure());
        Change step = overwriteThenDelete(
            "UPDATE clipboard_entries SET encrypted_content = randomblob(length(encrypted_content))",
            "DELETE FROM clipboard_entries");
        if (step)
            step = change("DELETE FROM snippets");
        if (step)
            step = change("DELETE FROM audit_log");
        if (step && !wipe.release())
            step = std::unexpected(m_database.lastFailure());
        return step;
    }();
    if (wiped && !m_database.execute(u"VACUUM"_s))
        wiped = std::unexpected(m_database.lastFailure());
    // Until the log is in the file, the file still holds the old rows.
    if (!checkpointIfChangedSince(before) && wiped)
        wiped = std::unexpected(m_database.lastFailure());
    return wiped;
}

qint64 DatabaseEntryTable::entryCount() const
{
    SqliteStatement statement(m_database.handle(), "SELECT COUNT(*) FROM clipboard_entries");
    if (!statement.isValid() || statement.step() != SQLITE_ROW)
        return 0;
    return statement.columnInt64(0);
}

QList<QByteArray> DatabaseEntryTable::oldestSealedFields(int count) const
{
    SqliteStatement statement(m_database.handle(),
        "SELECT COALESCE(encrypted_preview, encrypted_content) FROM clipboard_entries "
        "ORDER BY created_at LIMIT ?");
    QList<QByteArray> fields;
    if (!statement.isValid())
        return fields;
    statement.bindInt64(1, count);
    while (statement.step() == SQLITE_ROW)
        fields.append(statement.columnBlob(0));
    return fields;
}

DatabaseEntryTable::Change DatabaseEntryTable::change(const char *sql, const Binder &bind)
{
    if (!m_database.isOpen())
        return std::unexpected(m_database.lastFailure());
    SqliteStatement statement(m_database.handle(), sql);
    if (statement.isValid()) {
        if (bind)
            bind(statement);
        if (statement.step() == SQLITE_DONE)
            return {};
    }
    Log::write(u"SQL Error: "_s + statement.errorMessage());
    return std::unexpected(m_database.lastFailure());
}

DatabaseEntryTable::Change DatabaseEntryTable::changeAlone(const char *sql, const Binder &bind)
{
    SqliteSavepoint alone(m_database, u"change"_s);
    if (!alone.isActive())
        return std::unexpected(m_database.lastFailure());
    if (Change changed = change(sql, bind); !changed)
        return changed;
    if (!alone.release())
        return std::unexpected(m_database.lastFailure());
    return {};
}

DatabaseEntryTable::Change DatabaseEntryTable::overwriteThenDelete(
    const char *overwrite, const char *remove, const Binder &bind)
{
    SqliteSavepoint pair(m_database, u"overwrite_delete"_s);
    // Outside a savepoint a failed delete would leave the random bytes.
    if (!pair.isActive())
        return std::unexpected(m_database.lastFailure());
    change(overwrite, bind);
    if (Change removed = change(remove, bind); !removed)
        return removed;
    // A full disk may refuse the pair only here, as it goes to the log.
    if (!pair.release())
        return std::unexpected(m_database.lastFailure());
    return {};
}

DatabaseEntryTable::Change DatabaseEntryTable::purge(
    const char *overwrite, const char *remove, const Binder &bind, Vacuum vacuum)
{
    const qint64 before = m_database.totalChanges();
    Change removed = overwriteThenDelete(overwrite, remove, bind);
    if (removed && vacuum == Vacuum::yes)
        m_database.execute(u"VACUUM"_s);
    checkpointIfChangedSince(before);
    return removed;
}

bool DatabaseEntryTable::checkpointIfChangedSince(qint64 changes)
{
    if (m_database.totalChanges() == changes)
        return true;
    return m_database.checkpoint();
}
