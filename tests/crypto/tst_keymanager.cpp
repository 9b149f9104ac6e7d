#include "crypto/AesGcm.h"
#include "crypto/EncryptionService.h"
#include "crypto/KeyManager.h"
#include "crypto/Pbkdf2.h"
#include "support/FakeDeviceAuth.h"
#include "support/FakeKeychain.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using Failure = KeyManager::Failure;

std::optional<Failure> failure(const KeyManager::Result &result)
{
    return result ? std::nullopt : std::optional(result.error());
}

Failure keyError(KeyManagerError::Code code)
{
    return KeyManagerError {code};
}

QByteArray currentKey(const KeyManager &keys)
{
    const MasterKeyHolder::Key key = keys.masterKey().current();
    return key ? key->toByteArray() : QByteArray();
}

// A failure as text, which data tables can carry; empty for success.
QString describe(const std::optional<Failure> &failure)
{
    if (!failure)
        return {};
    if (const auto *key = std::get_if<KeyManagerError>(&*failure))
        return u"key: "_s + description(*key);
    if (const auto *cipher = std::get_if<CipherError>(&*failure))
        return u"cipher: "_s + description(*cipher);
    return u"auth: "_s + description(std::get<DeviceAuthError>(*failure));
}

QString describe(const Failure &failure)
{
    return describe(std::optional(failure));
}

// Runs unlockWithBiometrics to its end.
std::optional<Failure> unlockWithBiometrics(KeyManager &keys)
{
    std::optional<KeyManager::Result> result;
    keys.unlockWithBiometrics([&](KeyManager::Result done) { result = std::move(done); });
    if (!QTest::qWaitFor([&] { return result.has_value(); }))
        return keyError(KeyManagerError::Code::encryptionFailed);
    return failure(*result);
}

} // namespace

