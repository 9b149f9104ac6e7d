#include "crypto/KeyManager.h"

#include "base/Log.h"
#include "crypto/AesGcm.h"
#include "crypto/Pbkdf2.h"
#include "crypto/SecureRandom.h"

#include <openssl/crypto.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

std::unexpected<KeyManager::Failure> fail(KeyManagerError error)
{
    return std::unexpected(KeyManager::Failure(std::move(error)));
}

std::unexpected<KeyManager::Failure> fail(KeyManagerError::Code code)
{
    return fail(KeyManagerError {code});
}

// Whether key opens any of fields; true when there are none.
bool opensAnyOf(const SecureBytes &key, const QList<QByteArray> &fields)
{
    return fields.isEmpty() || std::ranges::any_of(fields, [&key](const QByteArray &field) {
        return AesGcm::openSecret(key.view(), field).has_value();
    });
}

QString lengthLine(const QString &operation, const QString &keyName, qsizetype length)
{
    return u"❌ %1: %2 is %3 bytes, expected %4"_s.arg(operation, keyName)
        .arg(length)
        .arg(KeyManager::keySize);
}

} // namespace

KeyManager::KeyManager(Keychain &keychain, DeviceAuth &deviceAuth, QObject *parent)
    : QObject(parent), m_keychain(keychain), m_deviceAuth(deviceAuth)
{
}

KeyManager::~KeyManager() = default;

std::expected<SecureBytes, KeyManagerError> KeyManager::derivePasscodeKey(
    QStringView passcode, QByteArrayView salt)
{
    // Text with a lone surrogate has no UTF-8 form.
    if (!passcode.isValidUtf16())
        return std::unexpected(KeyManagerError {KeyManagerError::Code::invalidPasscode});
    const SecureBytes password = SecureBytes::fromUtf8(passcode);
    auto key = Pbkdf2::hmacSha256(password.view(), salt, passcodeRounds, keySize);
    if (!key)
        return std::unexpected(KeyManagerError {KeyManagerError::Code::keyDerivationFailed});
    return std::move(*key);
}

KeyManager::Result KeyManager::setupPasscode(QStringView passcode)
{
    const std::optional<SecureBytes> masterKey = SecureRandom::bytes(keySize);
    const std::optional<SecureBytes> salt = SecureRandom::bytes(saltSize);
    const std::optional<SecureBytes> nonce = SecureRandom::bytes(AesGcm::nonceSize);
    if (!masterKey || !salt || !nonce)
        return fail(KeyManagerError::Code::randomGenerationFailed);
    const auto passcodeKey = derivePasscodeKey(passcode, salt->view());
    if (!passcodeKey)
        return fail(passcodeKey.error());
    const auto sealed = AesGcm::seal(passcodeKey->view(), nonce->view(), masterKey->view());
    if (!sealed)
        return std::unexpected(sealed.error());

    // A sealed key never stands without its salt and its key check, not
    // even after a crash between the stores: the old sealed key goes first
    // and the new one comes last.
    keychainDelete(sealedKeyAccount);
    if (auto stored = keychainStore(saltAccount, *salt, false); !stored)
        return fail(stored.error());
    if (auto stored = storeKeyCheck(*masterKey); !stored) {
        keychainDelete(saltAccount);
        return stored;
    }
    if (auto stored = keychainStore(sealedKeyAccount, SecureBytes(QByteArrayView(*sealed)), false); !stored) {
        keychainDelete(saltAccount);
        keychainDelete(keyCheckAccount);
        return fail(stored.error());
    }
    m_masterKey.set(*masterKey);
    return {};
}

KeyManager::Result KeyManager::unlockWithPasscode(QStringView passcode)
{
    const auto salt = keychainLoad(saltAccount);
    if (!salt)
        return fail(salt.error());
    if (!*salt)
        return fail(KeyManagerError::Code::saltNotFound);
    const auto sealed = keychainLoad(sealedKeyAccount);
    if (!sealed)
        return fail(sealed.error());
    if (!*sealed)
        return fail(KeyManagerError::Code::masterKeyNotFound);
    const auto passcodeKey = derivePasscodeKey(passcode, (*salt)->view());
    if (!passcodeKey)
        return fail(passcodeKey.error());
    auto key = AesGcm::openSecret(passcodeKey->view(), (*sealed)->view());
    if (!key)
        return std::unexpected(key.error());
    if (key->size() != keySize) {
        Log::write(
            u"❌ unlockWithPasscode: decrypted key is %1 bytes, expected %2"_s.arg(key->size()).arg(keySize));
        return fail(KeyManagerError::Code::masterKeyNotFound);
    }
    if (const auto opens = opensKeyCheck(*key); !opens || *opens != true)
        repairKeyCheck(*key);
    m_masterKey.set(std::move(*key));
    return {};
}

