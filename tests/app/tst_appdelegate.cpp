#include "app/AppDelegate.h"
#include "app/SecurityController.h"
#include "capture/ClipboardMonitor.h"
#include "crypto/AesGcm.h"
#include "crypto/KeyManager.h"
#include "settings/SettingsManager.h"
#include "store/SecureStorageManager.h"
#include "support/FakeAlerts.h"
#include "support/FakeDeviceAuth.h"
#include "support/FakeDockPresence.h"
#include "support/FakeGlobalHotkey.h"
#include "support/FakeIdleTime.h"
#include "support/FakeKeySender.h"
#include "support/FakeKeychain.h"
#include "support/FakeLoginItem.h"
#include "support/FakePasteboard.h"
#include "support/FakeSound.h"
#include "support/FakeSystemEvents.h"
#include "support/FakeWorkspace.h"
#include "support/FileMode.h"
#include "support/LogCapture.h"
#include "support/TestEntries.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

class AppDelegateTest final : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_home;
    FakeKeychain m_keychain;
    FakeDeviceAuth m_deviceAuth;
    FakeIdleTime m_idleTime;
    FakeSystemEvents m_systemEvents;
    FakeLoginItem m_loginItem;
    FakeDockPresence m_dock;
    FakePasteboard m_pasteboard;
    FakeWorkspace m_workspace;
    FakeSound m_sound;
    FakeAlerts m_alerts;
    FakeKeySender m_keySender;
    FakeGlobalHotkey m_hotkey;
    std::unique_ptr<AppDelegate> m_delegate;

    QString settingsFile() const { return m_home->filePath(u"config/Vantorell/Vantorell.conf"_s); }

    void seedVault(bool rawKey)
    {
        m_keychain.items.insert(KeyManager::sealedKeyAccount, QByteArray(60, 's'));
        m_keychain.items.insert(KeyManager::saltAccount, QByteArray(32, 'n'));
        if (rawKey)
            m_keychain.items.insert(KeyManager::rawKeyAccount, QByteArray(32, 'k'));
    }

    AppDelegate &create()
    {
        m_delegate = std::make_unique<AppDelegate>(AppPlatform {.keychain = m_keychain,
            .deviceAuth = m_deviceAuth,
            .idleTime = m_idleTime,
            .systemEvents = m_systemEvents,
            .loginItem = m_loginItem,
            .dockPresence = m_dock,
            .settingsFile = settingsFile(),
            .pasteboard = m_pasteboard,
            .workspace = m_workspace,
            .keySender = m_keySender,
            .globalHotkey = m_hotkey,
            .sound = m_sound,
            .alerts = m_alerts});
        return *m_delegate;
    }

    // Launches and waits for the unlock decision, which follows the store's
    // opening.
    void launch(bool requirePasscode = false)
    {
        LogCapture log;
        create().settingsManager().setRequirePasscode(requirePasscode);
        m_delegate->applicationDidFinishLaunching();
        QTRY_VERIFY(log.contains(u"[Vantorell] Database initialized"_s)
            || log.contains(u"[Vantorell] Database initialization failed"_s));
    }

    // As the first run does, with no passcode required.
    void setUpVault()
    {
        launch();
        QVERIFY(m_delegate->appState().showOnboarding());
        QVERIFY(m_delegate->securityController()->completePasscodeSetup(u"pass"_s));
    }

    // count entries sealed under the present key, a minute apart from first.
    void insertEntries(int count, const QDateTime &first)
    {
        SecureStorageManager &store = *m_delegate->storageManager();
        for (int i = 0; i < count; ++i) {
            ClipboardEntry entry = sealedEntry(store.encryptionService(), ContentType::plainText, "one");
            entry.createdAt = first.addSecs(60 * i);
            store.insertEntry(entry).waitForFinished();
        }
    }

    void launchUnlocked()
    {
        seedVault(true);
        launch();
        QVERIFY(m_delegate->appState().isUnlocked());
    }

