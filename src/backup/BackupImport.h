#pragma once

#include "backup/BackupError.h"
#include "backup/BackupFile.h"
#include "base/Clock.h"

#include <QFuture>
#include <QString>

#include <expected>
#include <optional>

class AppStateController;
class SettingsManager;

// Why an import brought in less than the vault admits, and how much the
// backup holds.
struct ImportShortfall {
    BackupError reason;
    qsizetype entriesInBackup = 0;
    qsizetype snippetsInBackup = 0;

    bool operator==(const ImportShortfall &other) const = default;
};

struct ImportCounts {
    qsizetype entriesImported = 0;
    qsizetype snippetsImported = 0;
    // Left out on purpose: past the retention or the history limit, or a
    // repeated id.
    qsizetype entriesSkipped = 0;
    // None when all the vault admits came in.
    std::optional<ImportShortfall> cutShort {};

    bool operator==(const ImportCounts &other) const = default;
};

using ImportResult = std::expected<ImportCounts, BackupError>;

// Adds what the backup file at source holds to the vault: history entries
// newest first within the history limit and retention (pinned and starred
// ones always, a known id replacing its entry), snippets, excluded
// applications and snippet folders; then reloads the history and snippets
// unless the vault locked meanwhile. Deletes nothing. Belongs to the vault
// unlocked when it starts: once that one locks, or is erased, it writes
// nothing more and ends cut short (interrupted); so too once a private
// session starts (privateSessionStarted), as nothing it would write then
// stays. An entry or snippet the vault does not take is passed over, and
// the first reason ends up in cutShort. Called on the main thread, where
// the future finishes; it ends canceled, without a result, if appState goes
// first.
QFuture<ImportResult> importBackup(const QString &source, const QString &password,
    AppStateController &appState, SettingsManager &settings, const Clock &clock = Clock::system(),
    qsizetype payloadLimit = BackupFile::payloadLimit);
