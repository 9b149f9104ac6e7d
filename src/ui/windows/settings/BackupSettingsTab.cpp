#include "ui/windows/settings/BackupSettingsTab.h"

#include "app/AppStateController.h"
#include "backup/BackupError.h"
#include "base/WhenFinished.h"
#include "text/Graphemes.h"
#include "ui/windows/settings/BackupDialogs.h"
#include "ui/windows/settings/BackupOperations.h"

#include <array>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

QString counted(qsizetype count, const QString &one, const QString &many)
{
    return QString::number(count) + u' ' + (count == 1 ? one : many);
}

QString countsText(const QString &done, qsizetype entries, qsizetype snippets)
{
    return done + u' ' + counted(entries, u"item"_s, u"items"_s) + u" and "_s
        + counted(snippets, u"snippet"_s, u"snippets"_s) + u'.';
}

// The restore's section went with the window the lock closed: the user is
// told once the vault is open again, unless it is erased meanwhile, which
// takes what the restore wrote with it.
void tellOnceUnlocked(SettingsWindowContext &context, const QString &result)
{
    AppStateController &state = context.appState();
    if (state.showOnboarding())
        return;
    // Not from inside the unlock's own signal.
    const auto tell = [&context, result] {
        QMetaObject::invokeMethod(
            &context, [&context, result] { context.backupDialogs().showUnfinishedRestore(result); },
            Qt::QueuedConnection);
    };
    if (state.unlockedFromNow()())
        return tell();
    auto waiting = std::make_shared<std::array<QMetaObject::Connection, 2>>();
    const auto stopWaiting = [waiting] {
        for (const QMetaObject::Connection &connection : *waiting)
            QObject::disconnect(connection);
    };
    (*waiting)[0] = QObject::connect(
        &state, &AppStateController::isUnlockedChanged, &context, [stopWaiting, tell](bool unlocked) {
            if (unlocked) {
                stopWaiting();
                tell();
            }
        });
    (*waiting)[1] = QObject::connect(
        &state, &AppStateController::showOnboardingChanged, &context, [stopWaiting](bool shown) {
            if (shown)
                stopWaiting();
        });
}

} // namespace

BackupSettingsTab::BackupSettingsTab(QObject *parent) : QObject(parent)
{
}

void BackupSettingsTab::setContext(SettingsWindowContext *context)
{
    if (m_context || !context)
        return;
    m_context = context;
    emit contextChanged();
}

void BackupSettingsTab::setPassword(const QString &password)
{
    if (password == m_password)
        return;
    m_password = password;
    emit passwordChanged();
    emit validationChanged();
}

void BackupSettingsTab::setConfirm(const QString &confirm)
{
    if (confirm == m_confirm)
        return;
    m_confirm = confirm;
    emit confirmChanged();
    emit validationChanged();
}

QString BackupSettingsTab::validationMessage() const
{
    if (m_password.isEmpty())
        return {};
    if (Graphemes::count(m_password, minimumPasswordLength) < minimumPasswordLength)
        return u"Use at least %1 characters."_s.arg(minimumPasswordLength);
    if (m_confirm.isEmpty() || m_confirm == m_password)
        return {};
    return u"The passwords don't match."_s;
}

bool BackupSettingsTab::canCreate() const
{
    return !m_isWorking && m_confirm == m_password
        && Graphemes::count(m_password, minimumPasswordLength) == minimumPasswordLength;
}

bool BackupSettingsTab::refusedInPrivateSession()
{
    if (!m_context->appState().isSecureModeActive())
        return false;
    setResult(description(BackupError {BackupError::privateSession}), true);
    return true;
}

void BackupSettingsTab::backUp()
{
    if (!m_context || !canCreate() || refusedInPrivateSession())
        return;
    const QPointer<BackupSettingsTab> self(this);
    const std::optional<QString> path
        = m_context->backupDialogs().chooseDestination(suggestedFileName(QDate::currentDate()));
    // The window may have closed under the dialog.
    if (!self || !m_context || !path || path->isEmpty())
        return;
    const QString password = m_password;
    setWorking(true);
    setResult({}, false);
    whenFinished(this, m_context->backupOperations().exportBackup(*path, password),
        [this](const BackupOperations::Outcome<BackupOperations::Written> &written) {
            if (written) {
                setPassword({});
                setConfirm({});
                setResult(backedUpText(written->entries, written->snippets), false);
            } else {
                setResult(written.error(), true);
            }
            setWorking(false);
        });
}

void BackupSettingsTab::restore()
{
    if (!m_context || m_isWorking || refusedInPrivateSession())
        return;
    const QPointer<BackupSettingsTab> self(this);
    BackupDialogs &dialogs = m_context->backupDialogs();
    const std::optional<QString> path = dialogs.chooseBackup();
    if (!self || !m_context || !path || path->isEmpty())
        return;
    const std::optional<QString> password = dialogs.askBackupPassword(*path);
    if (!self || !m_context || !password || password->isEmpty())
        return;
    setWorking(true);
    setResult({}, false);
    SettingsWindowContext *context = m_context;
    const std::function<bool()> unlocked = context->appState().unlockedFromNow();
    whenFinished(context, context->backupOperations().importBackup(*path, *password),
        [self, context, unlocked, wasUnlocked = unlocked()](
            const BackupOperations::Outcome<BackupOperations::Restored> &restored) {
            const QString result = restored ? restoredText(*restored) : restored.error();
            const bool isError = !restored || restored->cutShort;
            if (self) {
                self->setResult(result, isError);
                self->setWorking(false);
            }
            if (isError && wasUnlocked && !unlocked())
                tellOnceUnlocked(*context, result);
        });
}

void BackupSettingsTab::setWorking(bool working)
{
    if (working == m_isWorking)
        return;
    m_isWorking = working;
    emit isWorkingChanged();
    emit validationChanged();
}

void BackupSettingsTab::setResult(const QString &result, bool isError)
{
    if (result == m_result && result.isNull() == m_result.isNull() && isError == m_resultIsError)
        return;
    m_result = result;
    m_resultIsError = isError;
    emit resultChanged();
}

QString BackupSettingsTab::suggestedFileName(QDate date)
{
    return u"Vantorell Backup "_s + date.toString(u"yyyy-MM-dd") + u".vtbackup"_s;
}

QString BackupSettingsTab::backedUpText(qsizetype entries, qsizetype snippets)
{
    return countsText(u"Backed up"_s, entries, snippets);
}

QString BackupSettingsTab::restoredText(const BackupOperations::Restored &restored)
{
    const std::optional<BackupOperations::Restored::CutShort> &cutShort = restored.cutShort;
    QString text = !cutShort ? countsText(u"Restored"_s, restored.entries, restored.snippets)
                             : u"Restored %1 of %2 and %3 of %4."_s.arg(restored.entries)
                                   .arg(counted(cutShort->entriesInBackup, u"item"_s, u"items"_s))
                                   .arg(restored.snippets)
                                   .arg(counted(cutShort->snippetsInBackup, u"snippet"_s, u"snippets"_s));
    // The same wording for every number, one included.
    if (restored.skipped > 0)
        text += u' ' + QString::number(restored.skipped) + u" older items were skipped."_s;
    if (cutShort)
        text += u' ' + cutShort->reason + u" Restore the same file again to add the rest."_s;
    return text;
}
