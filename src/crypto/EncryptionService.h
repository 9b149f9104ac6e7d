#pragma once

#include "crypto/MasterKeyHolder.h"
#include "crypto/SealingError.h"

#include <QByteArray>
#include <QByteArrayView>

#include <expected>

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
    std::expected<QByteArray, SealingError> decrypt(QByteArrayView box) const;

private:
    const MasterKeyHolder &m_masterKey;
};
