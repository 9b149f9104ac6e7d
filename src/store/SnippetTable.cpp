#include "store/SnippetTable.h"

#include "base/Log.h"
#include "base/Utf8Text.h"
#include "crypto/EncryptionService.h"
#include "records/DateCoding.h"
#include "records/UuidText.h"
#include "store/RowByRowRead.h"
#include "store/SqliteStatement.h"
#include "store/StoreDatabase.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <functional>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

std::optional<QStringList> tagsFromJson(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    QStringList tags;
    for (const QJsonValue &value : document.array()) {
        if (!value.isString())
            return std::nullopt;
        tags.append(value.toString());
    }
    return tags;
}

} // namespace

SnippetTable::SnippetTable(StoreDatabase &database, const EncryptionService &encryptionService)
    : m_database(database), m_encryptionService(encryptionService)
{
}

std::expected<SnippetTable::SealedRow, SnippetError> SnippetTable::seal(const Snippet &snippet) const
{
    auto title = m_encryptionService.encrypt(snippet.title.toUtf8());
    if (!title)
        return std::unexpected(toSnippetError(title.error()));
    auto content = m_encryptionService.encrypt(snippet.content.toUtf8());
    if (!content)
        return std::unexpected(toSnippetError(content.error()));
    auto tags = m_encryptionService.encrypt(
        QJsonDocument(QJsonArray::fromStringList(snippet.tags)).toJson(QJsonDocument::Compact));
    if (!tags)
        return std::unexpected(toSnippetError(tags.error()));
    std::optional<QByteArray> group;
    if (snippet.group) {
        auto sealed = m_encryptionService.encrypt(snippet.group->toUtf8());
        if (!sealed)
            return std::unexpected(toSnippetError(sealed.error()));
        group = std::move(*sealed);
    }
    return SealedRow {.id = snippet.id,
        .title = std::move(*title),
        .content = std::move(*content),
        .tags = std::move(*tags),
        .group = std::move(group),
        .isFavorite = snippet.isFavorite,
        .createdAt = snippet.createdAt,
        .updatedAt = snippet.updatedAt,
        .usageCount = snippet.usageCount};
}

