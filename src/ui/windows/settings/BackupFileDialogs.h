#pragma once

#include "ui/windows/settings/BackupDialogs.h"

// The desktop's file dialogs, filtered to backup files, a modal password
// prompt naming the chosen file, and a modal alert.
class BackupFileDialogs final : public BackupDialogs {
public:
    std::optional<QString> chooseDestination(const QString &suggestedName) override;
    std::optional<QString> chooseBackup() override;
    std::optional<QString> askBackupPassword(const QString &path) override;
    void showUnfinished(const QString &heading, const QString &result) override;
};
