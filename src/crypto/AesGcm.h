#pragma once

#include "crypto/CipherError.h"
#include "crypto/SecureBytes.h"

#include <QByteArray>
#include <QByteArrayView>

#include <expected>

struct evp_cipher_ctx_st;

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

// As seal, building the box in data's own buffer, so that a large
// plaintext is not held twice; after a failure data holds nothing of use.
std::expected<void, CipherError> sealInPlace(
    QByteArrayView key, QByteArrayView nonce, QByteArray &data, QByteArrayView associatedData = {});

// Opens a combined box. Boxes shorter than overhead fail with
// incorrectParameterSize before anything is decrypted.
std::expected<QByteArray, CipherError> open(
    QByteArrayView key, QByteArrayView box, QByteArrayView associatedData = {});

// As open, for plaintexts that are themselves secrets (keys).
std::expected<SecureBytes, CipherError> openSecret(
    QByteArrayView key, QByteArrayView box, QByteArrayView associatedData = {});

// Opens one box piece by piece, for boxes too large to hold twice. Nothing
// it gives is authentic until finish has checked the tag.
class Opener final {
    Q_DISABLE_COPY(Opener)

public:
    // Not valid for a key or nonce of the wrong size.
    Opener(QByteArrayView key, QByteArrayView nonce, QByteArrayView associatedData = {});
    ~Opener();

    bool isValid() const { return m_context != nullptr; }
    // Decrypts the next piece of ciphertext where it lies.
    bool update(char *data, qsizetype size);
    // Whether tag seals everything given to update.
    bool finish(QByteArrayView tag);

private:
    evp_cipher_ctx_st *m_context = nullptr;
};

} // namespace AesGcm