class KeyManagerTest final : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_keychain = FakeKeychain();
        m_deviceAuth = FakeDeviceAuth();
    }

    // RFC 7914 section 11, and one 600000-round vector from Python's hashlib.
    void derivationKnownAnswers_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QByteArray>("salt");
        QTest::addColumn<int>("rounds");
        QTest::addColumn<QByteArray>("key");
        QTest::newRow("passwd") << u"passwd"_s << QByteArray("salt") << 1
                                << QByteArray::fromHex(
                                       "55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc"
                                       "49ca9cccf179b645991664b39d77ef317c71b845b1e30bd509112041d3a19783");
        QByteArray salt(32, Qt::Uninitialized);
        for (int i = 0; i < salt.size(); ++i)
            salt[i] = char(i);
        QTest::newRow("passcode") << u"Vantorell päss 🔑"_s << salt << KeyManager::passcodeRounds
                                  << QByteArray::fromHex(
                                         "7f0af0de913460228e80962852556a7c031f66e16f24702d4b33a4e94f5c483f");
    }

    void derivationKnownAnswers()
    {
        QFETCH(QString, password);
        QFETCH(QByteArray, salt);
        QFETCH(int, rounds);
        QFETCH(QByteArray, key);
        const auto derived = Pbkdf2::hmacSha256(password.toUtf8(), salt, rounds, key.size());
        QVERIFY(derived);
        QCOMPARE(derived->toByteArray(), key);
        if (rounds == KeyManager::passcodeRounds)
            QCOMPARE(KeyManager::derivePasscodeKey(password, salt)->toByteArray(), key);
    }

    void passcodeWithoutUtf8FormIsInvalid()
    {
        const QString loneSurrogate(1, QChar(0xd800));
        QCOMPARE(KeyManager::derivePasscodeKey(loneSurrogate, "salt").error(),
            KeyManagerError {KeyManagerError::Code::invalidPasscode});
    }

    void setupThenUnlockLoadsTheSameKey()
    {
        KeyManager keys(m_keychain, m_deviceAuth);
        const EncryptionService encryption(keys.masterKey());
        QVERIFY(keys.setupPasscode(u" pass code "_s));
        const QByteArray key = currentKey(keys);
        const QByteArray box = *encryption.encrypt("history");

        keys.dropMasterKey();
        for (const QString &wrong : {u" pass codE "_s, u"pass code"_s}) {
            QCOMPARE(failure(keys.unlockWithPasscode(wrong)), Failure(CipherError::authenticationFailure));
            QVERIFY(!keys.hasMasterKey());
        }
        QVERIFY(keys.unlockWithPasscode(u" pass code "_s));
        QCOMPARE(currentKey(keys), key);
        QCOMPARE(encryption.decrypt(box), QByteArray("history"));

        QCOMPARE(failure(keys.unlockWithPasscode(u"other"_s)), Failure(CipherError::authenticationFailure));
        QCOMPARE(currentKey(keys), key);
    }

    void brokenPasscodeItems_data()
    {
        QTest::addColumn<QStringList>("removed");
        QTest::addColumn<QByteArray>("sealedKey");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no salt") << QStringList {KeyManager::saltAccount} << QByteArray()
                                 << describe(keyError(KeyManagerError::Code::saltNotFound));
        QTest::newRow("no sealed key") << QStringList {KeyManager::sealedKeyAccount} << QByteArray()
                                       << describe(keyError(KeyManagerError::Code::masterKeyNotFound));
        QTest::newRow("27-byte sealed key")
            << QStringList() << QByteArray(27, 'x') << describe(Failure(CipherError::incorrectParameterSize));
        const SecureBytes passcodeKey = *KeyManager::derivePasscodeKey(u"pass"_s, QByteArray(32, 's'));
        QTest::newRow("sealed key of 16 bytes")
            << QStringList() << *AesGcm::seal(passcodeKey.view(), QByteArray(12, 'n'), QByteArray(16, 'k'))
            << describe(keyError(KeyManagerError::Code::masterKeyNotFound));
    }

    void brokenPasscodeItems()
    {
        QFETCH(QStringList, removed);
        QFETCH(QByteArray, sealedKey);
        QFETCH(QString, expected);
        m_keychain.items = {{KeyManager::saltAccount, QByteArray(32, 's')},
            {KeyManager::sealedKeyAccount, sealedKey.isEmpty() ? QByteArray(60, 'k') : sealedKey}};
        for (const QString &account : removed)
            m_keychain.items.remove(account);
        KeyManager keys(m_keychain, m_deviceAuth);
        QCOMPARE(describe(failure(keys.unlockWithPasscode(u"pass"_s))), expected);
        QVERIFY(!keys.hasMasterKey());
        // What cannot be read is reported, never deleted.
        QCOMPARE(m_keychain.items.size(), 2 - removed.size());
    }

    void rawKeyUnlock()
    {
        KeyManager keys(m_keychain, m_deviceAuth);
        m_keychain.items.insert(KeyManager::rawKeyAccount, QByteArray(16, 'r'));
        QCOMPARE(failure(keys.unlockFromKeychain()), keyError(KeyManagerError::Code::masterKeyNotFound));
        QVERIFY(!m_keychain.items.contains(KeyManager::rawKeyAccount));
        QCOMPARE(failure(keys.unlockFromKeychain()), keyError(KeyManagerError::Code::masterKeyNotFound));

        m_keychain.items.insert(KeyManager::rawKeyAccount, QByteArray(32, 'r'));
        QVERIFY(keys.unlockFromKeychain());
        QCOMPARE(currentKey(keys), QByteArray(32, 'r'));
    }

    // A keyring set up before the key check, or one whose check is not the
    // key's, gets it from the unlock that proves the key; silent unlock
    // then no longer depends on the history.
    void passcodeUnlockMendsTheKeyCheck_data()
    {
        QTest::addColumn<QString>("check");
        QTest::addColumn<bool>("stored");
        QTest::newRow("none") << u"none"_s << true;
        QTest::newRow("made under another key") << u"other key"_s << true;
        QTest::newRow("the key's own") << u"own"_s << false;
    }

    void passcodeUnlockMendsTheKeyCheck()
    {
        QFETCH(QString, check);
        QFETCH(bool, stored);
        const QByteArray otherKey(KeyManager::keySize, 'o');
        KeyManager keys(m_keychain, m_deviceAuth);
        QVERIFY(keys.setupPasscode(u"pass"_s));
        const QByteArray key = currentKey(keys);
        keys.dropMasterKey();
        if (check == u"none"_s)
            m_keychain.items.remove(KeyManager::keyCheckAccount);
        else if (check == u"other key"_s)
            m_keychain.items.insert(
                KeyManager::keyCheckAccount, *AesGcm::seal(otherKey, QByteArray(12, 'n'), {}));

        m_keychain.calls.clear();
        QVERIFY(keys.unlockWithPasscode(u"pass"_s));
        QCOMPARE(m_keychain.calls.contains(u"store master-encryption-key.check"_s), stored);
        keys.dropMasterKey();
        m_keychain.items.insert(KeyManager::rawKeyAccount, key);
        // The history's oldest items were sealed under an earlier key.
        const QByteArray staleField = *AesGcm::seal(otherKey, QByteArray(12, 'n'), "old");
        QVERIFY(keys.unlockFromKeychain({staleField}));
        QCOMPARE(currentKey(keys), key);
    }

    void storingCopiesNeedsAKey()
    {
        KeyManager keys(m_keychain, m_deviceAuth);
        m_keychain.biometricsSupported = true;
        QCOMPARE(failure(keys.storeRawMasterKey()), keyError(KeyManagerError::Code::masterKeyNotFound));
        QCOMPARE(failure(keys.storeBiometricKey()), keyError(KeyManagerError::Code::masterKeyNotFound));
        QVERIFY(m_keychain.items.isEmpty());

        m_keychain.items.insert(KeyManager::rawKeyAccount, QByteArray(32, 'r'));
        QVERIFY(keys.unlockFromKeychain());
        m_keychain.items.clear();
        QVERIFY(keys.storeRawMasterKey());
        QVERIFY(keys.storeBiometricKey());
        QCOMPARE(m_keychain.items.value(KeyManager::rawKeyAccount), QByteArray(32, 'r'));
        QCOMPARE(m_keychain.items.value(KeyManager::biometricKeyAccount), QByteArray(32, 'r'));
        QCOMPARE(m_keychain.protectedItems, QSet<QString> {KeyManager::biometricKeyAccount});

        m_keychain.storeFailures.insert(KeyManager::rawKeyAccount, -25'299);
        QCOMPARE(describe(failure(keys.storeRawMasterKey())), u"key: Keyring store failed: -25299"_s);
    }

    // The biometric copy would be a plain raw key where the keychain cannot
    // protect it.
    void biometricCopyIsNeverStoredUnprotected()
    {
        KeyManager keys(m_keychain, m_deviceAuth);
        QVERIFY(keys.setupPasscode(u"pass"_s));
        m_keychain.calls.clear();
        QCOMPARE(failure(keys.storeBiometricKey()), keyError(KeyManagerError::Code::biometricsUnavailable));
        QVERIFY(m_keychain.calls.isEmpty());
        QVERIFY(!m_keychain.items.contains(KeyManager::biometricKeyAccount));
    }

    void setupNeverLeavesASealedKeyWithoutSalt_data()
    {
        QTest::addColumn<QString>("failingAccount");
        QTest::newRow("salt store fails") << KeyManager::saltAccount;
        QTest::newRow("key check store fails") << KeyManager::keyCheckAccount;
        QTest::newRow("sealed key store fails") << KeyManager::sealedKeyAccount;
    }

    void setupNeverLeavesASealedKeyWithoutSalt()
    {
        QFETCH(QString, failingAccount);
        m_keychain.items = {{KeyManager::saltAccount, "old salt"}, {KeyManager::sealedKeyAccount, "old key"}};
        m_keychain.storeFailures.insert(failingAccount, -25'308);
        KeyManager keys(m_keychain, m_deviceAuth);
        QCOMPARE(failure(keys.setupPasscode(u"pass"_s)),
            Failure(KeyManagerError {KeyManagerError::Code::keychainStoreFailed, u"-25308"_s}));
        QVERIFY(!keys.hasMasterKey());
        QVERIFY(!m_keychain.items.contains(KeyManager::sealedKeyAccount));
        QVERIFY(!m_keychain.items.contains(KeyManager::saltAccount));
        QVERIFY(!m_keychain.items.contains(KeyManager::keyCheckAccount));
        // The sealed key is stored last, after its salt.
        QCOMPARE(m_keychain.calls.filter(u"store"_s).first(), u"store pbkdf2-salt"_s);
    }

    // A keyring that cannot answer must not look like a first run, which
    // would make a new master key and orphan the whole history.
    void unavailableKeychainIsNeverReadAsNoKey()
    {
        KeyManager keys(m_keychain, m_deviceAuth);
        m_keychain.unavailable = KeychainError {7, u"The keyring is locked"_s};
        const KeyManagerError unavailable
            = KeyManagerError {KeyManagerError::Code::keychainUnavailable, u"The keyring is locked"_s};
        QCOMPARE(keys.keychainExists(KeyManager::sealedKeyAccount).error(), unavailable);
        QCOMPARE(description(unavailable), u"Keyring unavailable: The keyring is locked"_s);
        QCOMPARE(failure(keys.unlockWithPasscode(u"pass"_s)), Failure(unavailable));
        QCOMPARE(failure(keys.unlockFromKeychain()), Failure(unavailable));
        m_deviceAuth.biometricsAvailable = true;
        QCOMPARE(unlockWithBiometrics(keys), Failure(unavailable));
    }

    void biometricUnlock_data()
    {
        QTest::addColumn<bool>("available");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QByteArray>("item");
        QTest::addColumn<QString>("expected");

        // answer: 1 yes, 0 no, -1 cancelled
        const QByteArray key(32, 'b');
        QTest::newRow("unavailable") << false << 1 << key
                                     << describe(keyError(KeyManagerError::Code::biometricsUnavailable));
        QTest::newRow("cancelled") << true << -1 << key << u"auth: Canceled by user."_s;
        QTest::newRow("declined") << true << 0 << key
                                  << describe(keyError(KeyManagerError::Code::biometricsFailed));
        QTest::newRow("no item") << true << 1 << QByteArray()
                                 << describe(keyError(KeyManagerError::Code::masterKeyNotFound));
        QTest::newRow("wrong length") << true << 1 << QByteArray(31, 'b')
                                      << describe(keyError(KeyManagerError::Code::masterKeyNotFound));
        QTest::newRow("matched") << true << 1 << key << QString();
    }

    void biometricUnlock()
    {
        QFETCH(bool, available);
        QFETCH(int, answer);
        QFETCH(QByteArray, item);
        QFETCH(QString, expected);

        m_deviceAuth.biometricsAvailable = available;
        m_deviceAuth.answer = answer >= 0
            ? DeviceAuth::Reply(answer == 1)
            : std::unexpected(DeviceAuthError {DeviceAuthError::Code::userCancel, u"Canceled by user."_s});
        m_deviceAuth.answerFromAnotherThread = true;
        if (!item.isEmpty())
            m_keychain.items.insert(KeyManager::biometricKeyAccount, item);
        KeyManager keys(m_keychain, m_deviceAuth);

        QCOMPARE(describe(unlockWithBiometrics(keys)), expected);
        QCOMPARE(keys.hasMasterKey(), expected.isEmpty());
        QCOMPARE(m_deviceAuth.prompts.size(), available ? 1 : 0);
        QCOMPARE(m_keychain.items.contains(KeyManager::biometricKeyAccount), item.size() == 32);
    }

    void deleteAllKeysRemovesEveryItemAndTheKey()
    {
        KeyManager keys(m_keychain, m_deviceAuth);
        m_keychain.items = {{KeyManager::sealedKeyAccount, "k"}, {KeyManager::saltAccount, "s"},
            {KeyManager::rawKeyAccount, QByteArray(32, 'r')}, {KeyManager::biometricKeyAccount, "b"}};
        QVERIFY(keys.unlockFromKeychain());
        keys.deleteAllKeys();
        QVERIFY(!keys.hasMasterKey());
        QVERIFY(m_keychain.items.isEmpty());
    }

private:
    FakeKeychain m_keychain;
    FakeDeviceAuth m_deviceAuth;
};

QTEST_GUILESS_MAIN(KeyManagerTest)
#include "tst_keymanager.moc"
