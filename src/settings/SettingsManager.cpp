#include "settings/SettingsManager.h"

#include "base/Log.h"
#include "platform/DockPresence.h"
#include "platform/LoginItem.h"

#include <QJsonArray>
#include <QJsonDocument>

using namespace Qt::StringLiterals;

namespace {

QVariant integer(qint64 value)
{
    return QVariant::fromValue(value);
}

// Every stored setting: key, kind and the value a missing or mistyped key
// reads as.
namespace Stored {
const SettingDefinition autoLockTimeout {
    u"settings.security.autoLockTimeout"_s, SettingKind::integer, integer(0)};
const SettingDefinition lockOnSleep {u"settings.security.lockOnSleep"_s, SettingKind::boolean, false};
const SettingDefinition requirePasscode {u"settings.security.requirePasscode"_s, SettingKind::boolean, false};
const SettingDefinition useBiometrics {u"settings.security.useBiometrics"_s, SettingKind::boolean, false};
const SettingDefinition skipPasswordFields {
    u"settings.security.skipPasswordFields"_s, SettingKind::boolean, false};
const SettingDefinition detectSecrets {u"settings.security.detectSecrets"_s, SettingKind::boolean, true};
const SettingDefinition secretHandling {u"settings.security.secretHandling"_s, SettingKind::text, u"lock"_s};
const SettingDefinition sensitiveExpiryMinutes {
    u"settings.security.sensitiveExpiryMinutes"_s, SettingKind::integer, integer(0)};
const SettingDefinition sanitizeURLs {u"settings.security.sanitizeURLs"_s, SettingKind::boolean, true};
const SettingDefinition maxHistoryCount {
    u"settings.clipboard.maxHistoryCount"_s, SettingKind::integer, integer(500)};
const SettingDefinition retentionHours {
    u"settings.clipboard.retentionHours"_s, SettingKind::integer, integer(720)};
const SettingDefinition captureImages {u"settings.clipboard.captureImages"_s, SettingKind::boolean, true};
const SettingDefinition recognizeTextInImages {
    u"settings.clipboard.recognizeTextInImages"_s, SettingKind::boolean, true};
// The default is defaultExcludedApps().
const SettingDefinition excludedApps {u"settings.clipboard.excludedApps"_s, SettingKind::data, {}};
// Written for the record only: the login item itself says whether it is on.
const SettingDefinition launchAtLogin {u"settings.general.launchAtLogin"_s, SettingKind::boolean, false};
const SettingDefinition showInDock {u"settings.general.showInDock"_s, SettingKind::boolean, false};
const SettingDefinition playSounds {u"settings.general.playSounds"_s, SettingKind::boolean, false};
const SettingDefinition autoPaste {u"settings.general.autoPaste"_s, SettingKind::boolean, true};
const SettingDefinition globalHotkey {u"settings.general.globalHotkey"_s, SettingKind::text, u"⌘⇧V"_s};
// The V key, and command with shift.
const SettingDefinition hotkeyKeyCode {u"settings.general.hotkeyKeyCode"_s, SettingKind::integer, integer(9)};
const SettingDefinition hotkeyModifiers {
    u"settings.general.hotkeyModifiers"_s, SettingKind::integer, integer(0x120000)};
const SettingDefinition menubarIconName {
    u"settings.appearance.menubarIconName"_s, SettingKind::text, u"doc.on.clipboard"_s};
const SettingDefinition menuItemsPerFolder {
    u"settings.appearance.menuItemsPerFolder"_s, SettingKind::integer, integer(50)};
const SettingDefinition snippetFolders {
    u"settings.snippets.folders"_s, SettingKind::textList, QStringList {}};
// True once the default excluded applications were merged into the list.
const SettingDefinition excludedDefaultsMerged {
    u"settings.clipboard.excludedDefaultsV2"_s, SettingKind::boolean, false};
} // namespace Stored

const QString approvalNote = u"Allow Vantorell in System Settings → General → Login Items."_s;

std::optional<QList<ExcludedApp>> decodeExcludedApps(const QByteArray &data)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    QList<ExcludedApp> apps;
    const QJsonArray array = document.array();
    for (const QJsonValue &element : array) {
        const auto app = ExcludedApp::fromJson(element);
        if (!app)
            return std::nullopt;
        apps.append(*app);
    }
    return apps;
}

