#pragma once

#include "crypto/SecureBytes.h"

#include <optional>

namespace Pbkdf2 {

// PBKDF2-HMAC-SHA256 (OpenSSL's PKCS5_PBKDF2_HMAC); none when OpenSSL
// refuses the parameters.
std::optional<SecureBytes> hmacSha256(
    QByteArrayView password, QByteArrayView salt, int rounds, qsizetype length);

} // namespace Pbkdf2
