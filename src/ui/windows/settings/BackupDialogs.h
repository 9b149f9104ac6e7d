#pragma once

#include <QString>

#include <optional>

// What the Backup section asks the user: where to save a backup, which one
// to restore, and that file's password; nothing when the user cancels. And
// what it tells when its window has gone.
class BackupDialogs {
public:
    virtual ~BackupDialogs() = default;

    virtual std::optional<QString> chooseDestination(const QString &suggestedName) = 0;
    virtual std::optional<QString> chooseBackup() = 0;
    // The text as typed, also when empty.
    virtual std::optional<QString> askBackupPassword(const QString &path) = 0;
    // The outcome of a backup or restore that did not finish, under a
    // heading that says which; returns once read.
    virtual void showUnfinished(const QString &heading, const QString &result) = 0;
};
