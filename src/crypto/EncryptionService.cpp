#include "crypto/EncryptionService.h"

#include "crypto/AesGcm.h"
#include "crypto/SecureRandom.h"

#include <array>

EncryptionService::EncryptionService(const MasterKeyHolder &masterKey) : m_masterKey(masterKey)
{
}

bool EncryptionService::isReady() const
{
    return m_masterKey.isPresent();
}

std::expected<QByteArray, SealingError> EncryptionService::encrypt(QByteArrayView plaintext) const
{
    const MasterKeyHolder::Key key = m_masterKey.current();
    if (!key)
        return std::unexpected(EncryptionError::masterKeyUnavailable);
    std::array<unsigned char, AesGcm::nonceSize> nonce;
    if (!SecureRandom::fillSmall(nonce))
        return std::unexpected(EncryptionError::randomGenerationFailed);
    auto box = AesGcm::seal(key->view(), QByteArrayView(nonce.data(), nonce.size()), plaintext);
    if (!box)
        return std::unexpected(box.error());
    return std::move(*box);
}

std::expected<QByteArray, SealingError> EncryptionService::decrypt(QByteArrayView box) const
{
    return open(m_masterKey.current(), box);
}

std::expected<QByteArray, SealingError> EncryptionService::decrypt(
    QByteArrayView box, const KeySession &session) const
{
    MasterKeyHolder::Key key = session.lock();
    if (key != m_masterKey.current())
        key.reset();
    return open(key, box);
}

std::expected<QByteArray, SealingError> EncryptionService::open(
    const MasterKeyHolder::Key &key, QByteArrayView box)
{
    if (!key)
        return std::unexpected(EncryptionError::masterKeyUnavailable);
    auto plaintext = AesGcm::open(key->view(), box);
    if (!plaintext)
        return std::unexpected(plaintext.error());
    return std::move(*plaintext);
}
