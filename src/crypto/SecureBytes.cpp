#include "crypto/SecureBytes.h"

#include <openssl/crypto.h>

#include <cstring>

SecureBytes::SecureBytes(qsizetype size)
    : m_data(size > 0 ? std::make_unique<unsigned char[]>(size) : nullptr), m_size(size > 0 ? size : 0)
{
}

SecureBytes::SecureBytes(QByteArrayView bytes) : SecureBytes(bytes.size())
{
    if (m_size > 0)
        std::memcpy(m_data.get(), bytes.data(), m_size);
}

SecureBytes::SecureBytes(const SecureBytes &other) : SecureBytes(other.view())
{
}

SecureBytes &SecureBytes::operator=(const SecureBytes &other)
{
    if (this != &other)
        *this = SecureBytes(other.view());
    return *this;
}

SecureBytes::SecureBytes(SecureBytes &&other) noexcept
    : m_data(std::move(other.m_data)), m_size(std::exchange(other.m_size, 0))
{
}

SecureBytes &SecureBytes::operator=(SecureBytes &&other) noexcept
{
    if (this != &other) {
        wipe();
        m_data = std::move(other.m_data);
        m_size = std::exchange(other.m_size, 0);
    }
    return *this;
}

SecureBytes::~SecureBytes()
{
    wipe();
}

SecureBytes SecureBytes::fromUtf8(QStringView text)
{
    QByteArray utf8 = text.toUtf8();
    SecureBytes bytes {QByteArrayView(utf8)};
    OPENSSL_cleanse(utf8.data(), static_cast<size_t>(utf8.size()));
    return bytes;
}

bool SecureBytes::operator==(const SecureBytes &other) const
{
    return m_size == other.m_size && CRYPTO_memcmp(m_data.get(), other.m_data.get(), m_size) == 0;
}

void SecureBytes::wipe()
{
    if (m_data)
        OPENSSL_cleanse(m_data.get(), static_cast<size_t>(m_size));
    m_data.reset();
    m_size = 0;
}
