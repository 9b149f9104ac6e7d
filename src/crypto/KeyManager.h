#pragma once

#include "crypto/CipherError.h"
#include "crypto/KeyManagerError.h"
#include "crypto/MasterKeyHolder.h"
#include "platform/DeviceAuth.h"
#include "platform/Keychain.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <expected>
#include <functional>
#include <variant>

// Owns the vault's master key while unlocked, and its keychain items: the
// key sealed under a passcode-derived key with the derivation's salt and a
// key check, and optional raw copies for silent and biometric unlock. Main
// thread only; the key itself is read from any thread through masterKey().
class KeyManager final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(KeyManager)

public:
    // Cipher and prompt errors are passed on unchanged.
    using Failure = std::variant<KeyManagerError, CipherError, DeviceAuthError>;
    using Result = std::expected<void, Failure>;

    static inline const QString service = QStringLiteral("net.quenlax.Vantorell");
    static inline const QString sealedKeyAccount = QStringLiteral("master-encryption-key");
    static inline const QString saltAccount = QStringLiteral("pbkdf2-salt");
    static inline const QString rawKeyAccount = QStringLiteral("raw-master-key");
    static inline const QString biometricKeyAccount = QStringLiteral("master-encryption-key.biometric");
    // Nothing sealed under the master key, written beside the sealed key:
    // only the vault's own key opens it.
    static inline const QString keyCheckAccount = QStringLiteral("master-encryption-key.check");
    static constexpr int passcodeRounds = 600000;
    static constexpr qsizetype keySize = 32;
    static constexpr qsizetype saltSize = 32;

    KeyManager(Keychain &keychain, DeviceAuth &deviceAuth, QObject *parent = nullptr);
    ~KeyManager() override;

    const MasterKeyHolder &masterKey() const { return m_masterKey; }
    bool hasMasterKey() const { return m_masterKey.isPresent(); }
    void dropMasterKey() { m_masterKey.drop(); }

    Result setupPasscode(QStringView passcode);
    // Also stores the key check where it is missing or was made under
    // another key: the passcode proves the key.
    Result unlockWithPasscode(QStringView passcode);
    // Adopts the raw key only when it opens the key check: a wrong key would
    // seal new items apart from the rest. A keychain set up before the check
    // has none; there the key must open one of storedFields, sealed fields
    // of the stored history (none when the history is empty), and the check
    // is stored once it is adopted. A refused key stays in the keychain.
    Result unlockFromKeychain(const QList<QByteArray> &storedFields = {});
    // done runs later, on this object's thread.
    void unlockWithBiometrics(std::function<void(Result)> done);
    Result storeRawMasterKey();
    Result storeBiometricKey();
    void deleteAllKeys();

    enum class SealedKey { stored, foundOnlyByReading, absent };
    // Whether the passcode-sealed key is stored. The keychain's check can
    // ask another store than the one the items are read from: before it
    // counts as absent, and a set-up replaces the vault's key, it is read.
    std::expected<SealedKey, KeyManagerError> findSealedKey();
    std::expected<bool, KeyManagerError> keychainExists(const QString &account);
    // Succeeds also when there was no such item; a keychain that cannot
    // answer fails with keychainUnavailable and its own message.
    std::expected<void, KeyManagerError> keychainDelete(const QString &account);

    static std::expected<SecureBytes, KeyManagerError> derivePasscodeKey(
        QStringView passcode, QByteArrayView salt);

private:
    std::expected<void, KeyManagerError> keychainStore(
        const QString &account, const SecureBytes &data, bool biometricProtection);
    std::expected<std::optional<SecureBytes>, KeyManagerError> keychainLoad(const QString &account);
    // Takes a raw key item loaded for operation; one of the wrong length is
    // deleted. keyName is how the log lines call it.
    Result adoptRawKey(
        const SecureBytes &key, const QString &account, const QString &operation, const QString &keyName);
    Result finishBiometricUnlock(DeviceAuth::Reply reply);
    // Whether key opens the key check; nullopt when there is none.
    std::expected<std::optional<bool>, KeyManagerError> opensKeyCheck(const SecureBytes &key);
    Result storeKeyCheck(const SecureBytes &key);
    // Stores the key check for a key already adopted; a failure is logged.
    void repairKeyCheck(const SecureBytes &key);
    Result storeMasterKeyCopy(const QString &account, bool biometricProtection);

    Keychain &m_keychain;
    DeviceAuth &m_deviceAuth;
    MasterKeyHolder m_masterKey;
};

QString description(const KeyManager::Failure &failure);