QByteArray encodeExcludedApps(const QList<ExcludedApp> &apps)
{
    QJsonArray array;
    for (const ExcludedApp &app : apps)
        array.append(app.toJson());
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

} // namespace

SettingsManager::SettingsManager(
    const QString &settingsFile, LoginItem &loginItem, DockPresence &dockPresence, QObject *parent)
    : QObject(parent), m_settings(settingsFile), m_loginItem(loginItem), m_dockPresence(dockPresence)
{
    m_autoLockTimeout = m_settings.value(Stored::autoLockTimeout).toLongLong();
    m_lockOnSleep = m_settings.value(Stored::lockOnSleep).toBool();
    m_requirePasscode = m_settings.value(Stored::requirePasscode).toBool();
    m_useBiometrics = m_settings.value(Stored::useBiometrics).toBool();
    m_skipPasswordFields = m_settings.value(Stored::skipPasswordFields).toBool();
    m_detectSecrets = m_settings.value(Stored::detectSecrets).toBool();
    m_secretHandling = secretHandlingFromRawValue(m_settings.value(Stored::secretHandling).toString())
                           .value_or(SecretHandling::lock);
    m_sensitiveExpiryMinutes = m_settings.value(Stored::sensitiveExpiryMinutes).toLongLong();
    m_sanitizeURLs = m_settings.value(Stored::sanitizeURLs).toBool();
    m_maxHistoryCount = m_settings.value(Stored::maxHistoryCount).toLongLong();
    m_retentionHours = m_settings.value(Stored::retentionHours).toLongLong();
    m_captureImages = m_settings.value(Stored::captureImages).toBool();
    m_recognizeTextInImages = m_settings.value(Stored::recognizeTextInImages).toBool();
    m_launchAtLogin = m_loginItem.status() == LoginItem::Status::enabled;
    m_showInDock = m_settings.value(Stored::showInDock).toBool();
    m_playSounds = m_settings.value(Stored::playSounds).toBool();
    m_autoPaste = m_settings.value(Stored::autoPaste).toBool();
    m_globalHotkey = m_settings.value(Stored::globalHotkey).toString();
    m_hotkeyKeyCode = m_settings.value(Stored::hotkeyKeyCode).toLongLong();
    m_hotkeyModifiers = m_settings.value(Stored::hotkeyModifiers).toLongLong();
    m_menubarIconName = m_settings.value(Stored::menubarIconName).toString();
    m_menuItemsPerFolder = m_settings.value(Stored::menuItemsPerFolder).toLongLong();
    m_snippetFolders = m_settings.value(Stored::snippetFolders).toStringList();
    loadExcludedApps();
    if (!m_settings.value(Stored::excludedDefaultsMerged).toBool())
        mergeDefaultExcludedApps();
}

const QList<ExcludedApp> &SettingsManager::defaultExcludedApps()
{
    static const QList<ExcludedApp> apps {
        {QUuid::createUuid(), u"com.apple.Passwords"_s, u"Passwords"_s},
        {QUuid::createUuid(), u"com.apple.keychainaccess"_s, u"Keychain Access"_s},
        {QUuid::createUuid(), u"com.1password.1password"_s, u"1Password"_s},
        {QUuid::createUuid(), u"com.agilebits.onepassword7"_s, u"1Password 7"_s},
        {QUuid::createUuid(), u"com.bitwarden.desktop"_s, u"Bitwarden"_s},
        {QUuid::createUuid(), u"com.lastpass.LastPass"_s, u"LastPass"_s},
    };
    return apps;
}

