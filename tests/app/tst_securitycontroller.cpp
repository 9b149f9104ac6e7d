#include "app/SecurityController.h"
#include "crypto/EncryptionService.h"
#include "crypto/KeyManager.h"
#include "support/AwaitFuture.h"
#include "support/FakeAppStateAccess.h"
#include "support/FakeClock.h"
#include "support/FakeDeviceAuth.h"
#include "support/FakeIdleTime.h"
#include "support/FakeKeychain.h"
#include "support/FileSizeLimit.h"
#include "support/LogCapture.h"
#include "support/OwnerPermissions.h"
#include "support/RawDatabase.h"
#include "support/StoreFixture.h"
#include "support/TestEntries.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QString passcode = u"correct horse"_s;

} // namespace

class SecurityControllerTest final : public QObject {
    Q_OBJECT

private:
    // Made before any store, whose worker then obeys a read-only folder.
    OwnerPermissions m_permissions;
    std::unique_ptr<FakeClock> m_clock;
    FakeKeychain m_keychain;
    FakeDeviceAuth m_deviceAuth;
    FakeIdleTime m_idle;
    std::unique_ptr<FakeAppStateAccess> m_appState;
    std::unique_ptr<KeyManager> m_keys;
    std::unique_ptr<EncryptionService> m_encryption;
    std::unique_ptr<StoreFixture> m_f;
    SecureStorageManager *m_store = nullptr;
    SettingsManager *m_settings = nullptr;
    std::unique_ptr<SecurityController> m_controller;

    // Runs the queued steps, then everything they gave the store.
    void settle()
    {
        QCoreApplication::processEvents();
        awaitFuture(m_store->entryCount());
    }
    QString databasePath() const { return m_f->databasePath(); }
    QStringList auditRows()
    {
        settle();
        return RawDatabase(databasePath())
            .texts("SELECT event_type || ' ' || IFNULL(detail, '-') FROM audit_log ORDER BY rowid");
    }
    // History, snippet and audit rows.
    qint64 databaseRows()
    {
        settle();
        return RawDatabase(databasePath())
            .count("SELECT (SELECT COUNT(*) FROM clipboard_entries) + (SELECT COUNT(*) FROM snippets)"
                   " + (SELECT COUNT(*) FROM audit_log)");
    }
    void setUpVault()
    {
        QVERIFY(m_controller->completePasscodeSetup(passcode));
        settle();
        m_appState->calls.clear();
    }
    void failTimes(int count)
    {
        for (int i = 0; i < count; ++i)
            m_controller->recordFailedAttempt();
    }

private slots:
    void init()
    {
        m_clock = std::make_unique<FakeClock>();
        m_keychain = FakeKeychain();
        m_deviceAuth = FakeDeviceAuth();
        m_idle.set(std::nullopt);
        m_appState = std::make_unique<FakeAppStateAccess>();
        m_keys = std::make_unique<KeyManager>(m_keychain, m_deviceAuth);
        m_encryption = std::make_unique<EncryptionService>(m_keys->masterKey());
        m_f = std::make_unique<StoreFixture>(*m_encryption, *m_clock);
        m_store = &m_f->store;
        m_settings = &m_f->settings;
        m_appState->store = m_store;
        m_controller = std::make_unique<SecurityController>(
            *m_keys, *m_appState, *m_settings, m_deviceAuth, m_idle, *m_clock);
    }

    void cleanup()
    {
        m_controller.reset();
        m_f.reset();
        m_encryption.reset();
        m_keys.reset();
        m_appState.reset();
    }

    void failedAttempts_data()
    {
        QTest::addColumn<int>("attempts");
        QTest::addColumn<qint64>("counter");
        QTest::addColumn<QString>("message");
        QTest::newRow("ninth") << 9 << 9LL << u"Incorrect passcode. 1 attempts remaining."_s;
        QTest::newRow("tenth locks out") << 10 << 0LL << u"Too many failed attempts. Locked for 5 minutes."_s;
    }
    void failedAttempts()
    {
        QFETCH(int, attempts);
        QFETCH(qint64, counter);
        QFETCH(QString, message);
        failTimes(attempts);
        QCOMPARE(m_controller->failedAttempts(), counter);
        QCOMPARE(m_controller->authError(), message);
        const QStringList audit = auditRows();
        QCOMPARE(audit.size(), attempts);
        QCOMPARE(audit.last(), u"auth_failed Attempt %1"_s.arg(attempts));
    }

