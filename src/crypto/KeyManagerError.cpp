#include "crypto/KeyManagerError.h"

using namespace Qt::StringLiterals;

QString KeyManagerError::description() const
{
    switch (code) {
    case keychainStoreFailed:
        return u"Keychain store failed: "_s + QString::number(status);
    case randomGenerationFailed:
        return u"Failed to generate secure random data"_s;
    case encryptionFailed:
        return u"Encryption operation failed"_s;
    case invalidPasscode:
        return u"Invalid passcode"_s;
    case keyDerivationFailed:
        return u"Key derivation failed"_s;
    case saltNotFound:
        return u"Encryption salt not found"_s;
    case masterKeyNotFound:
        return u"Master key not found in Keychain"_s;
    case biometricsUnavailable:
        return u"Biometric authentication not available"_s;
    case biometricsFailed:
        return u"Biometric authentication failed"_s;
    case keychainUnavailable:
        return u"Keychain unavailable: "_s + message;
    }
    return {};
}
