#include "crypto/CipherError.h"

using namespace Qt::StringLiterals;

QString description(CipherError error)
{
    switch (error) {
    case CipherError::incorrectParameterSize:
        return u"Incorrect parameter size"_s;
    case CipherError::authenticationFailure:
        return u"Authentication failure"_s;
    case CipherError::underlyingFailure:
        return u"Cipher failure"_s;
    }
    return {};
}
