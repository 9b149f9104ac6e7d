#define OPENSSL_SUPPRESS_DEPRECATED

#include "crypto/AesGcm.h"
#include "crypto/EncryptionService.h"
#include "crypto/SecureRandom.h"

#include <QTest>

#include <openssl/rand.h>

#include <array>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

SecureBytes randomKey()
{
    return *SecureRandom::bytes(AesGcm::keySize);
}

template<typename T> std::optional<SealingError> failure(const std::expected<T, SealingError> &result)
{
    return result ? std::nullopt : std::optional(result.error());
}

// A random source that always fails, installed for the life of the object.
class FailingRandom final {
public:
    FailingRandom() { RAND_set_rand_method(&s_method); }
    ~FailingRandom() { RAND_set_rand_method(nullptr); }

private:
    static int fail(unsigned char *, int) { return 0; }
    static int status() { return 0; }
    static inline RAND_METHOD s_method {nullptr, fail, nullptr, nullptr, fail, status};
};

} // namespace

class SealingTest final : public QObject {
    Q_OBJECT

    MasterKeyHolder m_holder;
    const EncryptionService m_service {m_holder};

private slots:
    void init() { m_holder.set(randomKey()); }

    // NIST GCM test vectors for AES-256 with 96-bit IVs (test cases 13, 15 and 16).
    void knownAnswers_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("nonce");
        QTest::addColumn<QByteArray>("plaintext");
        QTest::addColumn<QByteArray>("associatedData");
        QTest::addColumn<QByteArray>("ciphertext");
        QTest::addColumn<QByteArray>("tag");

