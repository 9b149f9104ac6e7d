#pragma once

#include <QString>

struct KeyManagerError {
    enum Code {
        keychainStoreFailed,
        randomGenerationFailed,
        encryptionFailed,
        invalidPasscode,
        keyDerivationFailed,
        saltNotFound,
        masterKeyNotFound,
        biometricsUnavailable,
        biometricsFailed,
        // The keychain could not answer (service down, keyring locked):
        // unlike a missing item, this says nothing about whether a key exists.
        keychainUnavailable,
    };

    Code code;
    // The keychain's status, for keychainStoreFailed.
    qint32 status = 0;
    // The keychain's own message, for keychainUnavailable.
    QString message {};

    static KeyManagerError storeFailed(qint32 status) { return {keychainStoreFailed, status, {}}; }
    static KeyManagerError unavailable(QString message)
    {
        return {keychainUnavailable, 0, std::move(message)};
    }

    QString description() const;
    bool operator==(const KeyManagerError &other) const = default;
};
