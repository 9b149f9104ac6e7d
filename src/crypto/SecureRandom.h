#pragma once

#include "crypto/SecureBytes.h"

#include <optional>
#include <span>

// Bytes from the system's secure random source.
namespace SecureRandom {

// None when the source fails.
std::optional<SecureBytes> bytes(qsizetype count);

// Fills a small buffer (a nonce) from a per-thread reserve drawn from the
// same source: one draw per call costs more than sealing a short item.
// Every byte is handed out once; a forked child discards the reserve.
// False when the source fails.
bool fillSmall(std::span<unsigned char> out);

} // namespace SecureRandom