std::expected<void, SnippetError> SnippetTable::insertRow(const SealedRow &row)
{
    SqliteStatement statement(m_database.handle(),
        "INSERT OR REPLACE INTO snippets\n"
        "(id, encrypted_title, encrypted_content, encrypted_tags, encrypted_group, "
        "is_favorite, created_at, updated_at, usage_count)\n"
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    if (!statement.isValid()) {
        const QString message = statement.errorMessage();
        Log::write(u"insertSnippet prepare failed: "_s + message);
        return std::unexpected(StorageError {StorageError::Code::sqlitePrepareFailed, message});
    }
    statement.bindText(1, UuidText::toText(row.id));
    statement.bindBlob(2, row.title);
    statement.bindBlob(3, row.content);
    statement.bindBlob(4, row.tags);
    statement.bindBlob(5, row.group);
    statement.bindBool(6, row.isFavorite);
    statement.bindDouble(7, DateCoding::toSeconds(row.createdAt));
    statement.bindDouble(8, DateCoding::toSeconds(row.updatedAt));
    statement.bindInt64(9, row.usageCount);
    if (statement.step() != SQLITE_DONE) {
        Log::write(u"insertSnippet step failed: "_s + statement.errorMessage());
        return std::unexpected(StorageError {
            StorageError::Code::sqliteStepFailed, SqliteStatement::failureReason(m_database.handle())});
    }
    return {};
}

// Row by row and sorted here: an ORDER BY reads every row before the first
// comes back, updated_at lying after the content, so one broken row would
// empty the whole list.
SnippetRead SnippetTable::fetchSnippets()
{
    SnippetRead read;
    if (!m_database.isOpen()) {
        read.unread = UnreadRows::databaseNotOpen();
        return read;
    }
    SqliteStatement row(m_database.handle(),
        "SELECT id, encrypted_title, encrypted_content, encrypted_tags, encrypted_group, "
        "is_favorite, created_at, updated_at, usage_count FROM snippets WHERE rowid = ?");
    read.unread = RowByRowRead::read(m_database.handle(),
        {"SELECT rowid FROM snippets NOT INDEXED",
            "SELECT rowid FROM snippets INDEXED BY sqlite_autoindex_snippets_1"},
        row, 1, [this, &read](const SqliteStatement &statement) {
            if (auto snippet = snippetFromRow(statement))
                read.snippets.append(std::move(*snippet));
        });
    // Equal times in the order they were stored, as SQLite's own sort gave.
    std::ranges::stable_sort(read.snippets, std::greater {}, &Snippet::updatedAt);
    if (read.unread.any())
        Log::write(read.unread.logLine(u"fetchSnippets"_s));
    return read;
}

std::optional<Snippet> SnippetTable::snippetFromRow(const SqliteStatement &statement) const
{
    const std::optional<QString> idText = statement.columnText(0);
    const std::optional<QUuid> id = idText ? UuidText::parse(*idText) : std::nullopt;
    if (!id)
        return std::nullopt;
    const QByteArray sealedTitle = statement.columnBlob(1);
    const QByteArray sealedContent = statement.columnBlob(2);
    if (sealedTitle.isEmpty() || sealedContent.isEmpty())
        return std::nullopt;
    const auto titleBytes = m_encryptionService.decrypt(sealedTitle);
    const std::optional<QString> title = titleBytes ? Utf8Text::decode(*titleBytes) : std::nullopt;
    if (!title)
        return std::nullopt;
    const auto contentBytes = m_encryptionService.decrypt(sealedContent);
    const std::optional<QString> content = contentBytes ? Utf8Text::decode(*contentBytes) : std::nullopt;
    if (!content)
        return std::nullopt;

    Snippet snippet;
    snippet.id = *id;
    snippet.title = *title;
    snippet.content = *content;
    if (const QByteArray sealedTags = statement.columnBlob(3); !sealedTags.isEmpty()) {
        const auto tagBytes = m_encryptionService.decrypt(sealedTags);
        snippet.tags = (tagBytes ? tagsFromJson(*tagBytes) : std::nullopt).value_or(QStringList());
    }
    if (const QByteArray sealedGroup = statement.columnBlob(4); !sealedGroup.isEmpty()) {
        const auto groupBytes = m_encryptionService.decrypt(sealedGroup);
        snippet.group = groupBytes ? Utf8Text::decode(*groupBytes) : std::nullopt;
    }
    snippet.isFavorite = statement.columnInt64(5) != 0;
    snippet.createdAt = DateCoding::fromSeconds(statement.columnDouble(6));
    snippet.updatedAt = DateCoding::fromSeconds(statement.columnDouble(7));
    snippet.usageCount = statement.columnInt64(8);
    return snippet;
}

std::expected<bool, SnippetError> SnippetTable::incrementUsage(const QUuid &id)
{
    if (!m_encryptionService.isReady())
        return std::unexpected(EncryptionError::masterKeyUnavailable);
    SqliteStatement statement(
        m_database.handle(), "UPDATE snippets SET usage_count = usage_count + 1 WHERE id = ?");
    if (!statement.isValid()) {
        Log::write(u"SQL Error: "_s + statement.errorMessage());
        return std::unexpected(
            StorageError {StorageError::Code::sqlitePrepareFailed, statement.errorMessage()});
    }
    statement.bindText(1, UuidText::toText(id));
    if (statement.step() != SQLITE_DONE) {
        Log::write(u"SQL Error: "_s + statement.errorMessage());
        return std::unexpected(StorageError {StorageError::Code::sqliteStepFailed, statement.errorMessage()});
    }
    return sqlite3_changes64(m_database.handle()) > 0;
}

StorageOutcome SnippetTable::deleteSnippet(const QUuid &id)
{
    SqliteStatement statement(m_database.handle(), "DELETE FROM snippets WHERE id = ?");
    if (statement.isValid()) {
        statement.bindText(1, UuidText::toText(id));
        if (statement.step() == SQLITE_DONE) {
            // The row is gone once the delete is taken; a failed checkpoint
            // is only logged, as after the history's deletions.
            if (sqlite3_changes64(m_database.handle()) > 0)
                m_database.checkpoint();
            return {};
        }
    }
    Log::write(u"SQL Error: "_s + statement.errorMessage());
    return std::unexpected(m_database.lastFailure());
}
