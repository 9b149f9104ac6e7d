#include "store/StoreDatabase.h"

#include "base/Log.h"
#include "base/PrivateFiles.h"
#include "store/SqliteStatement.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <optional>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

const QString createEntries = u"CREATE TABLE IF NOT EXISTS clipboard_entries (\n"
                              "    id TEXT PRIMARY KEY,\n"
                              "    content_type TEXT NOT NULL,\n"
                              "    created_at REAL NOT NULL,\n"
                              "    is_favorite INTEGER DEFAULT 0,\n"
                              "    is_pinned INTEGER DEFAULT 0,\n"
                              "    source_app TEXT,\n"
                              "    encrypted_content BLOB NOT NULL,\n"
                              "    encrypted_preview BLOB,\n"
                              "    encrypted_search_text BLOB,\n"
                              "    is_sensitive INTEGER DEFAULT 0,\n"
                              "    expires_at REAL,\n"
                              "    encrypted_rich BLOB\n"
                              ")"_s;

const QString createSnippets = u"CREATE TABLE IF NOT EXISTS snippets (\n"
                               "    id TEXT PRIMARY KEY,\n"
                               "    encrypted_title BLOB NOT NULL,\n"
                               "    encrypted_content BLOB NOT NULL,\n"
                               "    encrypted_tags BLOB,\n"
                               "    encrypted_group BLOB,\n"
                               "    is_favorite INTEGER DEFAULT 0,\n"
                               "    created_at REAL NOT NULL,\n"
                               "    updated_at REAL NOT NULL,\n"
                               "    usage_count INTEGER DEFAULT 0\n"
                               ")"_s;

const QString createAuditLog = u"CREATE TABLE IF NOT EXISTS audit_log (\n"
                               "    id TEXT PRIMARY KEY,\n"
                               "    timestamp REAL NOT NULL,\n"
                               "    event_type TEXT NOT NULL,\n"
                               "    detail TEXT\n"
                               ")"_s;

const QString createIndex
    = u"CREATE INDEX IF NOT EXISTS idx_entries_created ON clipboard_entries(created_at DESC)"_s;

struct Migration {
    QString table;
    QString column;
    QString type;
};

// Columns that files of earlier versions lack, in the order they came.
const Migration migrations[] = {
    {u"snippets"_s, u"encrypted_group"_s, u"BLOB"_s},
    {u"snippets"_s, u"encrypted_tags"_s, u"BLOB"_s},
    {u"clipboard_entries"_s, u"encrypted_search_text"_s, u"BLOB"_s},
    {u"clipboard_entries"_s, u"is_pinned"_s, u"INTEGER DEFAULT 0"_s},
    {u"clipboard_entries"_s, u"is_sensitive"_s, u"INTEGER DEFAULT 0"_s},
    {u"clipboard_entries"_s, u"expires_at"_s, u"REAL"_s},
    {u"clipboard_entries"_s, u"encrypted_rich"_s, u"BLOB"_s},
};

} // namespace

StoreDatabase::~StoreDatabase()
{
    closeDatabase();
}

QString StoreDatabase::databaseURL()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    PrivateFiles::makeFolder(folder);
    return QDir(folder).filePath(u"vantorell.db"_s);
}

StorageOutcome StoreDatabase::openDatabase(const QString &path)
{
    closeHandle();
    m_path = path;
    // Only the store's worker uses the connection, so SQLite need not lock
    // it around every call (a seventh of a history load's time).
    const int result = sqlite3_open_v2(path.toUtf8().constData(), &m_db,
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (result != SQLITE_OK)
        return refuseOpen(
            m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(result)));
    // SQLite gives the -wal and -shm files it creates the database's mode;
    // ones left by an earlier version keep theirs.
    for (const QString &suffix : {QString(), u"-wal"_s, u"-shm"_s})
        PrivateFiles::restrictFile(path + suffix);
    execute(u"PRAGMA journal_mode=WAL"_s);
    execute(u"PRAGMA secure_delete=ON"_s);
    // The history is read in one pass, which a larger page cache does not
    // speed up; SQLite's default of 2 MB would stay allocated for nothing.
    execute(u"PRAGMA cache_size=-256"_s);
    // SQLite reads the file only when a statement needs it: one that is no
    // database, or a new one that cannot be written, fails here.
    if (!execute(createEntries))
        return refuseOpen(QString::fromUtf8(sqlite3_errmsg(m_db)));
    execute(createSnippets);
    execute(createAuditLog);
    execute(createIndex);
    migrateSchema();
    Log::write(u"Database opened at: "_s + path);
    return {};
}

