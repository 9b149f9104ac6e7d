#pragma once

#include "platform/DockPresence.h"
#include "records/ExcludedApp.h"
#include "records/SecretHandling.h"
#include "settings/TypedSettings.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <expected>
#include <optional>

class LoginItem;

// One stored setting: a property whose setter stores the value (also when it
// did not change) before announcing it, so that receivers find the file up to
// date, and then runs the statement given last, if any. A value the file does
// not take is announced and in effect all the same. Its key, kind and
// default are its row name##Setting in SettingsManager.cpp.
#define VT_SETTING(Type, name, setter, ...)                                                                  \
    Q_PROPERTY(Type name READ name WRITE setter NOTIFY name##Changed)                                        \
public:                                                                                                      \
    Type name() const                                                                                        \
    {                                                                                                        \
        return m_##name;                                                                                     \
    }                                                                                                        \
    void setter(const Type &value)                                                                           \
    {                                                                                                        \
        m_##name = value;                                                                                    \
        report(m_settings.setValue(name##Setting, encode(m_##name)));                                        \
        emit name##Changed(m_##name);                                                                        \
        __VA_ARGS__;                                                                                         \
    }                                                                                                        \
    Q_SIGNAL void name##Changed(const Type &value);                                                          \
                                                                                                             \
private:                                                                                                     \
    static const SettingDefinition name##Setting;                                                            \
    Type m_##name = read<Type>(name##Setting);

// Every user preference. Each stored one is written to the settings file at
// once; at creation every key is read back, a missing key or a value of
// another kind giving the setting's default. Nothing is validated or clamped
// here: the consumers give 0 and other edge values their meaning.
class SettingsManager final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(SettingsManager)
    Q_PROPERTY(QString loginItemNote READ loginItemNote WRITE setLoginItemNote NOTIFY loginItemNoteChanged)
    Q_PROPERTY(QString hotkeyError READ hotkeyError WRITE setHotkeyError NOTIFY hotkeyErrorChanged)

public:
    // Reads settingsFile (TypedSettings::standardFilePath() in the
    // application); writes to it only for the one-time merge of the default
    // excluded applications. launchAtLogin comes from loginItem, not from the
    // file.
    SettingsManager(const QString &settingsFile, LoginItem &loginItem, DockPresence &dockPresence,
        QObject *parent = nullptr);

    // The password managers whose copies are never captured unless the user
    // removes them, macOS's and then Linux's; the same records (and ids) for
    // the life of the process.
    static const QList<ExcludedApp> &defaultExcludedApps();
    static QList<ExcludedApp> linuxDefaultExcludedApps();

    // Not stored. Null when there is no note.
    QString loginItemNote() const { return m_loginItemNote; }
    void setLoginItemNote(const QString &note);
    // Not stored. Null when the last registration succeeded.
    QString hotkeyError() const { return m_hotkeyError; }
    void setHotkeyError(const QString &error);
    bool isSyncingLoginItem() const { return m_isSyncingLoginItem; }
    // Set when the file could not be read at creation, so every setting
    // started from its default.
    std::optional<SettingsReset> resetOnRead() const { return m_settings.resetOnRead(); }

    // The last value a snippet template's counter handed out, under
    // "snippet.counter." + name; 0 for one never used. Stored at once, in
    // one write however many change; not announced.
    qint64 snippetCounter(const QString &name) const;
    void setSnippetCounters(const QList<std::pair<QString, qint64>> &values);

    // Copies the login item's state into launchAtLogin and loginItemNote;
    // where the desktop waits for the user's approval and openSettings is
    // true, opens the desktop's login-item settings.
    Q_INVOKABLE void refreshLoginItemNote(bool openSettings);

signals:
    void loginItemNoteChanged(const QString &note);
    void hotkeyErrorChanged(const QString &error);
    // A change the settings file did not take: told once, and again only
    // after a write that succeeded, which saved every change before it.
    void showAlert(const QString &title, const QString &informativeText);

private:
    // A property's value as the file holds it: the plain kinds as they are.
    template<typename T> static QVariant encode(const T &value) { return QVariant::fromValue(value); }
    static QVariant encode(SecretHandling handling);
    static QVariant encode(const QList<ExcludedApp> &apps);
    template<typename T> static void decode(const QVariant &stored, T &value) { value = stored.value<T>(); }
    static void decode(const QVariant &stored, SecretHandling &handling);
    static void decode(const QVariant &stored, QList<ExcludedApp> &apps);

    template<typename T> T read(const SettingDefinition &setting) const
    {
        T value {};
        decode(m_settings.value(setting), value);
        return value;
    }

    void mergeDefaultExcludedApps(const QList<ExcludedApp> &defaults);
    void applyLaunchAtLogin();
    void report(const std::expected<void, SettingsWriteError> &written);

    TypedSettings m_settings;
    LoginItem &m_loginItem;
    DockPresence &m_dockPresence;
    QString m_loginItemNote;
    QString m_hotkeyError;
    bool m_isSyncingLoginItem = false;
    bool m_toldNotSaved = false;

    // The stored settings, each public but for its row and member; after
    // m_settings, which they are read from at creation.
    VT_SETTING(qint64, autoLockTimeout, setAutoLockTimeout)
    VT_SETTING(bool, lockOnSleep, setLockOnSleep)
    VT_SETTING(bool, requirePasscode, setRequirePasscode)
    VT_SETTING(bool, useBiometrics, setUseBiometrics)
    VT_SETTING(bool, skipPasswordFields, setSkipPasswordFields)
    VT_SETTING(bool, detectSecrets, setDetectSecrets)
    VT_SETTING(SecretHandling, secretHandling, setSecretHandling)
    VT_SETTING(qint64, sensitiveExpiryMinutes, setSensitiveExpiryMinutes)
    VT_SETTING(bool, sanitizeURLs, setSanitizeURLs)
    VT_SETTING(qint64, maxHistoryCount, setMaxHistoryCount)
    VT_SETTING(qint64, retentionHours, setRetentionHours)
    VT_SETTING(bool, captureImages, setCaptureImages)
    VT_SETTING(bool, recognizeTextInImages, setRecognizeTextInImages)
    VT_SETTING(QList<ExcludedApp>, excludedApps, setExcludedApps)
    // Also registers or removes the login item, then reads back what the
    // desktop made of it.
    VT_SETTING(bool, launchAtLogin, setLaunchAtLogin, applyLaunchAtLogin())
    VT_SETTING(bool, showInDock, setShowInDock, m_dockPresence.setShownInDock(m_showInDock))
    VT_SETTING(bool, playSounds, setPlaySounds)
    VT_SETTING(bool, autoPaste, setAutoPaste)
    VT_SETTING(QString, globalHotkey, setGlobalHotkey)
    VT_SETTING(qint64, hotkeyKeyCode, setHotkeyKeyCode)
    VT_SETTING(qint64, hotkeyModifiers, setHotkeyModifiers)
    VT_SETTING(QString, menubarIconName, setMenubarIconName)
    VT_SETTING(qint64, menuItemsPerFolder, setMenuItemsPerFolder)
    VT_SETTING(QStringList, snippetFolders, setSnippetFolders)
};

#undef VT_SETTING
