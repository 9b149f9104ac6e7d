#pragma once

#include "store/UnreadRows.h"

#include <QFuture>
#include <QString>

#include <expected>
#include <optional>

// The backup work the Backup section starts: writing the vault into a file
// and adding one back. A failure arrives as its user text. The work finishes
// even when the section that started it has gone.
class BackupOperations {
public:
    struct Written {
        qsizetype entries = 0;
        qsizetype snippets = 0;
        // History and snippet rows the database could not read, which the
        // file lacks.
        UnreadRows unread {};
        UnreadRows unreadSnippets {};
    };
    struct Restored {
        qsizetype entries = 0;
        qsizetype snippets = 0;
        // Left out on purpose.
        qsizetype skipped = 0;
        // Why less came in than the vault admits, and what the backup holds.
        struct CutShort {
            QString reason;
            qsizetype entriesInBackup = 0;
            qsizetype snippetsInBackup = 0;
        };
        std::optional<CutShort> cutShort {};
    };
    template<class T> using Outcome = std::expected<T, QString>;

    virtual ~BackupOperations() = default;

    virtual QFuture<Outcome<Written>> exportBackup(const QString &path, const QString &password) = 0;
    virtual QFuture<Outcome<Restored>> importBackup(const QString &path, const QString &password) = 0;
};
