#pragma once

#include "ui/windows/settings/BackupOperations.h"

class AppStateController;
class SettingsManager;

// The Backup section's work done on the vault: the history, snippets,
// excluded applications and folders of the running application.
class VaultBackupOperations final : public BackupOperations {
public:
    VaultBackupOperations(AppStateController &appState, SettingsManager &settings);

    QFuture<Outcome<Written>> exportBackup(const QString &path, const QString &password) override;
    QFuture<Outcome<Restored>> importBackup(const QString &path, const QString &password) override;

private:
    AppStateController &m_appState;
    SettingsManager &m_settings;
};
