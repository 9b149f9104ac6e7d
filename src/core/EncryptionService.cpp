#include "core/EncryptionService.h"

#include "core/AesGcm.h"
#include "core/SecureRandom.h"

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
    const std::optional<SecureBytes> nonce = SecureRandom::bytes(AesGcm::nonceSize);
    if (!nonce)
        return std::unexpected(EncryptionError::randomGenerationFailed);
    auto box = AesGcm::seal(key->view(), nonce->view(), plaintext);
    if (!box)
        return std::unexpected(box.error());
    return std::move(*box);
}

std::expected<QByteArray, SealingError> EncryptionService::decrypt(QByteArrayView box) const
{
    const MasterKeyHolder::Key key = m_masterKey.current();
    if (!key)
        return std::unexpected(EncryptionError::masterKeyUnavailable);
    auto plaintext = AesGcm::open(key->view(), box);
    if (!plaintext)
        return std::unexpected(plaintext.error());
    return std::move(*plaintext);
}