KeyManager::Result KeyManager::unlockFromKeychain(const QList<QByteArray> &storedFields)
{
    const auto key = keychainLoad(rawKeyAccount);
    if (!key)
        return fail(key.error());
    if (!*key) {
        Log::write(u"unlockFromKeychain: no raw key in keychain"_s);
        return fail(KeyManagerError::Code::masterKeyNotFound);
    }
    const SecureBytes &raw = **key;
    bool checkMissing = false;
    if (raw.size() == keySize) {
        const auto opens = opensKeyCheck(raw);
        if (!opens)
            return fail(opens.error());
        if (*opens == false) {
            Log::write(u"❌ unlockFromKeychain: raw key is not the vault's key — not adopted"_s);
            return fail(KeyManagerError::Code::masterKeyNotFound);
        }
        // Set up before the key check: the history's key is the vault's.
        checkMissing = !opens->has_value();
        if (checkMissing && !opensAnyOf(raw, storedFields)) {
            Log::write(u"❌ unlockFromKeychain: raw key opens no stored item — not adopted"_s);
            return fail(KeyManagerError::Code::masterKeyNotFound);
        }
    }
    auto adopted = adoptRawKey(raw, rawKeyAccount, u"unlockFromKeychain"_s, u"raw key"_s);
    if (adopted && checkMissing)
        repairKeyCheck(raw);
    return adopted;
}

std::expected<std::optional<bool>, KeyManagerError> KeyManager::opensKeyCheck(const SecureBytes &key)
{
    const auto check = keychainLoad(keyCheckAccount);
    if (!check)
        return std::unexpected(check.error());
    if (!*check)
        return std::optional<bool>();
    return std::optional(AesGcm::open(key.view(), (*check)->view()).has_value());
}

KeyManager::Result KeyManager::storeKeyCheck(const SecureBytes &key)
{
    const std::optional<SecureBytes> nonce = SecureRandom::bytes(AesGcm::nonceSize);
    if (!nonce)
        return fail(KeyManagerError::Code::randomGenerationFailed);
    const auto sealed = AesGcm::seal(key.view(), nonce->view(), {});
    if (!sealed)
        return std::unexpected(sealed.error());
    if (auto stored = keychainStore(keyCheckAccount, SecureBytes(QByteArrayView(*sealed)), false); !stored)
        return fail(stored.error());
    return {};
}

void KeyManager::repairKeyCheck(const SecureBytes &key)
{
    // The unlock stands; without the check the next silent unlock falls
    // back on the history.
    if (auto stored = storeKeyCheck(key); !stored)
        Log::write(u"Key check could not be stored: "_s + description(stored.error()));
}

void KeyManager::unlockWithBiometrics(std::function<void(Result)> done)
{
    if (!m_deviceAuth.canEvaluate(DeviceAuth::Policy::biometrics)) {
        QMetaObject::invokeMethod(
            this, [done] { done(fail(KeyManagerError::Code::biometricsUnavailable)); }, Qt::QueuedConnection);
        return;
    }
    m_deviceAuth.evaluate(DeviceAuth::Policy::biometrics,
        u"Unlock Vantorell to access your clipboard history"_s, this,
        [this, done](DeviceAuth::Reply reply) { done(finishBiometricUnlock(std::move(reply))); });
}

KeyManager::Result KeyManager::finishBiometricUnlock(DeviceAuth::Reply reply)
{
    if (!reply)
        return std::unexpected(reply.error());
    if (!*reply)
        return fail(KeyManagerError::Code::biometricsFailed);
    const auto key = keychainLoad(biometricKeyAccount);
    if (!key)
        return fail(key.error());
    if (!*key) {
        Log::write(u"unlockWithBiometrics: no biometric key found — fall back to passcode"_s);
        return fail(KeyManagerError::Code::masterKeyNotFound);
    }
    return adoptRawKey(**key, biometricKeyAccount, u"unlockWithBiometrics"_s, u"key"_s);
}

