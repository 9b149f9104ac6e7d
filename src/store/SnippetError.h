#pragma once

#include "crypto/CipherError.h"
#include "crypto/EncryptionError.h"
#include "crypto/SealingError.h"
#include "store/StorageError.h"

#include <variant>

// What saving a snippet or recording its use can fail with: sealing its
// fields, or the database.
using SnippetError = std::variant<EncryptionError, CipherError, StorageError>;

SnippetError toSnippetError(const SealingError &error);

QString description(const SnippetError &error);
