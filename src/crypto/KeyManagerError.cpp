#include "crypto/KeyManagerError.h"

using namespace Qt::StringLiterals;

QString description(const KeyManagerError &error)
{
    switch (error.code) {
    case KeyManagerError::Code::keychainStoreFailed:
        return u"Keyring store failed: "_s + error.detail;
    case KeyManagerError::Code::randomGenerationFailed:
        return u"Failed to generate secure random data"_s;
    case KeyManagerError::Code::encryptionFailed:
        return u"Encryption operation failed"_s;
    case KeyManagerError::Code::invalidPasscode:
        return u"Invalid passcode"_s;
    case KeyManagerError::Code::keyDerivationFailed:
        return u"Key derivation failed"_s;
    case KeyManagerError::Code::saltNotFound:
        return u"Encryption salt not found"_s;
    case KeyManagerError::Code::masterKeyNotFound:
        return u"Master key not found in keyring"_s;
    case KeyManagerError::Code::biometricsUnavailable:
        return u"Biometric authentication not available"_s;
    case KeyManagerError::Code::biometricsFailed:
        return u"Biometric authentication failed"_s;
    case KeyManagerError::Code::keychainUnavailable:
        return u"Keyring unavailable: "_s + error.detail;
    }
    return {};
}
