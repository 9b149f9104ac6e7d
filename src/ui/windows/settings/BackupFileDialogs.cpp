#include "ui/windows/settings/BackupFileDialogs.h"

#include "platform/OpenDialogs.h"
#include "ui/windows/FieldPrompt.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

using namespace Qt::StringLiterals;

namespace {

const QString backupFilter = u"Vantorell Backup (*.vtbackup)"_s;

std::optional<QString> chosenFile(QFileDialog &dialog)
{
    if (!OpenDialogs::accepted(dialog) || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace

std::optional<QString> BackupFileDialogs::chooseDestination(const QString &suggestedName)
{
    QFileDialog dialog(nullptr, u"Save Vantorell Backup"_s, QDir::homePath(), backupFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // A bare name gets the extension the restore's filter looks for.
    dialog.setDefaultSuffix(u"vtbackup"_s);
    dialog.selectFile(suggestedName);
    return chosenFile(dialog);
}

std::optional<QString> BackupFileDialogs::chooseBackup()
{
    QFileDialog dialog(nullptr, u"Choose a Vantorell Backup"_s, QDir::homePath(), backupFilter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return chosenFile(dialog);
}

std::optional<QString> BackupFileDialogs::askBackupPassword(const QString &path)
{
    const QString message = u"Enter the backup password"_s;
    return FieldPrompt {.windowTitle = u"Vantorell"_s,
        .message = message,
        .note = QFileInfo(path).fileName(),
        .acceptTitle = u"Restore"_s,
        .accessibleName = message,
        .fieldWidth = 260,
        .secret = true}
        .ask();
}

void BackupFileDialogs::showUnfinished(const QString &heading, const QString &result)
{
    QMessageBox box;
    box.setWindowTitle(u"Vantorell"_s);
    box.setIcon(QMessageBox::Warning);
    box.setText(heading);
    box.setInformativeText(result);
    box.setStandardButtons(QMessageBox::Ok);
    OpenDialogs::run(box);
}
