#include "settings/SettingsManager.h"

#include "base/Log.h"
#include "platform/LoginItem.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <utility>

using namespace Qt::StringLiterals;

namespace {

QVariant integer(qint64 value)
{
    return QVariant::fromValue(value);
}

// True once the default excluded applications were merged into the list.
const SettingDefinition excludedDefaultsMerged {
    u"settings.clipboard.excludedDefaultsV2"_s, SettingKind::boolean, false};
// True once the Linux ones among them were: files merged before they were
// defaults get them once more.
const SettingDefinition linuxExcludedDefaultsMerged {
    u"settings.clipboard.excludedDefaultsLinuxV1"_s, SettingKind::boolean, false};

// The first of the defaults are the macOS applications.
constexpr qsizetype macExcludedAppCount = 6;

SettingDefinition snippetCounterSetting(const QString &name)
{
    return {u"snippet.counter."_s + name, SettingKind::integer, integer(0)};
}

const QString approvalNote = u"Allow Vantorell in your desktop's autostart settings."_s;

} // namespace

// Every stored setting: key, kind and the value a missing or mistyped key
// reads as.
const SettingDefinition SettingsManager::autoLockTimeoutSetting {
    u"settings.security.autoLockTimeout"_s, SettingKind::integer, integer(0)};
const SettingDefinition SettingsManager::lockOnSleepSetting {
    u"settings.security.lockOnSleep"_s, SettingKind::boolean, false};
const SettingDefinition SettingsManager::requirePasscodeSetting {
    u"settings.security.requirePasscode"_s, SettingKind::boolean, false};
const SettingDefinition SettingsManager::useBiometricsSetting {
    u"settings.security.useBiometrics"_s, SettingKind::boolean, false};
const SettingDefinition SettingsManager::skipPasswordFieldsSetting {
    u"settings.security.skipPasswordFields"_s, SettingKind::boolean, false};
const SettingDefinition SettingsManager::detectSecretsSetting {
    u"settings.security.detectSecrets"_s, SettingKind::boolean, true};
const SettingDefinition SettingsManager::secretHandlingSetting {
    u"settings.security.secretHandling"_s, SettingKind::text, u"lock"_s};
const SettingDefinition SettingsManager::sensitiveExpiryMinutesSetting {
    u"settings.security.sensitiveExpiryMinutes"_s, SettingKind::integer, integer(0)};
const SettingDefinition SettingsManager::sanitizeURLsSetting {
    u"settings.security.sanitizeURLs"_s, SettingKind::boolean, true};
const SettingDefinition SettingsManager::maxHistoryCountSetting {
    u"settings.clipboard.maxHistoryCount"_s, SettingKind::integer, integer(500)};
const SettingDefinition SettingsManager::retentionHoursSetting {
    u"settings.clipboard.retentionHours"_s, SettingKind::integer, integer(720)};
const SettingDefinition SettingsManager::captureImagesSetting {
    u"settings.clipboard.captureImages"_s, SettingKind::boolean, true};
const SettingDefinition SettingsManager::recognizeTextInImagesSetting {
    u"settings.clipboard.recognizeTextInImages"_s, SettingKind::boolean, true};
// The default is defaultExcludedApps().
const SettingDefinition SettingsManager::excludedAppsSetting {
    u"settings.clipboard.excludedApps"_s, SettingKind::data, {}};
// Written for the record only: the login item itself says whether it is on.
const SettingDefinition SettingsManager::launchAtLoginSetting {
    u"settings.general.launchAtLogin"_s, SettingKind::boolean, false};
const SettingDefinition SettingsManager::showInDockSetting {
    u"settings.general.showInDock"_s, SettingKind::boolean, false};
const SettingDefinition SettingsManager::playSoundsSetting {
    u"settings.general.playSounds"_s, SettingKind::boolean, false};
const SettingDefinition SettingsManager::autoPasteSetting {
    u"settings.general.autoPaste"_s, SettingKind::boolean, true};
const SettingDefinition SettingsManager::globalHotkeySetting {
    u"settings.general.globalHotkey"_s, SettingKind::text, u"⌘⇧V"_s};
// The V key, and command with shift.
const SettingDefinition SettingsManager::hotkeyKeyCodeSetting {
    u"settings.general.hotkeyKeyCode"_s, SettingKind::integer, integer(9)};
const SettingDefinition SettingsManager::hotkeyModifiersSetting {
    u"settings.general.hotkeyModifiers"_s, SettingKind::integer, integer(0x120000)};
const SettingDefinition SettingsManager::menubarIconNameSetting {
    u"settings.appearance.menubarIconName"_s, SettingKind::text, u"doc.on.clipboard"_s};
const SettingDefinition SettingsManager::menuItemsPerFolderSetting {
    u"settings.appearance.menuItemsPerFolder"_s, SettingKind::integer, integer(50)};
const SettingDefinition SettingsManager::snippetFoldersSetting {
    u"settings.snippets.folders"_s, SettingKind::textList, QStringList {}};

