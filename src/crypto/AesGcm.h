#pragma once

#include "crypto/CipherError.h"
#include "crypto/SecureBytes.h"

#include <QByteArray>
#include <QByteArrayView>

#include <expected>

// AES-256-GCM on combined boxes: 12-byte nonce, ciphertext, 16-byte tag.
// Item sealing, the sealed master key and the backup all use these.
namespace AesGcm {

inline constexpr qsizetype keySize = 32;
inline constexpr qsizetype nonceSize = 12;
inline constexpr qsizetype tagSize = 16;
inline constexpr qsizetype overhead = nonceSize + tagSize;

// Seals under key with the given nonce; associatedData is authenticated but
// not encrypted. Returns the combined box.
std::expected<QByteArray, CipherError> seal(
    QByteArrayView key, QByteArrayView nonce, QByteArrayView plaintext, QByteArrayView associatedData = {});

// Opens a combined box. Boxes shorter than overhead fail with
// incorrectParameterSize before anything is decrypted.
std::expected<QByteArray, CipherError> open(
    QByteArrayView key, QByteArrayView box, QByteArrayView associatedData = {});

// As open, for plaintexts that are themselves secrets (keys).
std::expected<SecureBytes, CipherError> openSecret(
    QByteArrayView key, QByteArrayView box, QByteArrayView associatedData = {});

} // namespace AesGcm
