#include "crypto/EncryptionError.h"

using namespace Qt::StringLiterals;

QString description(EncryptionError error)
{
    switch (error) {
    case EncryptionError::masterKeyUnavailable:
        return u"App is locked. Master key not available."_s;
    case EncryptionError::sealFailed:
        return u"Encryption failed"_s;
    case EncryptionError::encodingFailed:
        return u"String encoding failed"_s;
    case EncryptionError::decodingFailed:
        return u"String decoding failed"_s;
    case EncryptionError::randomGenerationFailed:
        return u"Secure random generation failed"_s;
    }
    return {};
}