// Undecodable data reads as the defaults and stays stored until the list is
// next set.
void SettingsManager::loadExcludedApps()
{
    const QVariant stored = m_settings.storedValue(Stored::excludedApps.key, SettingKind::data);
    const auto decoded = stored.isValid() ? decodeExcludedApps(stored.toByteArray()) : std::nullopt;
    m_excludedApps = decoded.value_or(defaultExcludedApps());
}

// Runs once per settings file: an application the user removed later is
// never added back.
void SettingsManager::mergeDefaultExcludedApps()
{
    for (const ExcludedApp &app : defaultExcludedApps()) {
        const bool listed = std::any_of(m_excludedApps.cbegin(), m_excludedApps.cend(),
            [&](const ExcludedApp &own) { return own.bundleIdentifier == app.bundleIdentifier; });
        if (!listed)
            setExcludedApps(m_excludedApps + QList<ExcludedApp> {app});
    }
    writeExcludedApps();
    m_settings.setValue(Stored::excludedDefaultsMerged, true);
}

void SettingsManager::writeExcludedApps()
{
    m_settings.setValue(Stored::excludedApps, encodeExcludedApps(m_excludedApps));
}

template<typename T, typename Signal>
void SettingsManager::store(T &field, const T &value, const SettingDefinition &setting, Signal changed)
{
    field = value;
    // Written before the announcement, so that a receiver that sets the value
    // again is not overwritten afterwards.
    m_settings.setValue(setting, QVariant::fromValue(field));
    emit(this->*changed)(field);
}

void SettingsManager::setAutoLockTimeout(qint64 minutes)
{
    store(m_autoLockTimeout, minutes, Stored::autoLockTimeout, &SettingsManager::autoLockTimeoutChanged);
}

void SettingsManager::setLockOnSleep(bool enabled)
{
    store(m_lockOnSleep, enabled, Stored::lockOnSleep, &SettingsManager::lockOnSleepChanged);
}

void SettingsManager::setRequirePasscode(bool enabled)
{
    store(m_requirePasscode, enabled, Stored::requirePasscode, &SettingsManager::requirePasscodeChanged);
}

void SettingsManager::setUseBiometrics(bool enabled)
{
    store(m_useBiometrics, enabled, Stored::useBiometrics, &SettingsManager::useBiometricsChanged);
}

void SettingsManager::setSkipPasswordFields(bool enabled)
{
    store(m_skipPasswordFields, enabled, Stored::skipPasswordFields,
        &SettingsManager::skipPasswordFieldsChanged);
}

void SettingsManager::setDetectSecrets(bool enabled)
{
    store(m_detectSecrets, enabled, Stored::detectSecrets, &SettingsManager::detectSecretsChanged);
}

void SettingsManager::setSecretHandling(SecretHandling handling)
{
    m_secretHandling = handling;
    m_settings.setValue(Stored::secretHandling, rawValue(handling));
    emit secretHandlingChanged(handling);
}

void SettingsManager::setSensitiveExpiryMinutes(qint64 minutes)
{
    store(m_sensitiveExpiryMinutes, minutes, Stored::sensitiveExpiryMinutes,
        &SettingsManager::sensitiveExpiryMinutesChanged);
}

void SettingsManager::setSanitizeURLs(bool enabled)
{
    store(m_sanitizeURLs, enabled, Stored::sanitizeURLs, &SettingsManager::sanitizeURLsChanged);
}

void SettingsManager::setMaxHistoryCount(qint64 count)
{
    store(m_maxHistoryCount, count, Stored::maxHistoryCount, &SettingsManager::maxHistoryCountChanged);
}

void SettingsManager::setRetentionHours(qint64 hours)
{
    store(m_retentionHours, hours, Stored::retentionHours, &SettingsManager::retentionHoursChanged);
}

