#include "app/AppDelegate.h"

#include "app/HotkeyManager.h"
#include "app/SandboxMigration.h"
#include "app/SecurityController.h"
#include "app/SettingsResetRecovery.h"
#include "app/VisibleWindows.h"
#include "base/Log.h"
#include "base/WhenFinished.h"
#include "capture/ClipboardMonitor.h"
#include "crypto/EncryptionService.h"
#include "crypto/KeyManager.h"
#include "paste/AutoPaste.h"
#include "paste/EntryTools.h"
#include "platform/Alerts.h"
#include "platform/DockPresence.h"
#include "platform/OpenDialogs.h"
#include "platform/Pasteboard.h"
#include "platform/SystemEvents.h"
#include "settings/SettingsManager.h"
#include "store/SecureStorageManager.h"
#include "store/SnippetManager.h"
#include "tools/PromptDialog.h"
#include "tools/SettingsSnippetCounters.h"
#include "tools/TemplateExpander.h"
#include "update/UpdateChecker.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QStandardPaths>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {

QString text(bool value)
{
    return value ? u"true"_s : u"false"_s;
}

} // namespace

AppDelegate::AppDelegate(AppPlatform platform, const Clock &clock, QObject *parent)
    : QObject(parent), m_platform(std::move(platform)), m_clock(clock), m_appState(clock)
{
    const SandboxMigration migration(QDir::homePath(), m_platform.settingsFile,
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    m_settingsReset = migration.migrateFromSandboxContainer();
}

AppDelegate::~AppDelegate()
{
    // The views go before the services they show.
    m_statusBar.reset();
}

SettingsManager &AppDelegate::settingsManager()
{
    if (!m_settingsManager) {
        m_settingsManager = std::make_unique<SettingsManager>(
            m_platform.settingsFile, m_platform.loginItem, m_platform.dockPresence);
        // Queued: the modal alert waits until the change that failed is done.
        connect(
            m_settingsManager.get(), &SettingsManager::showAlert, this,
            [this](const QString &title, const QString &text) { m_platform.alerts.showAlert(title, text); },
            Qt::QueuedConnection);
        // Inside the sandbox the migration reads nothing: this is the first read.
        if (!m_settingsReset)
            m_settingsReset = m_settingsManager->resetOnRead();
    }
    return *m_settingsManager;
}

void AppDelegate::applicationDidFinishLaunching()
{
    m_platform.dockPresence.setShownInDock(settingsManager().showInDock());
    setupServices();
    if (m_platform.makeStatusBar)
        m_statusBar = m_platform.makeStatusBar(m_appState, settingsManager());
    setupObservers();
    setupIdleTimer();
    // Before the store reads ahead and the silent unlock, which both follow
    // this method.
    if (m_settingsReset)
        SettingsResetRecovery::recover(*m_settingsReset, *m_keyManager, settingsManager(), m_appState);

    const auto hasMasterKey = m_keyManager->keychainExists(KeyManager::sealedKeyAccount);
    Log::write(u"Application launched — requirePasscode=%1, autoLockTimeout=%2, hasMasterKey=%3"_s.arg(
        text(settingsManager().requirePasscode()), QString::number(settingsManager().autoLockTimeout()),
        text(hasMasterKey.value_or(false))));
    if (!hasMasterKey)
        Log::write(
            u"Keychain could not tell whether a master key exists: "_s + description(hasMasterKey.error()));
}

void AppDelegate::setupServices()
{
    m_keyManager = std::make_unique<KeyManager>(m_platform.keychain, m_platform.deviceAuth);
    m_encryptionService = std::make_unique<EncryptionService>(m_keyManager->masterKey());
    m_storageManager = std::make_unique<SecureStorageManager>(*m_encryptionService, m_clock);
    m_securityController = std::make_unique<SecurityController>(
        *m_keyManager, m_appState, settingsManager(), m_platform.deviceAuth, m_platform.idleTime, m_clock);
    m_clipboardMonitor = std::make_unique<ClipboardMonitor>(*m_storageManager, m_appState, settingsManager(),
        *m_encryptionService,
        ClipboardMonitor::Desktop {m_platform.pasteboard, m_platform.workspace, m_platform.sound}, m_clock);
    m_snippetManager = std::make_unique<SnippetManager>(*m_storageManager, m_clock);
    m_hotkeyManager = std::make_unique<HotkeyManager>(m_appState, settingsManager(), m_platform.globalHotkey);
    m_appState.configure(m_clipboardMonitor.get(), *m_storageManager, *m_snippetManager,
        m_securityController.get(), settingsManager());
    m_autoPaste = std::make_unique<AutoPaste>(m_platform.keySender, m_platform.workspace, m_platform.alerts);
    PasteController &paste = m_appState.paste();
    paste.configure({m_platform.pasteboard, m_platform.workspace, m_platform.deviceAuth, *m_autoPaste,
        [monitor = m_clipboardMonitor.get()](
            qint64 changeCount) { monitor->setOwnChangeCount(changeCount); }});
    m_entryTools = std::make_unique<EntryTools>(
        paste, *m_appState.entryContent(), m_platform.pasteboard, m_platform.alerts);
    paste.configureEntryTools(*m_entryTools);
    m_snippetCounters = std::make_unique<SettingsSnippetCounters>(settingsManager());
    m_templateExpander = std::make_unique<TemplateExpander>(m_clock, *m_snippetCounters);
    paste.configureSnippetPaste(*m_templateExpander, askPromptValues);
    m_updateChecker = std::make_unique<UpdateChecker>();
    QMetaObject::invokeMethod(this, &AppDelegate::openDatabaseAndUnlock, Qt::QueuedConnection);
}

void AppDelegate::openDatabaseAndUnlock()
{
    // The store runs them in call order: the fields are read once it is open,
    // and the history, for a silent unlock, while the key is read.
    const QFuture<StorageOutcome> opened = m_storageManager->openDatabase();
    whenFinished(
        this, m_storageManager->oldestSealedFields(), [this, opened](const QList<QByteArray> &storedFields) {
            const StorageOutcome outcome = opened.result();
            Log::write(outcome ? u"Database initialized"_s : u"Database initialization failed"_s);
            // Every copy would be dropped: the history says so, not that it
            // is empty.
            if (!outcome)
                m_appState.setDatabaseError(description(outcome.error()));
            attemptAutoUnlock(storedFields);
            if (!m_appState.isUnlocked())
                m_storageManager->forgetReadAhead();
        });
    if (!settingsManager().requirePasscode())
        m_storageManager->readAheadHistory();
}

void AppDelegate::attemptAutoUnlock(const QList<QByteArray> &storedFields)
{
    // Left by an earlier run or a failed delete, it would unlock silently
    // once the setting is turned off by hand.
    if (settingsManager().requirePasscode()
        && m_keyManager->keychainExists(KeyManager::rawKeyAccount).value_or(false)) {
        const auto removed = m_keyManager->keychainDelete(KeyManager::rawKeyAccount);
        Log::write(removed ? u"Raw master key deleted from the keychain: a passcode is required"_s
                           : u"Raw master key left in the keychain could not be deleted: "_s
                    + description(removed.error()));
    }
    const auto sealedKey = m_keyManager->findSealedKey();
    // An unreadable keychain is not a missing key: the first-run set-up would
    // make a new key and leave the whole history unreadable.
    if (!sealedKey) {
        m_appState.setUnlocked(false);
        m_appState.setShowUnlockPrompt(true);
        m_securityController->setAuthError(description(sealedKey.error()));
        Log::write(u"Keychain check failed, showing prompt: "_s + description(sealedKey.error()));
        return;
    }
    if (*sealedKey == KeyManager::SealedKey::absent) {
        m_appState.setShowOnboarding(true);
        return;
    }
    if (settingsManager().requirePasscode() || *sealedKey == KeyManager::SealedKey::foundOnlyByReading) {
        m_appState.setUnlocked(false);
        m_appState.setShowUnlockPrompt(true);
        return;
    }
    if (!m_keyManager->unlockFromKeychain(storedFields)) {
        m_appState.setUnlocked(false);
        m_appState.setShowUnlockPrompt(true);
        Log::write(u"Keychain auto-unlock failed, showing prompt"_s);
        return;
    }
    m_appState.setUnlocked(true);
    m_appState.reloadEntries();
    if (m_appState.snippetManager())
        m_appState.loadSnippets();
    Log::write(u"Auto-unlocked (passcode not required)"_s);
}

void AppDelegate::setupObservers()
{
    connect(&m_platform.systemEvents, &SystemEvents::willSleep, this, &AppDelegate::handleSleepOrScreenLock);
    connect(
        &m_platform.systemEvents, &SystemEvents::screenLocked, this, &AppDelegate::handleSleepOrScreenLock);
    connect(&m_appState, &AppStateController::isUnlockedChanged, this, &AppDelegate::handleUnlockChange);
    // Queued: the modal alert waits until what reported the failure is done.
    connect(
        &m_appState, &AppStateController::showAlert, this,
        [this](const QString &title, const QString &text) { m_platform.alerts.showAlert(title, text); },
        Qt::QueuedConnection);
    // A lock, not the lock screen, makes a dialog's answer count for nothing.
    OpenDialogs::setScope(this, [this] { return m_appState.noLockFromNow(); });
    connect(
        &m_appState, &AppStateController::isSecureModeActiveChanged, this, &AppDelegate::updateSleepDelay);
    connect(&settingsManager(), &SettingsManager::lockOnSleepChanged, this, &AppDelegate::updateSleepDelay);
    connect(
        &settingsManager(), &SettingsManager::requirePasscodeChanged, this, &AppDelegate::updateSleepDelay);
    handleUnlockChange(m_appState.isUnlocked());
}

bool AppDelegate::locksOnSleep()
{
    SettingsManager &settings = settingsManager();
    return settings.lockOnSleep() && (settings.requirePasscode() || m_appState.isSecureModeActive());
}

void AppDelegate::handleSleepOrScreenLock()
{
    if (locksOnSleep())
        m_securityController->lockNow();
}

void AppDelegate::updateSleepDelay()
{
    // Released once the vault is locked, which is all sleep waits for.
    m_platform.systemEvents.holdSleepDelay(m_appState.isUnlocked() && locksOnSleep());
}

void AppDelegate::handleUnlockChange(bool unlocked)
{
    Log::write(u"isUnlocked changed to "_s + text(unlocked));
    updateSleepDelay();
    if (!unlocked) {
        m_platform.pasteboard.forgetReadContent();
        OpenDialogs::closeAll();
    }
    if (!m_clipboardMonitor)
        return;
    if (unlocked)
        m_clipboardMonitor->startMonitoring();
    else
        m_clipboardMonitor->stopMonitoring();
}

void AppDelegate::setupIdleTimer()
{
    m_idleTimer.setInterval(idleCheckInterval);
    m_idleTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_idleTimer, &QTimer::timeout, this, &AppDelegate::handleIdleTimerTick);
    m_idleTimer.start();
}

