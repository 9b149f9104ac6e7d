#pragma once

#include "crypto/CipherError.h"
#include "crypto/EncryptionError.h"

#include <variant>

// What sealing or opening an item can fail with: the service's own error,
// or the cipher's, passed on unchanged.
using SealingError = std::variant<EncryptionError, CipherError>;

QString description(const SealingError &error);
