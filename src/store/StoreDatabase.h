#pragma once

#include "store/StorageError.h"

#include <QString>

struct sqlite3;

// The store's SQLite connection: where the file lives, opening with the
// schema and its column migrations, one-shot statements and the WAL
// checkpoint that follows secure deletions. Used from the store's executor
// only.
class StoreDatabase final {
    Q_DISABLE_COPY(StoreDatabase)

public:
    StoreDatabase() = default;
    ~StoreDatabase();

    // vantorell.db in the application's data folder, which is created on
    // the way and kept to this user.
    static QString databaseURL();

    // Opens or creates the file at path, keeps it and its companions to
    // this user, then configures, creates and migrates the schema. A failed
    // open leaves the database closed. Refused (openFailed) when the file
    // does not open or cannot hold the history (it is no database, say).
    [[nodiscard]] StorageOutcome openDatabase(const QString &path);
    void closeDatabase();
    bool isOpen() const { return m_db != nullptr; }
    sqlite3 *handle() const { return m_db; }
    // Closes the database, removes its file with the -wal and -shm files,
    // which needs no room, and opens a new empty one at the same path: an
    // erase the database itself refused. Why a file of the old one stays,
    // when one does; the old database is then open again, as long as its
    // own file stayed. Once every file went, why the new one did not open
    // (openFailed), when it did not. Refused (databaseNotOpen) after a close.
    [[nodiscard]] StorageOutcome replaceWithEmpty();

    // Runs sql (possibly several statements); logs SQLite's message on
    // failure.
    bool execute(const QString &sql);
    // Why the connection's last statement failed, read before a rollback
    // replaces it.
    StorageError lastFailure() const;

    bool columnExists(const QString &table, const QString &column);
    void addColumnIfMissing(const QString &table, const QString &column, const QString &type);
    void migrateSchema();

    // Rows changed by every statement so far on this connection.
    qint64 totalChanges() const;

    // Moves the log into the file and truncates it, so that nothing a
    // secure deletion overwrote stays readable in the -wal file.
    bool checkpoint();

private:
    void closeHandle();
    // Logs why the file at the open's path cannot serve and closes it.
    [[nodiscard]] StorageOutcome refuseOpen(const QString &reason);

    sqlite3 *m_db = nullptr;
    // The file of the last open, failed or not, until a close.
    QString m_path;
};
