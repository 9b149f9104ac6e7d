#pragma once

#include "backup/BackupFile.h"
#include "backup/BackupSealError.h"
#include "base/Clock.h"
#include "store/UnreadRows.h"

#include <QFuture>
#include <QString>

#include <expected>

class AppStateController;
class SettingsManager;

struct ExportCounts {
    qsizetype entries = 0;
    qsizetype snippets = 0;
    // History and snippet rows the database could not read, which the
    // file lacks.
    UnreadRows unread {};
    UnreadRows unreadSnippets {};

    bool operator==(const ExportCounts &other) const = default;
};

using ExportResult = std::expected<ExportCounts, BackupSealError>;

// Writes every history entry that opens and has no expiry time, the
// snippets, the excluded applications and the snippet folders into a backup
// file at destination, sealed under password, and audits the export. Rows
// the database cannot read are left out, counted, and left in place; a
// history or snippets it cannot list to their end give historyUnreadable or
// snippetsUnreadable, and no file.
// Locked at the start gives locked, a lock later lockedDuringBackup, and
// either no file; a failed write keeps the file that was there. A private
// session at the start is refused; one started later changes nothing in
// the file, which holds the database's history. Called on
// the main thread, where the future finishes; it ends canceled, without a
// result, if appState goes first.
QFuture<ExportResult> exportBackup(const QString &destination, const QString &password,
    AppStateController &appState, SettingsManager &settings, const Clock &clock = Clock::system(),
    qsizetype payloadLimit = BackupFile::payloadLimit);
