#pragma once

#include "base/Clock.h"
#include "crypto/KeyManager.h"
#include "records/AuditEventType.h"
#include "store/StorageError.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <optional>

class AppStateAccess;
class IdleTime;
class SettingsManager;

// Decides whether the vault opens: passcode and biometric unlock with the
// count of failed attempts and the lock-out, first-run set-up, locking, the
// idle auto-lock and the full reset. Lives on the main thread.
class SecurityController final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(SecurityController)
    Q_PROPERTY(QString authError READ authError NOTIFY authErrorChanged)
    Q_PROPERTY(qint64 failedAttempts READ failedAttempts NOTIFY failedAttemptsChanged)

public:
    static constexpr qint64 maxFailedAttempts = 10;
    static constexpr std::chrono::seconds lockoutDuration {300};

    SecurityController(KeyManager &keyManager, AppStateAccess &appState, SettingsManager &settings,
        const DeviceAuth &deviceAuth, const IdleTime &idleTime, const Clock &clock = Clock::system(),
        QObject *parent = nullptr);

    // The message for the lock screen; empty when there is nothing to say.
    QString authError() const { return m_authError; }
    qint64 failedAttempts() const { return m_failedAttempts; }

    // True only when the vault opened.
    bool attemptUnlock(const QString &passcode);
    // done runs later on this object's thread, with true only when the
    // vault opened.
    void attemptBiometricUnlock(std::function<void(bool)> done);
    // Creates and stores a new master key under passcode, then unlocks.
    KeyManager::Result completePasscodeSetup(const QString &passcode);
    void completeUnlock();
    void recordFailedAttempt();
    bool biometricsAvailable() const;
    KeyManager &keyManager() const { return m_keyManager; }

    // The last recorded user activity, on the clock's elapsed time.
    std::chrono::milliseconds lastActivityTime() const { return m_lastActivityTime; }
    // Records user activity now.
    void recordActivity();

    void lockNow();
    // One tick of the idle check.
    void checkIdleAutoLock();
    void beginFullReset();
    // Also for the launch, which shows the lock screen with the keychain's
    // error when it cannot tell whether a key exists.
    void setAuthError(const QString &message);

signals:
    void authErrorChanged();
    void failedAttemptsChanged();

private:
    void applyLockedState();
    // wiped: whether the store was erased, or why a file of it stays or the
    // new database did not open.
    void finishFullReset(const StorageOutcome &wiped);
    void logAuditEvent(AuditEventType type, std::optional<QString> detail = std::nullopt);
    void setFailedAttempts(qint64 count);

    KeyManager &m_keyManager;
    AppStateAccess &m_appState;
    SettingsManager &m_settings;
    const DeviceAuth &m_deviceAuth;
    const IdleTime &m_idleTime;
    const Clock &m_clock;

    QString m_authError;
    qint64 m_failedAttempts = 0;
    std::chrono::milliseconds m_lastActivityTime;
    std::optional<std::chrono::milliseconds> m_lockoutUntil;
};
