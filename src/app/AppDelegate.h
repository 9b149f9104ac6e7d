#pragma once

#include "app/AppPlatform.h"
#include "app/AppStateController.h"
#include "base/Clock.h"
#include "settings/SettingsReset.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <memory>
#include <optional>

class AutoPaste;
class ClipboardMonitor;
class EncryptionService;
class EntryTools;
class HotkeyManager;
class KeyManager;
class SecureStorageManager;
class SecurityController;
class SettingsManager;
class SettingsSnippetCounters;
class SnippetManager;
class StatusBar;
class TemplateExpander;
class UpdateChecker;

// Owns every service for the life of the process: builds them in order at
// launch, opens the store, unlocks silently where no passcode is required,
// locks on sleep, screen lock and idle time, and shuts down in order.
class AppDelegate final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(AppDelegate)

public:
    static constexpr std::chrono::seconds idleCheckInterval {30};
    // How long termination waits for the store to close.
    static constexpr std::chrono::seconds closeBound {2};

    // Copies an old sandbox's data first, before the settings are read.
    explicit AppDelegate(
        AppPlatform platform, const Clock &clock = Clock::system(), QObject *parent = nullptr);
    ~AppDelegate() override;

    AppStateController &appState() { return m_appState; }
    // Created on first use.
    SettingsManager &settingsManager();
    SecureStorageManager *storageManager() const { return m_storageManager.get(); }
    SecurityController *securityController() const { return m_securityController.get(); }
    KeyManager *keyManager() const { return m_keyManager.get(); }
    ClipboardMonitor *clipboardMonitor() const { return m_clipboardMonitor.get(); }
    AutoPaste *autoPaste() const { return m_autoPaste.get(); }
    UpdateChecker *updateChecker() const { return m_updateChecker.get(); }

    // The launch sequence; the store opens and the vault unlocks once control
    // is back in the event loop.
    void applicationDidFinishLaunching();
    // Another start of the application handed over to this one.
    void applicationShouldHandleReopen(bool hasVisibleWindows);
    void applicationWillTerminate();

private:
    void setupServices();
    void setupObservers();
    void setupIdleTimer();
    void openDatabaseAndUnlock();
    // storedFields: sealed fields of the stored history, which the raw key
    // must open where the keyring holds no key check.
    void attemptAutoUnlock(const QList<QByteArray> &storedFields);
    // Whether sleep and screen lock lock the vault.
    bool locksOnSleep();
    void handleSleepOrScreenLock();
    void updateSleepDelay();
    void handleUnlockChange(bool unlocked);
    void handleIdleTimerTick();

    AppPlatform m_platform;
    const Clock &m_clock;
    AppStateController m_appState;
    // Met by the first read of the settings file.
    std::optional<SettingsReset> m_settingsReset;
    std::unique_ptr<SettingsManager> m_settingsManager;
    std::unique_ptr<StatusBar> m_statusBar;
    std::unique_ptr<KeyManager> m_keyManager;
    std::unique_ptr<EncryptionService> m_encryptionService;
    std::unique_ptr<SecureStorageManager> m_storageManager;
    std::unique_ptr<SecurityController> m_securityController;
    std::unique_ptr<ClipboardMonitor> m_clipboardMonitor;
    std::unique_ptr<SnippetManager> m_snippetManager;
    std::unique_ptr<HotkeyManager> m_hotkeyManager;
    std::unique_ptr<AutoPaste> m_autoPaste;
    std::unique_ptr<EntryTools> m_entryTools;
    std::unique_ptr<SettingsSnippetCounters> m_snippetCounters;
    std::unique_ptr<TemplateExpander> m_templateExpander;
    std::unique_ptr<UpdateChecker> m_updateChecker;
    QTimer m_idleTimer;
};
