#include "ui/windows/settings/GeneralSettingsTab.h"

#include "paste/AutoPaste.h"
#include "platform/ShortcutNames.h"
#include "platform/Workspace.h"
#include "settings/SettingsManager.h"
#include "ui/windows/settings/SettingsWindowContext.h"
#include "update/AppVersion.h"
#include "update/UpdateChecker.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

const QString defaultHotkey = u"⌘⇧V"_s;

} // namespace

GeneralSettingsTab::GeneralSettingsTab(QObject *parent) : QObject(parent)
{
    m_permissionTimer.setInterval(permissionInterval);
    m_permissionTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_permissionTimer, &QTimer::timeout, this, &GeneralSettingsTab::refreshPastePermission);
}

void GeneralSettingsTab::setContext(SettingsWindowContext *context)
{
    if (m_context || !context)
        return;
    m_context = context;
    SettingsManager &settings = context->settings();
    UpdateChecker &updates = context->updateChecker();
    connect(&settings, &SettingsManager::autoPasteChanged, this, &GeneralSettingsTab::behaviourStateChanged);
    connect(
        &updates, &UpdateChecker::updateAvailableChanged, this, &GeneralSettingsTab::showsDownloadChanged);
    connect(
        &updates, &UpdateChecker::updateDownloadURLChanged, this, &GeneralSettingsTab::showsDownloadChanged);
    // Shown: the toggle and the note as the desktop has them now, without
    // sending the user anywhere.
    settings.refreshLoginItemNote(false);
    refreshPastePermission();
    m_permissionTimer.start();
    emit contextChanged();
    emit behaviourStateChanged();
    emit showsDownloadChanged();
}

void GeneralSettingsTab::refreshPastePermission()
{
    const bool permitted = m_context->autoPaste().hasPastePermission();
    if (permitted == m_hasPastePermission)
        return;
    m_hasPastePermission = permitted;
    emit hasPastePermissionChanged();
    emit behaviourStateChanged();
}

GeneralSettingsTab::BehaviourState GeneralSettingsTab::behaviourState() const
{
    if (!m_context || !m_context->settings().autoPaste())
        return BehaviourState::CopiesOnly;
    return m_hasPastePermission ? BehaviourState::PasteAllowed : BehaviourState::PermissionMissing;
}

QString GeneralSettingsTab::versionText()
{
    return u"v"_s + appVersion();
}

QString GeneralSettingsTab::resetHelp()
{
    return u"Reset to "_s + ShortcutNames::shown(defaultHotkey);
}

bool GeneralSettingsTab::showsDownload() const
{
    if (!m_context || !m_context->updateChecker().updateAvailable())
        return false;
    const QString address = m_context->updateChecker().updateDownloadURL();
    return !address.isEmpty() && QUrl(address, QUrl::StrictMode).isValid();
}

void GeneralSettingsTab::resetHotkey()
{
    SettingsManager &settings = m_context->settings();
    settings.setHotkeyKeyCode(9);
    settings.setHotkeyModifiers(0x120000);
    settings.setGlobalHotkey(defaultHotkey);
}

void GeneralSettingsTab::openAccessibilitySettings()
{
    m_context->autoPaste().openAccessibilitySettings();
}

void GeneralSettingsTab::checkForUpdates()
{
    m_context->updateChecker().checkForUpdatesManually();
}

void GeneralSettingsTab::openDownload()
{
    if (showsDownload())
        m_context->workspace().openURL(
            QUrl(m_context->updateChecker().updateDownloadURL(), QUrl::StrictMode));
}
