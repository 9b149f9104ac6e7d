#include "app/SecurityController.h"

#include "app/AppStateAccess.h"
#include "base/Log.h"
#include "base/WhenFinished.h"
#include "crypto/KeyManager.h"
#include "platform/IdleTime.h"
#include "records/AuditEvent.h"
#include "settings/SettingsManager.h"
#include "store/SecureStorageManager.h"

#include <QUuid>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace std::chrono;

namespace {

// A passcode that does not open the sealed key; every other failure (a
// missing or damaged item, an unreachable keychain) is no mistake of the
// user's.
bool isWrongPasscode(const KeyManager::Failure &failure)
{
    const auto *cipher = std::get_if<CipherError>(&failure);
    return cipher && *cipher == CipherError::authenticationFailure;
}

} // namespace

SecurityController::SecurityController(KeyManager &keyManager, AppStateAccess &appState,
    SettingsManager &settings, const DeviceAuth &deviceAuth, const IdleTime &idleTime, const Clock &clock,
    QObject *parent)
    : QObject(parent), m_keyManager(keyManager), m_appState(appState), m_settings(settings),
      m_deviceAuth(deviceAuth), m_idleTime(idleTime), m_clock(clock), m_lastActivityTime(clock.elapsed())
{
}

bool SecurityController::attemptUnlock(const QString &passcode)
{
    const auto sealedKey = m_keyManager.findSealedKey();
    // An unreadable keychain is not a missing key: the first-run set-up would
    // replace the key and leave the whole history unreadable.
    if (!sealedKey) {
        setAuthError(description(sealedKey.error()));
        return false;
    }
    if (*sealedKey == KeyManager::SealedKey::absent) {
        m_appState.setShowOnboarding(true);
        return false;
    }

    const milliseconds now = m_clock.elapsed();
    if (m_lockoutUntil && now < *m_lockoutUntil) {
        const auto secondsLeft = duration_cast<seconds>(*m_lockoutUntil - now).count();
        setAuthError(u"Too many failed attempts. Try again in %1s."_s.arg(secondsLeft));
        return false;
    }

    const auto unlocked = m_keyManager.unlockWithPasscode(passcode);
    if (!unlocked) {
        if (isWrongPasscode(unlocked.error()))
            recordFailedAttempt();
        else
            setAuthError(description(unlocked.error()));
        return false;
    }
    if (m_settings.useBiometrics())
        (void)m_keyManager.storeBiometricKey();
    completeUnlock();
    return true;
}

void SecurityController::attemptBiometricUnlock(std::function<void(bool)> done)
{
    // A running lock-out does not apply here, and a failed prompt is not a
    // mistyped passcode.
    m_keyManager.unlockWithBiometrics([this, done = std::move(done)](KeyManager::Result result) {
        if (!result) {
            setAuthError(description(result.error()));
            done(false);
            return;
        }
        completeUnlock();
        done(true);
    });
}

KeyManager::Result SecurityController::completePasscodeSetup(const QString &passcode)
{
    if (auto result = m_keyManager.setupPasscode(passcode); !result)
        return result;
    if (!m_settings.requirePasscode())
        (void)m_keyManager.storeRawMasterKey();
    completeUnlock();
    m_appState.setShowOnboarding(false);
    return {};
}

void SecurityController::completeUnlock()
{
    setFailedAttempts(0);
    m_lockoutUntil.reset();
    setAuthError({});
    m_lastActivityTime = m_clock.elapsed();
    m_appState.setUnlocked(true);
    m_appState.setShowUnlockPrompt(false);
    if (!m_settings.requirePasscode())
        (void)m_keyManager.storeRawMasterKey();
    m_appState.reloadEntries();
    QMetaObject::invokeMethod(
        this, [this] { m_appState.loadSnippets(); }, Qt::QueuedConnection);
    logAuditEvent(AuditEventType::appUnlocked);
    Log::write(
        u"App unlocked (masterKey loaded: %1)"_s.arg(m_keyManager.hasMasterKey() ? u"true"_s : u"false"_s));
}

void SecurityController::recordFailedAttempt()
{
    const qint64 attempt = m_failedAttempts + 1;
    setFailedAttempts(attempt);
    setAuthError(u"Incorrect passcode. %1 attempts remaining."_s.arg(maxFailedAttempts - attempt));
    logAuditEvent(AuditEventType::authFailed, u"Attempt %1"_s.arg(attempt));
    if (attempt < maxFailedAttempts)
        return;
    setFailedAttempts(0);
    m_lockoutUntil = m_clock.elapsed() + lockoutDuration;
    setAuthError(u"Too many failed attempts. Locked for 5 minutes."_s);
    Log::write(u"Account locked out for %1s after %2 failed attempts"_s
                   .arg(QString::number(double(lockoutDuration.count()), 'f', 1))
                   .arg(attempt));
}