SettingsManager::SettingsManager(
    const QString &settingsFile, LoginItem &loginItem, DockPresence &dockPresence, QObject *parent)
    : QObject(parent), m_settings(settingsFile), m_loginItem(loginItem), m_dockPresence(dockPresence)
{
    m_settings.makePrivate();
    m_launchAtLogin = m_loginItem.status() == LoginItem::Status::enabled;
    if (!m_settings.value(excludedDefaultsMerged).toBool())
        mergeDefaultExcludedApps(defaultExcludedApps());
    else if (!m_settings.value(linuxExcludedDefaultsMerged).toBool())
        mergeDefaultExcludedApps(linuxDefaultExcludedApps());
    // Nobody heard a failure of the merge (it is logged, and runs again at the
    // next start): the user's first change that fails is told.
    m_toldNotSaved = false;
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
        // Matching is exact, so each under every name the workspace may give
        // it: the Flatpak id, the desktop-file id (a package's, a snap's) and
        // the WM_CLASS class of a copy without a desktop file. Bitwarden's
        // Flatpak id is the macOS one above.
        {QUuid::createUuid(), u"org.keepassxc.KeePassXC"_s, u"KeePassXC"_s},
        {QUuid::createUuid(), u"keepassxc_keepassxc"_s, u"KeePassXC"_s},
        {QUuid::createUuid(), u"KeePassXC"_s, u"KeePassXC"_s},
        {QUuid::createUuid(), u"bitwarden"_s, u"Bitwarden"_s},
        {QUuid::createUuid(), u"bitwarden_bitwarden"_s, u"Bitwarden"_s},
        {QUuid::createUuid(), u"Bitwarden"_s, u"Bitwarden"_s},
        {QUuid::createUuid(), u"com.onepassword.OnePassword"_s, u"1Password"_s},
        {QUuid::createUuid(), u"1password"_s, u"1Password"_s},
        {QUuid::createUuid(), u"1Password"_s, u"1Password"_s},
        {QUuid::createUuid(), u"org.gnome.seahorse.Application"_s, u"Passwords and Keys"_s},
        {QUuid::createUuid(), u"Seahorse"_s, u"Passwords and Keys"_s},
        {QUuid::createUuid(), u"org.kde.kwalletmanager5"_s, u"KWalletManager"_s},
        {QUuid::createUuid(), u"kwalletmanager5"_s, u"KWalletManager"_s},
        {QUuid::createUuid(), u"org.kde.kwalletmanager"_s, u"KWalletManager"_s},
        {QUuid::createUuid(), u"kwalletmanager"_s, u"KWalletManager"_s},
        {QUuid::createUuid(), u"org.gnome.World.Secrets"_s, u"Secrets"_s},
        {QUuid::createUuid(), u"keepass2"_s, u"KeePass2"_s},
        {QUuid::createUuid(), u"KeePass2"_s, u"KeePass2"_s},
        {QUuid::createUuid(), u"me.proton.Pass"_s, u"Proton Pass"_s},
        {QUuid::createUuid(), u"proton-pass"_s, u"Proton Pass"_s},
        {QUuid::createUuid(), u"Proton Pass"_s, u"Proton Pass"_s},
    };
    return apps;
}

QList<ExcludedApp> SettingsManager::linuxDefaultExcludedApps()
{
    return defaultExcludedApps().sliced(macExcludedAppCount);
}

QVariant SettingsManager::encode(SecretHandling handling)
{
    return rawValue(handling);
}

QVariant SettingsManager::encode(const QList<ExcludedApp> &apps)
{
    QJsonArray array;
    for (const ExcludedApp &app : apps)
        array.append(app.toJson());
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

void SettingsManager::decode(const QVariant &stored, SecretHandling &handling)
{
    handling = fromRawValue<SecretHandling>(stored.toString()).value_or(SecretHandling::lock);
}

// Undecodable data reads as the defaults and stays stored until the list is
// next set.
void SettingsManager::decode(const QVariant &stored, QList<ExcludedApp> &apps)
{
    apps = defaultExcludedApps();
    if (!stored.isValid())
        return;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(stored.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return;
    QList<ExcludedApp> decoded;
    const QJsonArray array = document.array();
    for (const QJsonValue &element : array) {
        const auto app = ExcludedApp::fromJson(element);
        if (!app)
            return;
        decoded.append(*app);
    }
    apps = decoded;
}

// Runs once per settings file for each set of defaults: an application the
// user removed later is never added back.
void SettingsManager::mergeDefaultExcludedApps(const QList<ExcludedApp> &defaults)
{
    for (const ExcludedApp &app : defaults) {
        const bool listed = std::any_of(m_excludedApps.cbegin(), m_excludedApps.cend(),
            [&](const ExcludedApp &own) { return own.bundleIdentifier == app.bundleIdentifier; });
        if (!listed)
            setExcludedApps(m_excludedApps + QList<ExcludedApp> {app});
    }
    report(m_settings.setValues({{excludedAppsSetting, encode(m_excludedApps)},
        {excludedDefaultsMerged, true}, {linuxExcludedDefaultsMerged, true}}));
}

void SettingsManager::setLoginItemNote(const QString &note)
{
    m_loginItemNote = note;
    emit loginItemNoteChanged(m_loginItemNote);
}

void SettingsManager::setHotkeyError(const QString &error)
{
    m_hotkeyError = error;
    emit hotkeyErrorChanged(m_hotkeyError);
}

qint64 SettingsManager::snippetCounter(const QString &name) const
{
    return m_settings.value(snippetCounterSetting(name)).toLongLong();
}

void SettingsManager::setSnippetCounters(const QList<std::pair<QString, qint64>> &values)
{
    QList<std::pair<SettingDefinition, QVariant>> changes;
    changes.reserve(values.size());
    for (const auto &[name, value] : values)
        changes.append({snippetCounterSetting(name), integer(value)});
    report(m_settings.setValues(changes));
}

void SettingsManager::report(const std::expected<void, SettingsWriteError> &written)
{
    if (written) {
        m_toldNotSaved = false;
        return;
    }
    if (std::exchange(m_toldNotSaved, true))
        return;
    emit showAlert(u"Settings couldn't be saved"_s,
        description(written.error())
            + u" Your changes stay in effect until you quit Vantorell, and are lost then unless the file "
              u"can be written."_s);
}

void SettingsManager::applyLaunchAtLogin()
{
    // The refresh sets the state it read back; that must not register again.
    if (m_isSyncingLoginItem)
        return;
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
