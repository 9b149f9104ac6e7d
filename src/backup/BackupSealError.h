#pragma once

#include "backup/BackupError.h"
#include "backup/CompressionError.h"
#include "crypto/CipherError.h"

#include <variant>

// What sealing a backup can fail with: backup work's own error, or the
// compressor's or the cipher's, passed on unchanged.
using BackupSealError = std::variant<BackupError, CompressionError, CipherError>;

QString description(const BackupSealError &error);