void SettingsManager::setCaptureImages(bool enabled)
{
    store(m_captureImages, enabled, Stored::captureImages, &SettingsManager::captureImagesChanged);
}

void SettingsManager::setRecognizeTextInImages(bool enabled)
{
    store(m_recognizeTextInImages, enabled, Stored::recognizeTextInImages,
        &SettingsManager::recognizeTextInImagesChanged);
}

void SettingsManager::setExcludedApps(const QList<ExcludedApp> &apps)
{
    m_excludedApps = apps;
    writeExcludedApps();
    emit excludedAppsChanged(m_excludedApps);
}

void SettingsManager::setLaunchAtLogin(bool enabled)
{
    store(m_launchAtLogin, enabled, Stored::launchAtLogin, &SettingsManager::launchAtLoginChanged);
    if (!m_isSyncingLoginItem)
        applyLaunchAtLogin();
}

void SettingsManager::setLoginItemNote(const QString &note)
{
    m_loginItemNote = note;
    emit loginItemNoteChanged(m_loginItemNote);
}

void SettingsManager::setShowInDock(bool shown)
{
    store(m_showInDock, shown, Stored::showInDock, &SettingsManager::showInDockChanged);
    m_dockPresence.setShownInDock(shown);
}

void SettingsManager::setPlaySounds(bool enabled)
{
    store(m_playSounds, enabled, Stored::playSounds, &SettingsManager::playSoundsChanged);
}

void SettingsManager::setAutoPaste(bool enabled)
{
    store(m_autoPaste, enabled, Stored::autoPaste, &SettingsManager::autoPasteChanged);
}

void SettingsManager::setGlobalHotkey(const QString &display)
{
    store(m_globalHotkey, display, Stored::globalHotkey, &SettingsManager::globalHotkeyChanged);
}

void SettingsManager::setHotkeyKeyCode(qint64 keyCode)
{
    store(m_hotkeyKeyCode, keyCode, Stored::hotkeyKeyCode, &SettingsManager::hotkeyKeyCodeChanged);
}

void SettingsManager::setHotkeyModifiers(qint64 modifiers)
{
    store(m_hotkeyModifiers, modifiers, Stored::hotkeyModifiers, &SettingsManager::hotkeyModifiersChanged);
}

void SettingsManager::setHotkeyError(const QString &error)
{
    m_hotkeyError = error;
    emit hotkeyErrorChanged(m_hotkeyError);
}

void SettingsManager::setMenubarIconName(const QString &symbolName)
{
    store(m_menubarIconName, symbolName, Stored::menubarIconName, &SettingsManager::menubarIconNameChanged);
}

void SettingsManager::setMenuItemsPerFolder(qint64 count)
{
    store(
        m_menuItemsPerFolder, count, Stored::menuItemsPerFolder, &SettingsManager::menuItemsPerFolderChanged);
}

void SettingsManager::setSnippetFolders(const QStringList &folders)
{
    store(m_snippetFolders, folders, Stored::snippetFolders, &SettingsManager::snippetFoldersChanged);
}

void SettingsManager::applyLaunchAtLogin()
{
    const auto result = m_launchAtLogin ? m_loginItem.registerItem() : m_loginItem.unregisterItem();
    if (!result)
        Log::write(u"Failed to update login item: "_s + result.error());
    refreshLoginItemNote(true);
}

void SettingsManager::refreshLoginItemNote(bool openSettings)
{
    const LoginItem::Status status = m_loginItem.status();
    m_isSyncingLoginItem = true;
    setLaunchAtLogin(status == LoginItem::Status::enabled);
    m_isSyncingLoginItem = false;
    if (status == LoginItem::Status::requiresApproval) {
        setLoginItemNote(approvalNote);
        if (openSettings)
            m_loginItem.openSystemSettings();
    } else {
        setLoginItemNote({});
    }
}
