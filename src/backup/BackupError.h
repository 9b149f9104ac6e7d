#pragma once

#include <QString>

// The failures of backup work, each with its user text.
struct BackupError {
    enum Code {
        writeFailed,
        locked,
        privateSession,
        notABackup,
        newerVersion,
        wrongPassword,
        damaged,
        // A restore's vault locked, or was erased, before the restore ended.
        interrupted,
        // A private session, whose history the database does not hold,
        // started before a restore ended.
        privateSessionStarted,
        // The vault locked before a backup was written.
        lockedDuringBackup,
        // The vault did not take some of what a restore brought.
        storeFailed,
        // The database could not list its history, or its snippets, past
        // a point: what a backup would leave out is not known.
        historyUnreadable,
        snippetsUnreadable,
    };

    Code code;
    // What went wrong, for writeFailed, storeFailed and the two unreadable.
    QString detail {};

    static BackupError failedToWrite(QString detail) { return {writeFailed, std::move(detail)}; }
    static BackupError failedToStore(QString detail) { return {storeFailed, std::move(detail)}; }
    static BackupError unreadableHistory(QString detail) { return {historyUnreadable, std::move(detail)}; }
    static BackupError unreadableSnippets(QString detail) { return {snippetsUnreadable, std::move(detail)}; }

    bool operator==(const BackupError &other) const = default;
};

QString description(const BackupError &error);