KeyManager::Result KeyManager::adoptRawKey(
    const SecureBytes &key, const QString &account, const QString &operation, const QString &keyName)
{
    if (key.size() != keySize) {
        Log::write(lengthLine(operation, keyName, key.size()) + u" — deleting corrupt entry"_s);
        keychainDelete(account);
        return fail(KeyManagerError::Code::masterKeyNotFound);
    }
    m_masterKey.set(key);
    Log::write(u"%1: loaded %2-byte key OK"_s.arg(operation).arg(key.size()));
    return {};
}

KeyManager::Result KeyManager::storeRawMasterKey()
{
    if (auto stored = storeMasterKeyCopy(rawKeyAccount, false); !stored)
        return stored;
    Log::write(u"Raw master key stored for auto-unlock"_s);
    return {};
}

KeyManager::Result KeyManager::storeBiometricKey()
{
    if (!hasMasterKey())
        return fail(KeyManagerError::Code::masterKeyNotFound);
    // Where the keychain cannot put the item behind biometrics, a raw copy
    // would be readable by anyone with the keyring: store nothing.
    if (!m_keychain.canProtectWithBiometrics())
        return fail(KeyManagerError::Code::biometricsUnavailable);
    if (auto stored = storeMasterKeyCopy(biometricKeyAccount, true); !stored)
        return stored;
    Log::write(u"Biometric unlock key stored (%1 bytes)"_s.arg(keySize));
    return {};
}

KeyManager::Result KeyManager::storeMasterKeyCopy(const QString &account, bool biometricProtection)
{
    const MasterKeyHolder::Key key = m_masterKey.current();
    if (!key)
        return fail(KeyManagerError::Code::masterKeyNotFound);
    if (auto stored = keychainStore(account, *key, biometricProtection); !stored)
        return fail(stored.error());
    return {};
}

void KeyManager::deleteAllKeys()
{
    for (const QString &account :
        {sealedKeyAccount, saltAccount, rawKeyAccount, biometricKeyAccount, keyCheckAccount})
        keychainDelete(account);
    m_masterKey.drop();
}

std::expected<KeyManager::SealedKey, KeyManagerError> KeyManager::findSealedKey()
{
    const auto exists = keychainExists(sealedKeyAccount);
    if (!exists)
        return std::unexpected(exists.error());
    if (*exists)
        return SealedKey::stored;
    const auto sealed = keychainLoad(sealedKeyAccount);
    if (!sealed)
        return std::unexpected(sealed.error());
    if (!*sealed)
        return SealedKey::absent;
    Log::write(u"Keyring check found no master key, reading it did"_s);
    return SealedKey::foundOnlyByReading;
}

std::expected<bool, KeyManagerError> KeyManager::keychainExists(const QString &account)
{
    const auto found = m_keychain.exists(account);
    if (!found)
        return std::unexpected(
            KeyManagerError {KeyManagerError::Code::keychainUnavailable, found.error().message});
    return *found;
}

std::expected<void, KeyManagerError> KeyManager::keychainDelete(const QString &account)
{
    const auto removed = m_keychain.remove(account);
    if (!removed)
        return std::unexpected(
            KeyManagerError {KeyManagerError::Code::keychainUnavailable, removed.error().message});
    return {};
}

std::expected<void, KeyManagerError> KeyManager::keychainStore(
    const QString &account, const SecureBytes &data, bool biometricProtection)
{
    QByteArray bytes = data.toByteArray();
    const auto stored = m_keychain.store(account, bytes, biometricProtection);
    OPENSSL_cleanse(bytes.data(), size_t(bytes.size()));
    if (!stored)
        return std::unexpected(KeyManagerError {
            KeyManagerError::Code::keychainStoreFailed, QString::number(stored.error().status)});
    return {};
}

std::expected<std::optional<SecureBytes>, KeyManagerError> KeyManager::keychainLoad(const QString &account)
{
    auto loaded = m_keychain.load(account);
    if (!loaded)
        return std::unexpected(
            KeyManagerError {KeyManagerError::Code::keychainUnavailable, loaded.error().message});
    if (!*loaded)
        return std::nullopt;
    QByteArray &bytes = **loaded;
    SecureBytes data {QByteArrayView(bytes)};
    OPENSSL_cleanse(bytes.data(), size_t(bytes.size()));
    return data;
}

QString description(const KeyManager::Failure &failure)
{
    return std::visit([](const auto &error) { return description(error); }, failure);
}