bool SecurityController::biometricsAvailable() const
{
    return m_deviceAuth.canEvaluate(DeviceAuth::Policy::biometrics);
}

void SecurityController::recordActivity()
{
    m_lastActivityTime = m_clock.elapsed();
}

void SecurityController::lockNow()
{
    m_appState.prepareForLock();
    m_keyManager.dropMasterKey();
    // The published state follows on the next turn, also for callers on the
    // main thread; a destroyed controller drops the call.
    QMetaObject::invokeMethod(this, &SecurityController::applyLockedState, Qt::QueuedConnection);
    logAuditEvent(AuditEventType::appLocked);
    Log::write(u"App locked"_s);
}

void SecurityController::applyLockedState()
{
    m_appState.setUnlocked(false);
    m_appState.setShowUnlockPrompt(true);
    m_appState.clearPublishedLists();
}

void SecurityController::checkIdleAutoLock()
{
    if (!m_appState.isUnlocked())
        return;
    if (!m_settings.requirePasscode() && !m_appState.isSecureModeActive())
        return;
    const auto minutesLimit = m_settings.autoLockTimeout();
    if (minutesLimit < 1)
        return;

    milliseconds idle = std::max(m_clock.elapsed() - m_lastActivityTime, milliseconds::zero());
    if (const auto systemIdle = m_idleTime.sinceLastInput())
        idle = std::min(idle, *systemIdle);
    // Whole minutes of idle time against the limit: no product that an
    // absurd stored limit could overflow.
    if (duration_cast<minutes>(idle).count() < minutesLimit)
        return;
    lockNow();
    Log::write(u"Auto-locked after %1s idle"_s.arg(duration_cast<seconds>(idle).count()));
}

void SecurityController::beginFullReset()
{
    m_appState.stopMonitoring();
    m_keyManager.deleteAllKeys();
    QMetaObject::invokeMethod(
        this,
        [this] {
            SecureStorageManager *store = m_appState.storageManager();
            if (!store) {
                finishFullReset({});
                return;
            }
            whenFinished(
                this, store->wipeAllData(), [this](const StorageOutcome &wiped) { finishFullReset(wiped); });
        },
        Qt::QueuedConnection);
}

void SecurityController::finishFullReset(const StorageOutcome &wiped)
{
    m_settings.setRequirePasscode(false);
    m_settings.setUseBiometrics(false);
    m_settings.setSnippetFolders({});
    setFailedAttempts(0);
    m_lockoutUntil.reset();
    setAuthError({});
    m_appState.clearPublishedLists();
    m_appState.setSecureModeActive(false);
    m_appState.resumeCapture();
    m_appState.clearLastContentHash();
    m_appState.setShowOnboarding(true);
    m_appState.setShowUnlockPrompt(false);
    m_appState.setUnlocked(false);
    // A store left closed keeps no copy: the history says why rather than
    // showing itself empty; one open again keeps them, whatever it said at
    // launch.
    const SecureStorageManager *store = m_appState.storageManager();
    m_appState.setDatabaseError(!store || store->isOpen() || wiped ? QString() : description(wiped.error()));
    // The reset still ends in set-up, but a history left on disk must not
    // be reported as erased.
    if (wiped || wiped.error().code == StorageError::Code::openFailed) {
        Log::write(u"Full reset complete — returning to setup"_s);
        return;
    }
    Log::write(u"Full reset: erasing the database failed — returning to setup"_s);
    m_appState.raiseAlert(u"The history couldn't be erased"_s,
        description(wiped.error())
            + u". The erased vault's items stay on disk, in Vantorell's data folder: their "
              "contents can't be opened without the erased keys, but their times, kinds, flags "
              "and source applications, and the audit log, can still be read."_s);
}

void SecurityController::logAuditEvent(AuditEventType type, std::optional<QString> detail)
{
    QMetaObject::invokeMethod(
        this,
        [this, type, detail = std::move(detail)] {
            // Silent: a refused audit row takes nothing from what it records.
            if (SecureStorageManager *store = m_appState.storageManager())
                (void)store->logAuditEvent(AuditEvent {QUuid::createUuid(), m_clock.now(), type, detail});
        },
        Qt::QueuedConnection);
}

void SecurityController::setAuthError(const QString &message)
{
    if (m_authError == message)
        return;
    m_authError = message;
    emit authErrorChanged();
}

void SecurityController::setFailedAttempts(qint64 count)
{
    if (m_failedAttempts == count)
        return;
    m_failedAttempts = count;
    emit failedAttemptsChanged();
}
