#include "ui/windows/settings/VaultBackupOperations.h"

#include "app/AppStateController.h"
#include "backup/BackupExport.h"
#include "backup/BackupImport.h"
#include "base/WhenFinished.h"

#include <QPromise>

#include <memory>

namespace {

// The work's own result, turned into the section's; none when the work ends
// without one.
template<class T, class Source, class Convert>
QFuture<T> passOn(QObject *context, QFuture<Source> source, Convert convert)
{
    auto promise = std::make_shared<QPromise<T>>();
    promise->start();
    whenFinished(context, source, [promise, convert](const Source &result) {
        promise->addResult(convert(result));
        promise->finish();
    });
    return promise->future();
}

} // namespace

VaultBackupOperations::VaultBackupOperations(AppStateController &appState, SettingsManager &settings)
    : m_appState(appState), m_settings(settings)
{
}

auto VaultBackupOperations::exportBackup(const QString &path, const QString &password)
    -> QFuture<Outcome<Written>>
{
    return passOn<Outcome<Written>>(&m_appState, ::exportBackup(path, password, m_appState, m_settings),
        [](const ExportResult &result) -> Outcome<Written> {
            if (!result)
                return std::unexpected(description(result.error()));
            return Written {result->entries, result->snippets, result->unread, result->unreadSnippets};
        });
}

auto VaultBackupOperations::importBackup(const QString &path, const QString &password)
    -> QFuture<Outcome<Restored>>
{
    return passOn<Outcome<Restored>>(&m_appState, ::importBackup(path, password, m_appState, m_settings),
        [](const ImportResult &result) -> Outcome<Restored> {
            if (!result)
                return std::unexpected(description(result.error()));
            Restored restored {result->entriesImported, result->snippetsImported, result->entriesSkipped};
            if (const std::optional<ImportShortfall> &cutShort = result->cutShort)
                restored.cutShort = Restored::CutShort {
                    description(cutShort->reason), cutShort->entriesInBackup, cutShort->snippetsInBackup};
            return restored;
        });
}