        const QByteArray zeroKey(32, '\0');
        const QByteArray zeroNonce(12, '\0');
        const QByteArray key = hex("feffe9928665731c6d6a8f9467308308feffe9928665731c6d6a8f9467308308");
        const QByteArray nonce = hex("cafebabefacedbaddecaf888");
        const QByteArray plaintext = hex("d9313225f88406e5a55909c5aff5269a86a7a9531534f7da2e4c303d8a318a72"
                                         "1c3c0c95956809532fcf0e2449a6b525b16aedf5aa0de657ba637b391aafd255");
        const QByteArray ciphertext = hex("522dc1f099567d07f47f37a32a84427d643a8cdcbfe5c0c97598a2bd2555d1aa"
                                          "8cb08e48590dbb3da7b08b1056828838c5f61e6393ba7a0abcc9f662898015ad");
        QTest::newRow("13 empty") << zeroKey << zeroNonce << QByteArray() << QByteArray() << QByteArray()
                                  << hex("530f8afbc74536b9a963b4f1c4cb738b");
        QTest::newRow("15 four blocks") << key << nonce << plaintext << QByteArray() << ciphertext
                                        << hex("b094dac5d93471bdec1a502270e3cc6c");
        QTest::newRow("16 associated data")
            << key << nonce << plaintext.first(60) << hex("feedfacedeadbeeffeedfacedeadbeefabaddad2")
            << ciphertext.first(60) << hex("76fc6ece0f4e1768cddf8853bb2d551b");
    }

    void knownAnswers()
    {
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, nonce);
        QFETCH(QByteArray, plaintext);
        QFETCH(QByteArray, associatedData);
        QFETCH(QByteArray, ciphertext);
        QFETCH(QByteArray, tag);

        const QByteArray box = nonce + ciphertext + tag;
        QCOMPARE(AesGcm::seal(key, nonce, plaintext, associatedData), box);
        QByteArray inPlace = plaintext;
        QVERIFY(AesGcm::sealInPlace(key, nonce, inPlace, associatedData));
        QCOMPARE(inPlace, box);
        QCOMPARE(AesGcm::open(key, box, associatedData), plaintext);
        QCOMPARE(AesGcm::openSecret(key, box, associatedData)->view(), plaintext);
        if (!associatedData.isEmpty()) {
            QCOMPARE(AesGcm::open(key, box), std::unexpected(CipherError::authenticationFailure));
            QCOMPARE(AesGcm::open(key, box, associatedData.chopped(1)),
                std::unexpected(CipherError::authenticationFailure));
        }
    }

    void blobIsPlaintextPlus28AndOpens_data()
    {
        QTest::addColumn<int>("size");
        for (int size : {0, 17, 100'000})
            QTest::addRow("%d bytes", size) << size;
    }

    void blobIsPlaintextPlus28AndOpens()
    {
        QFETCH(int, size);
        const QByteArray plaintext(size, 'p');
        const auto first = m_service.encrypt(plaintext);
        const auto second = m_service.encryptInPlace(QByteArray(plaintext));
        QVERIFY(first && second);
        QCOMPARE(first->size(), size + 28);
        QVERIFY(first->first(12) != second->first(12));
        QCOMPARE(m_service.decrypt(*first), plaintext);
        QCOMPARE(m_service.decrypt(*second), plaintext);
    }

    void everyFlippedByteFailsAuthentication()
    {
        const QByteArray box = *m_service.encrypt("clipboard text");
        for (qsizetype i = 0; i < box.size(); ++i) {
            QByteArray altered = box;
            altered[i] = char(altered[i] ^ 0x01);
            QCOMPARE(failure(m_service.decrypt(altered)), SealingError(CipherError::authenticationFailure));
        }
        QCOMPARE(
            failure(m_service.decrypt(box.chopped(1))), SealingError(CipherError::authenticationFailure));
        QCOMPARE(failure(m_service.decrypt(QByteArray(27, 'x'))),
            SealingError(CipherError::incorrectParameterSize));

        MasterKeyHolder otherHolder;
        otherHolder.set(randomKey());
        const QByteArray foreign = *EncryptionService(otherHolder).encrypt("secret");
        QCOMPARE(failure(m_service.decrypt(foreign)), SealingError(CipherError::authenticationFailure));
    }

    void lockedVaultRefusesBeforeLookingAtTheBlob()
    {
        const QByteArray box = *m_service.encrypt("text");
        m_holder.drop();
        QVERIFY(!m_service.isReady());
        const SealingError locked = EncryptionError::masterKeyUnavailable;
        QCOMPARE(failure(m_service.decrypt("short")), locked);
        QCOMPARE(failure(m_service.decrypt(box)), locked);
        QCOMPARE(failure(m_service.encrypt("text")), locked);
        QCOMPARE(description(locked), u"App is locked. Master key not available."_s);
    }

    void failingRandomSourceSealsNothing()
    {
        std::optional<SealingError> sealed;
        {
            FailingRandom failing;
            QCOMPARE(SecureRandom::bytes(32), std::nullopt);
            // A fresh thread starts without a reserve of nonce bytes.
            std::thread([&] { sealed = failure(m_service.encrypt("text")); }).join();
        }
        QCOMPARE(sealed, SealingError(EncryptionError::randomGenerationFailed));
        QVERIFY(m_service.encrypt("text"));
        QCOMPARE(description(*sealed), u"Secure random generation failed"_s);
    }

    void forkedChildNeverReusesTheParentsNonces()
    {
        std::array<unsigned char, AesGcm::nonceSize> parent {};
        std::array<unsigned char, AesGcm::nonceSize> child {};
        QVERIFY(SecureRandom::fillSmall(parent));
        int channel[2];
        QCOMPARE(pipe(channel), 0);
        const pid_t pid = fork();
        if (pid == 0) {
            const bool drawn = SecureRandom::fillSmall(child);
            _exit(drawn && write(channel[1], child.data(), child.size()) == ssize_t(child.size()) ? 0 : 1);
        }
        QVERIFY(pid > 0);
        QVERIFY(SecureRandom::fillSmall(parent));
        QCOMPARE(read(channel[0], child.data(), child.size()), ssize_t(child.size()));
        int status = 0;
        QCOMPARE(waitpid(pid, &status, 0), pid);
        close(channel[0]);
        close(channel[1]);
        QVERIFY(parent != child);
    }
};

QTEST_GUILESS_MAIN(SealingTest)
#include "tst_sealing.moc"
