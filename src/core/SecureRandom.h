#pragma once

#include "core/SecureBytes.h"

#include <optional>

// Bytes from the system's secure random source; none when the source fails.
namespace SecureRandom {

std::optional<SecureBytes> bytes(qsizetype count);

} // namespace SecureRandom
