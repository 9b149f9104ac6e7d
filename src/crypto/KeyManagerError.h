#pragma once

#include <QString>

struct KeyManagerError {
    enum class Code {
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
    // The keychain's status for keychainStoreFailed, its own message for
    // keychainUnavailable.
    QString detail {};

    bool operator==(const KeyManagerError &other) const = default;
};

QString description(const KeyManagerError &error);
