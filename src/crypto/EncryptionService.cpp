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

std::expected<EncryptionService::Sealing, SealingError> EncryptionService::startSealing(
    MasterKeyHolder::Key key)
{
    Sealing sealing {std::move(key), {}};
    if (!sealing.key)
        return std::unexpected(EncryptionError::masterKeyUnavailable);
    if (!SecureRandom::fillSmall(sealing.nonce))
        return std::unexpected(EncryptionError::randomGenerationFailed);
    return sealing;
}

std::expected<QByteArray, SealingError> EncryptionService::encrypt(QByteArrayView plaintext) const
{
    const auto sealing = startSealing(m_masterKey.current());
    if (!sealing)
        return std::unexpected(sealing.error());
    auto box = AesGcm::seal(sealing->key->view(), sealing->nonceView(), plaintext);
    if (!box)
        return std::unexpected(box.error());
    return std::move(*box);
}

std::expected<QByteArray, SealingError> EncryptionService::encryptInPlace(QByteArray &&plaintext) const
{
    return sealInPlace(m_masterKey.current(), std::move(plaintext));
}

std::expected<QByteArray, SealingError> EncryptionService::encryptInPlace(
    QByteArray &&plaintext, const KeySession &session)
{
    return sealInPlace(session.lock(), std::move(plaintext));
}

std::expected<QByteArray, SealingError> EncryptionService::sealInPlace(
    MasterKeyHolder::Key key, QByteArray &&plaintext)
{
    const auto sealing = startSealing(std::move(key));
    if (!sealing)
        return std::unexpected(sealing.error());
    QByteArray box = std::move(plaintext);
    if (auto sealed = AesGcm::sealInPlace(sealing->key->view(), sealing->nonceView(), box); !sealed)
        return std::unexpected(sealed.error());
    return box;
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

bool EncryptionService::isCurrent(const KeySession &session) const
{
    const MasterKeyHolder::Key key = session.lock();
    return key && key == m_masterKey.current();
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
