#pragma once

#include "core/CipherError.h"
#include "core/EncryptionError.h"

#include <variant>

// What sealing or opening an item can fail with: the service's own error,
// or the cipher's, passed on unchanged.
using SealingError = std::variant<EncryptionError, CipherError>;

QString description(const SealingError &error);
