#pragma once

#include "crypto/AesGcm.h"
#include "crypto/MasterKeyHolder.h"
#include "crypto/SealingError.h"

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <expected>
#include <memory>

// Seals and opens every stored item under the master key. It keeps no key
// of its own: each call takes the key once at its start and finishes with
// it even if the vault locks meanwhile.
class EncryptionService final {
    Q_DISABLE_COPY(EncryptionService)

public:
    explicit EncryptionService(const MasterKeyHolder &masterKey);

    bool isReady() const;

    // Returns the combined box: 12-byte random nonce, ciphertext, 16-byte tag.
    std::expected<QByteArray, SealingError> encrypt(QByteArrayView plaintext) const;
    // As encrypt, building the box in the plaintext's own buffer: a large
    // one is not held twice.
    std::expected<QByteArray, SealingError> encryptInPlace(QByteArray &&plaintext) const;
    std::expected<QByteArray, SealingError> decrypt(QByteArrayView box) const;

    // Stands for the key loaded now; a lock, or another unlock, ends it.
    using KeySession = std::weak_ptr<const SecureBytes>;
    KeySession keySession() const { return m_masterKey.current(); }
    // Opens box only while the key of session is still the one loaded, so a
    // read that outlived a lock gives nothing.
    std::expected<QByteArray, SealingError> decrypt(QByteArrayView box, const KeySession &session) const;
    // Whether the key of session is still the one loaded.
    bool isCurrent(const KeySession &session) const;
    // Raised when a loaded key goes: a lock, an erase, another key. An
    // unlock leaves it as it is.
    quint64 endedKeys() const { return m_masterKey.endedKeys(); }
    // As encryptInPlace, under the key of session, which a lock ends. Uses
    // no service: a worker that outlives this one may call it.
    static std::expected<QByteArray, SealingError> encryptInPlace(
        QByteArray &&plaintext, const KeySession &session);

private:
    // The key loaded now and a fresh nonce for one box.
    struct Sealing {
        MasterKeyHolder::Key key;
        std::array<unsigned char, AesGcm::nonceSize> nonce;
        QByteArrayView nonceView() const { return QByteArrayView(nonce.data(), qsizetype(nonce.size())); }
    };
    static std::expected<Sealing, SealingError> startSealing(MasterKeyHolder::Key key);
    static std::expected<QByteArray, SealingError> sealInPlace(
        MasterKeyHolder::Key key, QByteArray &&plaintext);
    static std::expected<QByteArray, SealingError> open(const MasterKeyHolder::Key &key, QByteArrayView box);

    const MasterKeyHolder &m_masterKey;
};