private slots:
    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        qputenv("HOME", m_home->path().toUtf8());
        qputenv("XDG_DATA_HOME", m_home->filePath(u"data"_s).toUtf8());
        m_keychain = FakeKeychain();
        m_alerts.events.clear();
    }

    void cleanup()
    {
        m_delegate.reset();
        qunsetenv("APP_SANDBOX_CONTAINER_ID");
    }

    void launchOutcomes_data()
    {
        QTest::addColumn<bool>("sealedKey");
        QTest::addColumn<bool>("rawKey");
        QTest::addColumn<bool>("requirePasscode");
        QTest::addColumn<bool>("onboarding");
        QTest::addColumn<bool>("unlocked");
        QTest::addColumn<bool>("prompt");

        QTest::newRow("no key: first-run setup") << false << false << false << true << false << false;
        QTest::newRow("key and passcode: prompt") << true << true << true << false << false << true;
        QTest::newRow("key, no passcode: silent unlock") << true << true << false << false << true << false;
        QTest::newRow("silent unlock fails: prompt") << true << false << false << false << false << true;
    }

    void launchOutcomes()
    {
        QFETCH(bool, sealedKey);
        QFETCH(bool, rawKey);
        QFETCH(bool, requirePasscode);
        QFETCH(bool, onboarding);
        QFETCH(bool, unlocked);
        QFETCH(bool, prompt);
        if (sealedKey)
            seedVault(rawKey);
        launch(requirePasscode);

        const AppStateController &state = m_delegate->appState();
        QCOMPARE(state.showOnboarding(), onboarding);
        QCOMPARE(state.isUnlocked(), unlocked);
        QCOMPARE(state.showUnlockPrompt(), prompt);
        QCOMPARE(m_delegate->clipboardMonitor()->isMonitoring(), unlocked);
        QCOMPARE(m_hotkey.registered(), FakeGlobalHotkey::Chord(9, 0x120000));
        // A required passcode never reads the raw key, and deletes one left behind.
        QCOMPARE(m_keychain.calls.contains(u"load raw-master-key"_s), sealedKey && !requirePasscode);
        QCOMPARE(m_keychain.items.contains(KeyManager::rawKeyAccount), rawKey && !requirePasscode);
    }

    void keychainErrorIsNeverNoKey()
    {
        seedVault(true);
        m_keychain.unavailable = KeychainError {2, u"The keyring is locked"_s};
        launch();
        const AppStateController &state = m_delegate->appState();
        QVERIFY(!state.showOnboarding());
        QVERIFY(!state.isUnlocked());
        QVERIFY(state.showUnlockPrompt());
        QVERIFY(m_delegate->securityController()->authError().contains(u"The keyring is locked"_s));
        QVERIFY(!m_keychain.calls.contains(u"store master-encryption-key"_s));
    }

    // The check can ask another keyring than the one the keys are read from;
    // a set-up there would replace the vault's key.
    void vaultTheCheckMissesIsNeverSetUpAgain()
    {
        seedVault(true);
        m_keychain.existsAnswer = false;
        launch();
        const AppStateController &state = m_delegate->appState();
        QVERIFY(!state.showOnboarding());
        QVERIFY(!state.isUnlocked());
        QVERIFY(state.showUnlockPrompt());
        QCOMPARE(m_keychain.items.value(KeyManager::sealedKeyAccount), QByteArray(60, 's'));
    }

    void silentUnlockNeedsTheHistorysKey_data()
    {
        // keyCheck: the keyring was set up with its key check, not before
        // the check existed. earlierKeyRows: history left by a vault whose
        // keyring was reset or lost, older than the present vault's rows.
        QTest::addColumn<bool>("keyCheck");
        QTest::addColumn<int>("earlierKeyRows");
        QTest::addColumn<int>("ownKeyRows");
        QTest::addColumn<bool>("wrongRawKey");
        QTest::addColumn<bool>("unlocked");

        QTest::newRow("set up again over an older history") << true << 3 << 1 << false << true;
        QTest::newRow("wrong key, empty history") << true << 0 << 0 << true << false;
        QTest::newRow("from before the check: its own key") << false << 0 << 1 << false << true;
        QTest::newRow("from before the check: wrong key") << false << 0 << 1 << true << false;
    }

    // Adopted, another key would seal new captures apart from the history;
    // refused, the vault's own key would ask for a passcode at every launch.
    void silentUnlockNeedsTheHistorysKey()
    {
        QFETCH(bool, keyCheck);
        QFETCH(int, earlierKeyRows);
        QFETCH(int, ownKeyRows);
        QFETCH(bool, wrongRawKey);
        QFETCH(bool, unlocked);
        const QDateTime start = QDateTime::currentDateTimeUtc().addSecs(-3600);
        if (earlierKeyRows > 0) {
            setUpVault();
            insertEntries(earlierKeyRows, start);
            m_delegate.reset();
            m_keychain = FakeKeychain();
        }
        setUpVault();
        insertEntries(ownKeyRows, start.addSecs(600));
        m_delegate.reset();
        if (!keyCheck)
            m_keychain.items.remove(KeyManager::keyCheckAccount);
        const QByteArray ownKey = m_keychain.items.value(KeyManager::rawKeyAccount);
        if (wrongRawKey)
            m_keychain.items.insert(KeyManager::rawKeyAccount, QByteArray(KeyManager::keySize, 'w'));

        launch();
        const AppStateController &state = m_delegate->appState();
        QCOMPARE(state.isUnlocked(), unlocked);
        QCOMPARE(state.showUnlockPrompt(), !unlocked);
        QCOMPARE(m_delegate->keyManager()->hasMasterKey(), unlocked);
        if (unlocked)
            QTRY_COMPARE(state.clipboardEntries().size(), earlierKeyRows + ownKeyRows);
        // Stored once a key from before the check is adopted; never made
        // under a refused key.
        const QByteArray check = m_keychain.items.value(KeyManager::keyCheckAccount);
        QCOMPARE(AesGcm::open(ownKey, check).has_value(), keyCheck || unlocked);
    }

    void unreadableSettingsKeepTheLock_data()
    {
        // damaged: the file's bytes; empty for a folder in its place.
        QTest::addColumn<QByteArray>("damaged");
        QTest::addColumn<bool>("sandboxed");
        QTest::addColumn<bool>("rawKey");
        QTest::addColumn<bool>("keyringFails");
        // The check asks another keyring than the one the keys are read from.
        QTest::addColumn<bool>("checkMisses");
        QTest::addColumn<bool>("required");
        const QByteArray cutShort = QByteArray(R"({"settings.security.requirePasscode": t)") + '\0' + '\x04';
        const QByteArray garbage = QByteArray::fromHex("89deadbeef00ff7f80");
        QTest::newRow("cut short, passcode vault") << cutShort << false << false << false << false << true;
        QTest::newRow("garbage, sandboxed, passcode vault")
            << garbage << true << false << false << false << true;
        QTest::newRow("folder, no passcode") << QByteArray() << false << true << false << false << false;
        QTest::newRow("keyring cannot tell") << cutShort << false << true << true << false << true;
        QTest::newRow("check misses the vault") << cutShort << false << false << false << true << true;
    }

    // Read as defaults, the next passcode unlock would store the raw key and
    // the start after it would open the vault with no passcode, unannounced.
    void unreadableSettingsKeepTheLock()
    {
        QFETCH(QByteArray, damaged);
        QFETCH(bool, sandboxed);
        QFETCH(bool, rawKey);
        QFETCH(bool, keyringFails);
        QFETCH(bool, checkMisses);
        QFETCH(bool, required);
        seedVault(rawKey);
        QVERIFY(damaged.isEmpty() ? QDir().mkpath(settingsFile() + u"/inside"_s)
                                  : writeFile(settingsFile(), damaged));
        if (sandboxed)
            qputenv("APP_SANDBOX_CONTAINER_ID", "net.quenlax.Vantorell");
        if (keyringFails)
            m_keychain.unavailable = KeychainError {2, u"The keyring is locked"_s};
        if (checkMisses)
            m_keychain.existsAnswer = false;

        LogCapture log;
        create().applicationDidFinishLaunching();
        QTRY_VERIFY(log.contains(u"[Vantorell] Database initialized"_s));
        QCOMPARE(m_delegate->settingsManager().requirePasscode(), required);
        QCOMPARE(readFile(settingsFile()).contains(R"("settings.security.requirePasscode": true)"), required);
        QCOMPARE(m_keychain.calls.contains(u"load raw-master-key"_s), !required);
        const QDir folder = QFileInfo(settingsFile()).dir();
        const QStringList kept = folder.entryList({u"Vantorell.conf.unreadable-*"_s}, QDir::AllEntries);
        QCOMPARE(kept.size(), 1);
        QTRY_COMPARE(m_alerts.events.size(), 1);
        QVERIFY(m_alerts.events[0].contains(folder.filePath(kept[0])));
    }

    void failedDatabaseOpenIsReported()
    {
        // A file where the data folder should be.
        QVERIFY(writeFile(m_home->filePath(u"data"_s), {}));
        launch();
        QVERIFY(!m_delegate->storageManager()->isOpen());
        QVERIFY(m_delegate->appState().showOnboarding());
    }

    void sleepAndScreenLockMatrix_data()
    {
        QTest::addColumn<bool>("lockOnSleep");
        QTest::addColumn<bool>("requirePasscode");
        QTest::addColumn<bool>("privateSession");
        QTest::addColumn<bool>("locks");
        QTest::newRow("lock on sleep off") << false << true << true << false;
        QTest::newRow("nothing to guard") << true << false << false << false;
        QTest::newRow("passcode") << true << true << false << true;
        QTest::newRow("private session") << true << false << true << true;
    }

    void sleepAndScreenLockMatrix()
    {
        QFETCH(bool, lockOnSleep);
        QFETCH(bool, requirePasscode);
        QFETCH(bool, privateSession);
        QFETCH(bool, locks);
        for (const bool sleep : {true, false}) {
            launchUnlocked();
            SettingsManager &settings = m_delegate->settingsManager();
            settings.setLockOnSleep(lockOnSleep);
            settings.setRequirePasscode(requirePasscode);
            m_delegate->appState().setSecureModeActive(privateSession);
            // Sleep waits for the lock, and only when there is one.
            QCOMPARE(m_systemEvents.sleepDelayHeld(), locks);
            const int forgotten = m_pasteboard.forgetCount();
            if (sleep)
                m_systemEvents.sleep();
            else
                m_systemEvents.lockScreen();
            // The key goes at once, the published state on the next turn.
            QCOMPARE(m_delegate->keyManager()->hasMasterKey(), !locks);
            QTRY_COMPARE(m_delegate->appState().isUnlocked(), !locks);
            QCOMPARE(m_delegate->clipboardMonitor()->isMonitoring(), !locks);
            QVERIFY(!m_systemEvents.sleepDelayHeld());
            QCOMPARE(m_pasteboard.forgetCount() > forgotten, locks);
            m_delegate.reset();
        }
    }

    // With the usual umask, every local user could read the audit log, the
    // history's metadata and the settings. The database is left by an
    // earlier version; the settings are new.
    void filesAtRestAreThisUsersAlone()
    {
        const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        const QString database = data + u"/vantorell.db"_s;
        for (const QString &suffix : {u""_s, u"-wal"_s, u"-shm"_s})
            QVERIFY(writeFile(database + suffix, {}));

        launchUnlocked();
        for (const QString &folder : {data, QFileInfo(settingsFile()).path()})
            QCOMPARE(fileMode(folder), 0700);
        for (const QString &file : {database, database + u"-wal"_s, database + u"-shm"_s, settingsFile()})
            QCOMPARE(fileMode(file), 0600);
    }

    void ownPasteIsNotCapturedAgain()
    {
        launchUnlocked();
        m_delegate->settingsManager().setAutoPaste(false);
        m_delegate->appState().paste().pasteText(u"pasted"_s);
        QCOMPARE(m_delegate->clipboardMonitor()->ownChangeCount(), m_pasteboard.changeCount());
        m_delegate->appState().paste().pasteSnippet(Snippet {.content = u"n{{counter}}"_s});
        QCOMPARE(m_pasteboard.string(), u"n1"_s);
        QCOMPARE(m_delegate->clipboardMonitor()->ownChangeCount(), m_pasteboard.changeCount());
        m_pasteboard.copy(PasteboardItem::fromString(u"copied"_s));
        QTRY_VERIFY(m_delegate->clipboardMonitor()->latestEntry().has_value());
    }

    void terminationLocksAndClosesTheStore()
    {
        launchUnlocked();
        m_delegate->applicationWillTerminate();
        QVERIFY(!m_delegate->clipboardMonitor()->isMonitoring());
        QVERIFY(!m_delegate->keyManager()->hasMasterKey());
        QVERIFY(!m_delegate->storageManager()->isOpen());
    }

    void terminationBeforeTheStoreOpened()
    {
        create().applicationDidFinishLaunching();
        m_delegate->applicationWillTerminate();
        QVERIFY(!m_delegate->storageManager()->isOpen());
    }
};

QTEST_MAIN(AppDelegateTest)
#include "tst_appdelegate.moc"
