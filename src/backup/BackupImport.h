#pragma once

#include "backup/BackupError.h"
#include "backup/BackupFile.h"
#include "base/Clock.h"

#include <QFuture>
#include <QString>

#include <expected>

class AppStateController;
class SettingsManager;

struct ImportCounts {
    qsizetype entriesImported = 0;
    qsizetype snippetsImported = 0;
    qsizetype entriesSkipped = 0;

    bool operator==(const ImportCounts &other) const = default;
};

using ImportResult = std::expected<ImportCounts, BackupError>;

// Adds what the backup file at source holds to the vault: history entries
// newest first within the history limit and retention (pinned and starred
// ones always, a known id replacing its entry), snippets, excluded
// applications and snippet folders; then reloads the history and snippets
// unless the vault locked meanwhile. Deletes nothing. Called on the main
// thread, where the future finishes; it ends canceled, without a result, if
// appState goes first.
QFuture<ImportResult> importBackup(const QString &source, const QString &password,
    AppStateController &appState, SettingsManager &settings, const Clock &clock = Clock::system(),
    qsizetype payloadLimit = BackupFile::payloadLimit);