    // The lock-out runs on time that the wall clock cannot move but that
    // counts through suspend.
    void lockout_data()
    {
        QTest::addColumn<std::chrono::milliseconds>("wait");
        QTest::addColumn<bool>("wallClockDayAhead");
        QTest::addColumn<QString>("message");
        QTest::newRow("0.4 s left") << 299'600ms << false << u"Too many failed attempts. Try again in 0s."_s;
        QTest::newRow("date set a day ahead")
            << 0ms << true << u"Too many failed attempts. Try again in 300s."_s;
        QTest::newRow("over") << 300'000ms << false << u"Incorrect passcode. 9 attempts remaining."_s;
    }
    void lockout()
    {
        QFETCH(std::chrono::milliseconds, wait);
        QFETCH(bool, wallClockDayAhead);
        QFETCH(QString, message);
        setUpVault();
        failTimes(10);
        m_clock->advance(wait);
        if (wallClockDayAhead)
            m_clock->setWallTime(m_clock->now().addDays(1));
        QVERIFY(!m_controller->attemptUnlock(u"wrong"_s));
        QCOMPARE(m_controller->authError(), message);
    }

    // Only a passcode that does not open the key counts; the rest is no
    // mistake of the user's and must not lead to a lock-out.
    void unlockFailures_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("message");
        QTest::addColumn<qint64>("counter");
        QTest::addColumn<bool>("setup");
        QTest::newRow("wrong passcode")
            << u""_s << u"Incorrect passcode. 9 attempts remaining."_s << 1LL << false;
        QTest::newRow("salt missing") << u"salt"_s << u"Encryption salt not found"_s << 0LL << false;
        QTest::newRow("sealed key cut short")
            << u"short"_s << description(CipherError::incorrectParameterSize) << 0LL << false;
        // Set-up would replace the key the history is sealed under.
        QTest::newRow("keychain unavailable")
            << u"unavailable"_s << u"Keyring unavailable: locked"_s << 0LL << false;
        QTest::newRow("no vault yet") << u"no vault"_s << QString() << 0LL << true;
        // The check asked another keyring than the one the key is read from.
        QTest::newRow("vault the check misses")
            << u"unseen"_s << u"Incorrect passcode. 9 attempts remaining."_s << 1LL << false;
    }
    void unlockFailures()
    {
        QFETCH(QString, damage);
        QFETCH(QString, message);
        QFETCH(qint64, counter);
        QFETCH(bool, setup);
        setUpVault();
        m_keys->dropMasterKey();
        if (damage == u"salt"_s) {
            m_keychain.items.remove(KeyManager::saltAccount);
        } else if (damage == u"short"_s) {
            m_keychain.items[KeyManager::sealedKeyAccount].truncate(20);
        } else if (damage == u"unavailable"_s) {
            m_keychain.unavailable = KeychainError {1, u"locked"_s};
        } else if (damage == u"no vault"_s) {
            m_keys->deleteAllKeys();
        } else if (damage == u"unseen"_s) {
            m_keychain.existsAnswer = false;
        }
        QVERIFY(!m_controller->attemptUnlock(u"wrong"_s));
        QCOMPARE(m_controller->authError(), message);
        QCOMPARE(m_controller->failedAttempts(), counter);
        QCOMPARE(auditRows().filter(u"auth_failed"_s).size(), m_controller->failedAttempts());
        QCOMPARE(m_appState->showOnboarding, setup);
    }

    void unlock_data()
    {
        QTest::addColumn<bool>("requirePasscode");
        QTest::addColumn<bool>("useBiometrics");
        QTest::newRow("silent unlock allowed") << false << false;
        QTest::newRow("passcode and biometrics") << true << true;
    }
    void unlock()
    {
        QFETCH(bool, requirePasscode);
        QFETCH(bool, useBiometrics);
        m_keychain.biometricsSupported = true;
        m_settings->setRequirePasscode(requirePasscode);
        m_settings->setUseBiometrics(useBiometrics);
        setUpVault();
        m_keychain.items.remove(KeyManager::rawKeyAccount);
        m_controller->lockNow();
        failTimes(3);
        m_clock->advance(1h);
        settle();
        m_appState->calls.clear();

        QVERIFY(m_controller->attemptUnlock(passcode));
        QCOMPARE(m_appState->calls,
            (QStringList {u"unlocked=true"_s, u"showUnlockPrompt=false"_s, u"reloadEntries"_s}));
        QCOMPARE(m_controller->failedAttempts(), 0);
        QCOMPARE(m_controller->authError(), QString());
        QCOMPARE(m_controller->lastActivityTime(), m_clock->elapsed());
        QCOMPARE(m_keychain.items.contains(KeyManager::rawKeyAccount), !requirePasscode);
        QCOMPARE(m_keychain.protectedItems.contains(KeyManager::biometricKeyAccount), useBiometrics);
        QCOMPARE(auditRows().last(), u"app_unlocked -"_s);
        QCOMPARE(m_appState->calls.last(), u"loadSnippets"_s);
    }

    // Biometric unlock is never blocked by the lock-out nor counted.
    void biometricUnlock_data()
    {
        QTest::addColumn<DeviceAuth::Reply>("answer");
        QTest::addColumn<QString>("message");
        QTest::newRow("during a lock-out") << DeviceAuth::Reply(true) << QString();
        QTest::newRow("cancelled") << DeviceAuth::Reply(
            std::unexpected(DeviceAuthError {DeviceAuthError::Code::userCancel, u"Canceled"_s}))
                                   << u"Canceled"_s;
    }
    void biometricUnlock()
    {
        QFETCH(DeviceAuth::Reply, answer);
        QFETCH(QString, message);
        m_keychain.biometricsSupported = m_deviceAuth.biometricsAvailable = true;
        m_settings->setUseBiometrics(true);
        setUpVault();
        QVERIFY(m_keys->storeBiometricKey());
        m_controller->lockNow();
        failTimes(answer ? 10 : 3);
        const qint64 counter = m_controller->failedAttempts();
        m_deviceAuth.answer = answer;

        std::optional<bool> opened;
        m_controller->attemptBiometricUnlock([&](bool done) { opened = done; });
        QVERIFY(QTest::qWaitFor([&] { return opened.has_value(); }));
        QCOMPARE(*opened, answer.has_value());
        QCOMPARE(m_keys->hasMasterKey(), answer.has_value());
        QCOMPARE(m_controller->authError(), message);
        QCOMPARE(m_controller->failedAttempts(), answer ? 0 : counter);
        if (answer)
            QVERIFY(m_controller->attemptUnlock(passcode));
    }

    // The idle time is the shorter of the system's and the application's
    // own; -1 for the system's: no display.
    void idleCheck_data()
    {
        QTest::addColumn<bool>("unlocked");
        QTest::addColumn<QString>("guard");
        QTest::addColumn<qint64>("timeout");
        QTest::addColumn<qint64>("systemIdle");
        QTest::addColumn<qint64>("sinceActivity");
        QTest::addColumn<bool>("locks");
        QTest::newRow("locked") << false << u"passcode"_s << 1LL << 312LL << 312LL << false;
        QTest::newRow("nothing to guard") << true << u"neither"_s << 1LL << 312LL << 312LL << false;
        QTest::newRow("auto-lock off") << true << u"passcode"_s << 0LL << 312LL << 312LL << false;
        QTest::newRow("passcode, quiet") << true << u"passcode"_s << 5LL << 312LL << 312LL << true;
        QTest::newRow("private session, quiet") << true << u"private"_s << 1LL << 312LL << 312LL << true;
        QTest::newRow("typed 30 s ago") << true << u"passcode"_s << 1LL << 30LL << 3600LL << false;
        QTest::newRow("used the app 30 s ago") << true << u"passcode"_s << 1LL << 3600LL << 30LL << false;
        QTest::newRow("no display") << true << u"passcode"_s << 5LL << -1LL << 312LL << true;
        QTest::newRow("59 s of 1 min") << true << u"private"_s << 1LL << 59LL << 59LL << false;
        QTest::newRow("299 s of 5 min") << true << u"passcode"_s << 5LL << 299LL << 299LL << false;
        QTest::newRow("absurd timeout") << true << u"passcode"_s << std::numeric_limits<qint64>::max()
                                        << 1'000'000'000LL << 1'000'000'000LL << false;
    }
    void idleCheck()
    {
        QFETCH(bool, unlocked);
        QFETCH(QString, guard);
        QFETCH(qint64, timeout);
        QFETCH(qint64, systemIdle);
        QFETCH(qint64, sinceActivity);
        QFETCH(bool, locks);
        m_appState->unlocked = unlocked;
        m_settings->setRequirePasscode(guard == u"passcode"_s);
        m_appState->secureModeActive = guard == u"private"_s;
        m_settings->setAutoLockTimeout(timeout);
        m_clock->advance(std::chrono::seconds(sinceActivity));
        // Setting the date must neither hasten nor prevent the lock.
        m_clock->setWallTime(m_clock->now().addDays(-1));
        if (systemIdle >= 0)
            m_idle.set(std::chrono::seconds(systemIdle));

        m_controller->checkIdleAutoLock();
        QCOMPARE(auditRows().contains(u"app_locked -"_s), locks);
    }

    void endToEnd()
    {
        m_keychain.biometricsSupported = true;
        m_settings->setRequirePasscode(true);
        m_settings->setUseBiometrics(true);
        setUpVault();
        QVERIFY(m_keys->storeBiometricKey());
        QVERIFY(m_keys->storeRawMasterKey());
        m_settings->setSnippetFolders({u"Work"_s});
        m_settings->setMaxHistoryCount(42);
        const QList<ExcludedApp> excluded = m_settings->excludedApps();
        awaitFuture(m_store->insertEntry(sealedEntry(*m_encryption, ContentType::plainText, "secret copy")));
        Snippet snippet;
        snippet.id = QUuid::createUuid();
        snippet.title = u"Greeting"_s;
        QVERIFY(awaitFuture(m_store->insertSnippet(snippet)));

        // The key goes at once, the published state on the next turn.
        m_controller->lockNow();
        QVERIFY(!m_keys->hasMasterKey());
        QCOMPARE(m_appState->calls, QStringList {u"prepareForLock"_s});
        m_controller->lockNow();
        settle();
        QCOMPARE(m_appState->calls.mid(1, 4),
            (QStringList {u"prepareForLock"_s, u"unlocked=false"_s, u"showUnlockPrompt=true"_s,
                u"clearPublishedLists"_s}));

        QVERIFY(!m_controller->attemptUnlock(u"wrong"_s));
        QVERIFY(m_controller->attemptUnlock(passcode));
        const QList<ClipboardEntry> entries = awaitFuture(m_store->fetchAllEntries()).entries;
        QCOMPARE(entries.size(), 1);
        QCOMPARE(*m_encryption->decrypt(entries[0].encryptedContent), QByteArray("secret copy"));
        QCOMPARE(auditRows(),
            (QStringList {u"app_unlocked -"_s, u"app_locked -"_s, u"app_locked -"_s,
                u"auth_failed Attempt 1"_s, u"app_unlocked -"_s}));

        m_appState->secureModeActive = true;
        m_controller->recordFailedAttempt();
        m_appState->calls.clear();
        m_controller->beginFullReset();
        QCOMPARE(m_appState->calls, QStringList {u"stopMonitoring"_s});
        QVERIFY(!m_keys->hasMasterKey());
        QVERIFY(m_keychain.items.isEmpty());
        QVERIFY(QTest::qWaitFor([&] { return m_appState->calls.size() > 1; }));
        QCOMPARE(m_appState->calls.mid(1),
            (QStringList {u"clearPublishedLists"_s, u"secureModeActive=false"_s, u"resumeCapture"_s,
                u"clearLastContentHash"_s, u"showOnboarding=true"_s, u"showUnlockPrompt=false"_s,
                u"unlocked=false"_s}));
        QCOMPARE(databaseRows(), 0);
        QVERIFY(!m_settings->requirePasscode());
        QVERIFY(!m_settings->useBiometrics());
        QCOMPARE(m_settings->snippetFolders(), QStringList());
        QCOMPARE(m_settings->maxHistoryCount(), 42LL);
        QCOMPARE(m_settings->excludedApps().size(), excluded.size());
        QCOMPARE(m_controller->failedAttempts(), 0LL);
        QCOMPARE(m_controller->authError(), QString());
    }

    // Edits still open when the vault locks are saved from the lock's first
    // step; sealed after the key went, they would be lost.
    void aWriteStartedAsTheVaultLocksIsStored()
    {
        setUpVault();
        Snippet snippet;
        snippet.id = QUuid::createUuid();
        snippet.title = u"Typed before the lock"_s;
        QFuture<SnippetManager::Result> saved;
        m_appState->onPrepareForLock = [&] { saved = m_store->insertSnippet(snippet); };
        m_controller->lockNow();
        QVERIFY(!m_keys->hasMasterKey());
        QVERIFY(awaitFuture(saved).has_value());
        QVERIFY(m_controller->attemptUnlock(passcode));
        const QList<Snippet> stored = awaitFuture(m_store->fetchSnippets()).snippets;
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored.first().title, snippet.title);
    }

    // A wipe the database refuses removes its files instead, and only a
    // file that stays is told; set-up follows either way.
    // The history says what the store keeps after the reset: nothing, and
    // why, only while no database is open.
    void refusedWipeRemovesTheFilesOrIsTold_data()
    {
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<qint64>("rowsLeft");
        QTest::addColumn<bool>("storeOpen");
        QTest::newRow("files removed") << u"locked"_s << 0LL << true;
        QTest::newRow("folder read-only") << u"read-only"_s << 1LL << true;
        QTest::newRow("no room for a new one") << u"full"_s << 0LL << false;
    }

    void refusedWipeRemovesTheFilesOrIsTold()
    {
        QFETCH(QString, refusal);
        QFETCH(qint64, rowsLeft);
        QFETCH(bool, storeOpen);
        setUpVault();
        m_appState->databaseError = u"left from the launch"_s;
        std::optional<RawDatabase> blocker;
        if (refusal != u"full"_s) {
            blocker.emplace(databasePath());
            QVERIFY(blocker->run("BEGIN EXCLUSIVE"));
        }
        const QString folder = QFileInfo(databasePath()).path();
        const QFile::Permissions writable = QFile::permissions(folder);
        QVERIFY(
            refusal != u"read-only"_s || QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        if (refusal == u"full"_s)
            limitFileSize(0);
        LogCapture log;
        m_controller->beginFullReset();
        QVERIFY(QTest::qWaitFor([&] { return m_appState->showOnboarding; }));
        limitFileSize(RLIM_INFINITY);
        QVERIFY(QFile::setPermissions(folder, writable));
        QCOMPARE(log.contains(u"[Vantorell] Full reset complete — returning to setup"_s), rowsLeft == 0);
        QCOMPARE(m_store->isOpen(), storeOpen);
        const QString error = m_appState->databaseError;
        QCOMPARE(error.isEmpty(), storeOpen);
        QVERIFY(
            storeOpen || error.startsWith(u"Couldn't open "_s + QDir::toNativeSeparators(databasePath())));
        if (blocker)
            QVERIFY(blocker->run("ROLLBACK"));
        QCOMPARE(databaseRows(), rowsLeft);
        QStringList alerts;
        if (rowsLeft > 0)
            alerts << u"The history couldn't be erased|Couldn't remove "_s
                    + QDir::toNativeSeparators(databasePath())
                    + u": Permission denied. The erased vault's items stay on disk, in Vantorell's data "
                      "folder: their contents can't be opened without the erased keys, but their times, "
                      "kinds, flags and source applications, and the audit log, can still be read."_s;
        QCOMPARE(m_appState->alerts, alerts);
    }
};

QTEST_GUILESS_MAIN(SecurityControllerTest)
#include "tst_securitycontroller.moc"
