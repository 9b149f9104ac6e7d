#include "core/SecureRandom.h"

#include <openssl/rand.h>

std::optional<SecureBytes> SecureRandom::bytes(qsizetype count)
{
    SecureBytes result(count);
    if (count > 0 && RAND_bytes(result.data(), static_cast<int>(count)) != 1)
        return std::nullopt;
    return result;
}
