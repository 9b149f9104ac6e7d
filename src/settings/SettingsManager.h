#pragma once

#include "records/ExcludedApp.h"
#include "records/SecretHandling.h"
#include "settings/TypedSettings.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class DockPresence;
class LoginItem;

// Every user preference. Each is a property whose setter stores the value in
// the settings file at once (also when it did not change) and then announces
// it; at creation every key is read back, a missing key or a value of another
// kind giving the setting's default. Nothing is validated or clamped here:
// the consumers give 0 and other edge values their meaning.
class SettingsManager final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(SettingsManager)

    Q_PROPERTY(
        qint64 autoLockTimeout READ autoLockTimeout WRITE setAutoLockTimeout NOTIFY autoLockTimeoutChanged)
    Q_PROPERTY(bool lockOnSleep READ lockOnSleep WRITE setLockOnSleep NOTIFY lockOnSleepChanged)
    Q_PROPERTY(
        bool requirePasscode READ requirePasscode WRITE setRequirePasscode NOTIFY requirePasscodeChanged)
    Q_PROPERTY(bool useBiometrics READ useBiometrics WRITE setUseBiometrics NOTIFY useBiometricsChanged)
    Q_PROPERTY(bool skipPasswordFields READ skipPasswordFields WRITE setSkipPasswordFields NOTIFY
            skipPasswordFieldsChanged)
    Q_PROPERTY(bool detectSecrets READ detectSecrets WRITE setDetectSecrets NOTIFY detectSecretsChanged)
    Q_PROPERTY(SecretHandling secretHandling READ secretHandling WRITE setSecretHandling NOTIFY
            secretHandlingChanged)
    Q_PROPERTY(qint64 sensitiveExpiryMinutes READ sensitiveExpiryMinutes WRITE setSensitiveExpiryMinutes
            NOTIFY sensitiveExpiryMinutesChanged)
    Q_PROPERTY(bool sanitizeURLs READ sanitizeURLs WRITE setSanitizeURLs NOTIFY sanitizeURLsChanged)
    Q_PROPERTY(
        qint64 maxHistoryCount READ maxHistoryCount WRITE setMaxHistoryCount NOTIFY maxHistoryCountChanged)
    Q_PROPERTY(qint64 retentionHours READ retentionHours WRITE setRetentionHours NOTIFY retentionHoursChanged)
    Q_PROPERTY(bool captureImages READ captureImages WRITE setCaptureImages NOTIFY captureImagesChanged)
    Q_PROPERTY(bool recognizeTextInImages READ recognizeTextInImages WRITE setRecognizeTextInImages NOTIFY
            recognizeTextInImagesChanged)
    Q_PROPERTY(
        QList<ExcludedApp> excludedApps READ excludedApps WRITE setExcludedApps NOTIFY excludedAppsChanged)
    Q_PROPERTY(bool launchAtLogin READ launchAtLogin WRITE setLaunchAtLogin NOTIFY launchAtLoginChanged)
    Q_PROPERTY(QString loginItemNote READ loginItemNote WRITE setLoginItemNote NOTIFY loginItemNoteChanged)
    Q_PROPERTY(bool showInDock READ showInDock WRITE setShowInDock NOTIFY showInDockChanged)
    Q_PROPERTY(bool playSounds READ playSounds WRITE setPlaySounds NOTIFY playSoundsChanged)
    Q_PROPERTY(bool autoPaste READ autoPaste WRITE setAutoPaste NOTIFY autoPasteChanged)
    Q_PROPERTY(QString globalHotkey READ globalHotkey WRITE setGlobalHotkey NOTIFY globalHotkeyChanged)
    Q_PROPERTY(qint64 hotkeyKeyCode READ hotkeyKeyCode WRITE setHotkeyKeyCode NOTIFY hotkeyKeyCodeChanged)
    Q_PROPERTY(
        qint64 hotkeyModifiers READ hotkeyModifiers WRITE setHotkeyModifiers NOTIFY hotkeyModifiersChanged)
    Q_PROPERTY(QString hotkeyError READ hotkeyError WRITE setHotkeyError NOTIFY hotkeyErrorChanged)
    Q_PROPERTY(
        QString menubarIconName READ menubarIconName WRITE setMenubarIconName NOTIFY menubarIconNameChanged)
    Q_PROPERTY(qint64 menuItemsPerFolder READ menuItemsPerFolder WRITE setMenuItemsPerFolder NOTIFY
            menuItemsPerFolderChanged)
    Q_PROPERTY(
        QStringList snippetFolders READ snippetFolders WRITE setSnippetFolders NOTIFY snippetFoldersChanged)

