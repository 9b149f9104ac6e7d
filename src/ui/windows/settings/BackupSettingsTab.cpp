#include "ui/windows/settings/BackupSettingsTab.h"

#include "app/AppStateController.h"
#include "backup/BackupError.h"
#include "text/Graphemes.h"
#include "ui/windows/settings/BackupDialogs.h"
#include "ui/windows/settings/BackupWork.h"

using namespace Qt::StringLiterals;

BackupSettingsTab::BackupSettingsTab(QObject *parent) : QObject(parent)
{
}

void BackupSettingsTab::setContext(SettingsWindowContext *context)
{
    if (m_context || !context)
        return;
    m_context = context;
    const BackupWork &work = context->backupWork();
    connect(&work, &BackupWork::isWorkingChanged, this, &BackupSettingsTab::workingChanged);
    connect(&work, &BackupWork::ended, this, [this] {
        if (m_isShown)
            showOutcome();
    });
    emit contextChanged();
    // Made to be shown: it tells what ended while no section was.
    showOutcome();
    if (work.isWorking())
        workingChanged();
}

void BackupSettingsTab::setShown(bool shown)
{
    if (shown == m_isShown)
        return;
    m_isShown = shown;
    emit shownChanged();
    if (shown && m_context)
        showOutcome();
}

bool BackupSettingsTab::isWorking() const
{
    return m_context && m_context->backupWork().isWorking();
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
    return !isWorking() && m_confirm == m_password
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
    // The window may have closed under the dialog, or another window's
    // section started work.
    if (!self || !m_context || !path || path->isEmpty() || isWorking())
        return;
    setResult({}, false);
    m_context->backupWork().backUp(*path, m_password);
}

void BackupSettingsTab::restore()
{
    if (!m_context || isWorking() || refusedInPrivateSession())
        return;
    const QPointer<BackupSettingsTab> self(this);
    BackupDialogs &dialogs = m_context->backupDialogs();
    const std::optional<QString> path = dialogs.chooseBackup();
    if (!self || !m_context || !path || path->isEmpty())
        return;
    const std::optional<QString> password = dialogs.askBackupPassword(*path);
    if (!self || !m_context || !password || password->isEmpty() || isWorking())
        return;
    setResult({}, false);
    m_context->backupWork().restore(*path, *password);
}

void BackupSettingsTab::workingChanged()
{
    emit isWorkingChanged();
    emit validationChanged();
}

void BackupSettingsTab::showOutcome()
{
    const std::optional<BackupWork::Outcome> outcome = m_context->backupWork().takeOutcome();
    if (!outcome)
        return;
    if (outcome->written) {
        setPassword({});
        setConfirm({});
    }
    setResult(outcome->text, outcome->isError);
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