void AppDelegate::handleIdleTimerTick()
{
    if (m_securityController)
        m_securityController->checkIdleAutoLock();
}

void AppDelegate::applicationShouldHandleReopen(bool hasVisibleWindows)
{
    // A window behind others is what the user is after when starting the
    // application again.
    if (hasVisibleWindows) {
        VisibleWindows::bringForward();
        return;
    }
    if (m_statusBar)
        m_statusBar->openPanel();
}

void AppDelegate::applicationWillTerminate()
{
    if (m_clipboardMonitor)
        m_clipboardMonitor->stopMonitoring();
    // Saved while the key is loaded, so the lock finds nothing left to save.
    const QuitSaves saves = m_appState.saveEditsBeforeQuit();
    if (m_securityController)
        m_securityController->lockNow();
    QFuture<void> closed;
    if (m_storageManager)
        closed = m_storageManager->closeDatabase();
    Log::write(u"Application terminated"_s);
    // The store's worker must not be torn down in the middle of a statement;
    // a store that hangs must not keep the process alive either.
    const QDeadlineTimer deadline(closeBound);
    while (m_storageManager && !closed.isFinished() && !deadline.hasExpired())
        QThread::msleep(5);
    // No window or alert shows any more: the log is all that can tell.
    if (saves.isEmpty())
        return;
    if (const QuitSaves::Answer answer = saves.answer(); !answer)
        Log::write(u"A snippet edit may be lost: the database did not answer before the end"_s);
    else if (!*answer)
        Log::write(u"A snippet edit was not saved at the end: "_s + description(answer->error()));
}