StorageOutcome StoreDatabase::refuseOpen(const QString &reason)
{
    Log::write(u"Failed to open database: "_s + reason);
    closeHandle();
    return std::unexpected(
        StorageError {StorageError::Code::openFailed, QDir::toNativeSeparators(m_path) + u": "_s + reason});
}

void StoreDatabase::closeDatabase()
{
    closeHandle();
    m_path.clear();
}

void StoreDatabase::closeHandle()
{
    if (!m_db)
        return;
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}

StorageOutcome StoreDatabase::replaceWithEmpty()
{
    const QString path = m_path;
    if (path.isEmpty())
        return std::unexpected(StorageError {StorageError::Code::databaseNotOpen});
    Log::write(u"Replacing the database with a new empty one"_s);
    closeHandle();
    // The database first: while it stays, its log holds its latest writes.
    std::optional<StorageError> kept;
    for (const QString &suffix : {QString(), u"-wal"_s, u"-shm"_s}) {
        QFile file(path + suffix);
        if (!file.exists() || file.remove())
            continue;
        kept = StorageError {StorageError::Code::fileNotRemoved,
            QDir::toNativeSeparators(file.fileName()) + u": "_s + file.errorString()};
        Log::write(description(*kept));
        break;
    }
    if (!kept)
        return openDatabase(path);
    // A new database would take in a log the old one left.
    if (QFile::exists(path))
        (void)openDatabase(path);
    return std::unexpected(*kept);
}

bool StoreDatabase::execute(const QString &sql)
{
    if (!m_db)
        return false;
    char *message = nullptr;
    const int result = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message);
    if (result == SQLITE_OK)
        return true;
    if (message) {
        Log::write(u"SQL Error: "_s + QString::fromUtf8(message));
        sqlite3_free(message);
    }
    return false;
}

StorageError StoreDatabase::lastFailure() const
{
    if (!m_db)
        return {StorageError::Code::databaseNotOpen};
    return {StorageError::Code::sqliteStepFailed, SqliteStatement::failureReason(m_db)};
}

bool StoreDatabase::columnExists(const QString &table, const QString &column)
{
    SqliteStatement statement(m_db, (u"PRAGMA table_info("_s + table + u')').toUtf8().constData());
    if (!statement.isValid())
        return false;
    while (statement.step() == SQLITE_ROW) {
        if (statement.columnText(1) == column)
            return true;
    }
    return false;
}

void StoreDatabase::addColumnIfMissing(const QString &table, const QString &column, const QString &type)
{
    if (columnExists(table, column))
        return;
    if (execute(u"ALTER TABLE "_s + table + u" ADD COLUMN "_s + column + u' ' + type))
        Log::write(u"Schema migration: added '"_s + column + u"' to '"_s + table + u'\'');
}

void StoreDatabase::migrateSchema()
{
    for (const Migration &migration : migrations)
        addColumnIfMissing(migration.table, migration.column, migration.type);
}

qint64 StoreDatabase::totalChanges() const
{
    return m_db ? sqlite3_total_changes64(m_db) : 0;
}

bool StoreDatabase::checkpoint()
{
    if (!m_db)
        return false;
    const int result = sqlite3_wal_checkpoint_v2(m_db, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    if (result == SQLITE_OK)
        return true;
    Log::write(u"SQL Error: "_s + QString::fromUtf8(sqlite3_errmsg(m_db)));
    return false;
}
