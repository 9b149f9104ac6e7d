#pragma once

#include <QString>

#include <expected>

// Failures of the store that reach a caller.
struct StorageError {
    enum class Code {
        sqlitePrepareFailed,
        sqliteStepFailed,
        // The database could not read what it holds.
        sqliteReadFailed,
        databaseNotOpen,
        exportFailed,
        // A private session keeps the history in memory: nothing went to the
        // database.
        memoryOnly,
        // A file of the database stayed on disk: detail names it and says why.
        fileNotRemoved,
        // The database did not open or could not hold the history: detail
        // names the file and says why.
        openFailed,
    };

    Code code;
    // SQLite's message, where there is one.
    QString detail {};

    bool operator==(const StorageError &other) const = default;
};

QString description(const StorageError &error);

// What a change of stored rows came to: done, or why the database did not
// take it.
using StorageOutcome = std::expected<void, StorageError>;