public:
    // Reads settingsFile (TypedSettings::standardFilePath() in the
    // application); writes to it only for the one-time merge of the default
    // excluded applications. launchAtLogin comes from loginItem, not from the
    // file.
    SettingsManager(const QString &settingsFile, LoginItem &loginItem, DockPresence &dockPresence,
        QObject *parent = nullptr);

    // The password managers whose copies are never captured unless the user
    // removes them; the same records (and ids) for the life of the process.
    static const QList<ExcludedApp> &defaultExcludedApps();

    qint64 autoLockTimeout() const { return m_autoLockTimeout; }
    bool lockOnSleep() const { return m_lockOnSleep; }
    bool requirePasscode() const { return m_requirePasscode; }
    bool useBiometrics() const { return m_useBiometrics; }
    bool skipPasswordFields() const { return m_skipPasswordFields; }
    bool detectSecrets() const { return m_detectSecrets; }
    SecretHandling secretHandling() const { return m_secretHandling; }
    qint64 sensitiveExpiryMinutes() const { return m_sensitiveExpiryMinutes; }
    bool sanitizeURLs() const { return m_sanitizeURLs; }
    qint64 maxHistoryCount() const { return m_maxHistoryCount; }
    qint64 retentionHours() const { return m_retentionHours; }
    bool captureImages() const { return m_captureImages; }
    bool recognizeTextInImages() const { return m_recognizeTextInImages; }
    QList<ExcludedApp> excludedApps() const { return m_excludedApps; }
    bool launchAtLogin() const { return m_launchAtLogin; }
    // Null when there is no note.
    QString loginItemNote() const { return m_loginItemNote; }
    bool isSyncingLoginItem() const { return m_isSyncingLoginItem; }
    bool showInDock() const { return m_showInDock; }
    bool playSounds() const { return m_playSounds; }
    bool autoPaste() const { return m_autoPaste; }
    QString globalHotkey() const { return m_globalHotkey; }
    qint64 hotkeyKeyCode() const { return m_hotkeyKeyCode; }
    qint64 hotkeyModifiers() const { return m_hotkeyModifiers; }
    // Null when the last registration succeeded.
    QString hotkeyError() const { return m_hotkeyError; }
    QString menubarIconName() const { return m_menubarIconName; }
    qint64 menuItemsPerFolder() const { return m_menuItemsPerFolder; }
    QStringList snippetFolders() const { return m_snippetFolders; }

    void setAutoLockTimeout(qint64 minutes);
    void setLockOnSleep(bool enabled);
    void setRequirePasscode(bool enabled);
    void setUseBiometrics(bool enabled);
    void setSkipPasswordFields(bool enabled);
    void setDetectSecrets(bool enabled);
    void setSecretHandling(SecretHandling handling);
    void setSensitiveExpiryMinutes(qint64 minutes);
    void setSanitizeURLs(bool enabled);
    void setMaxHistoryCount(qint64 count);
    void setRetentionHours(qint64 hours);
    void setCaptureImages(bool enabled);
    void setRecognizeTextInImages(bool enabled);
    void setExcludedApps(const QList<ExcludedApp> &apps);
    // Also registers or removes the login item, then reads back what the
    // desktop made of it.
    void setLaunchAtLogin(bool enabled);
    void setLoginItemNote(const QString &note);
    // Also applies the taskbar presence at once.
    void setShowInDock(bool shown);
    void setPlaySounds(bool enabled);
    void setAutoPaste(bool enabled);
    void setGlobalHotkey(const QString &display);
    void setHotkeyKeyCode(qint64 keyCode);
    void setHotkeyModifiers(qint64 modifiers);
    void setHotkeyError(const QString &error);
    void setMenubarIconName(const QString &symbolName);
    void setMenuItemsPerFolder(qint64 count);
    void setSnippetFolders(const QStringList &folders);

    // Copies the login item's state into launchAtLogin and loginItemNote;
    // where the desktop waits for the user's approval and openSettings is
    // true, opens the desktop's login-item settings.
    Q_INVOKABLE void refreshLoginItemNote(bool openSettings);

signals:
    void autoLockTimeoutChanged(qint64 minutes);
    void lockOnSleepChanged(bool enabled);
    void requirePasscodeChanged(bool enabled);
    void useBiometricsChanged(bool enabled);
    void skipPasswordFieldsChanged(bool enabled);
    void detectSecretsChanged(bool enabled);
    void secretHandlingChanged(SecretHandling handling);
    void sensitiveExpiryMinutesChanged(qint64 minutes);
    void sanitizeURLsChanged(bool enabled);
    void maxHistoryCountChanged(qint64 count);
    void retentionHoursChanged(qint64 hours);
    void captureImagesChanged(bool enabled);
    void recognizeTextInImagesChanged(bool enabled);
    void excludedAppsChanged(const QList<ExcludedApp> &apps);
    void launchAtLoginChanged(bool enabled);
    void loginItemNoteChanged(const QString &note);
    void showInDockChanged(bool shown);
    void playSoundsChanged(bool enabled);
    void autoPasteChanged(bool enabled);
    void globalHotkeyChanged(const QString &display);
    void hotkeyKeyCodeChanged(qint64 keyCode);
    void hotkeyModifiersChanged(qint64 modifiers);
    void hotkeyErrorChanged(const QString &error);
    void menubarIconNameChanged(const QString &symbolName);
    void menuItemsPerFolderChanged(qint64 count);
    void snippetFoldersChanged(const QStringList &folders);

private:
    void loadExcludedApps();
    void mergeDefaultExcludedApps();
    void writeExcludedApps();
    void applyLaunchAtLogin();

    template<typename T, typename Signal>
    void store(T &field, const T &value, const SettingDefinition &setting, Signal changed);

    TypedSettings m_settings;
    LoginItem &m_loginItem;
    DockPresence &m_dockPresence;

    qint64 m_autoLockTimeout {};
    bool m_lockOnSleep {};
    bool m_requirePasscode {};
    bool m_useBiometrics {};
    bool m_skipPasswordFields {};
    bool m_detectSecrets {};
    SecretHandling m_secretHandling {};
    qint64 m_sensitiveExpiryMinutes {};
    bool m_sanitizeURLs {};
    qint64 m_maxHistoryCount {};
    qint64 m_retentionHours {};
    bool m_captureImages {};
    bool m_recognizeTextInImages {};
    QList<ExcludedApp> m_excludedApps;
    bool m_launchAtLogin {};
    QString m_loginItemNote;
    bool m_isSyncingLoginItem = false;
    bool m_showInDock {};
    bool m_playSounds {};
    bool m_autoPaste {};
    QString m_globalHotkey;
    qint64 m_hotkeyKeyCode {};
    qint64 m_hotkeyModifiers {};
    QString m_hotkeyError;
    QString m_menubarIconName;
    qint64 m_menuItemsPerFolder {};
    QStringList m_snippetFolders;
};
