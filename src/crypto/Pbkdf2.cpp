#include "crypto/Pbkdf2.h"

#include "crypto/OpenSslThreadState.h"

#include <openssl/evp.h>

#include <climits>

std::optional<SecureBytes> Pbkdf2::hmacSha256(
    QByteArrayView password, QByteArrayView salt, int rounds, qsizetype length)
{
    if (rounds < 1 || length < 1 || length > INT_MAX || password.size() > INT_MAX || salt.size() > INT_MAX)
        return std::nullopt;
    OpenSslThreadState::enlist();
    SecureBytes key(length);
    // OpenSSL takes a null password or salt only with a zero length.
    static const char empty = '\0';
    const char *passwordData = password.isEmpty() ? &empty : password.data();
    const auto *saltData = reinterpret_cast<const unsigned char *>(salt.isEmpty() ? &empty : salt.data());
    if (PKCS5_PBKDF2_HMAC(passwordData, int(password.size()), saltData, int(salt.size()), rounds,
            EVP_sha256(), int(length), key.data())
        != 1)
        return std::nullopt;
    return key;
}
