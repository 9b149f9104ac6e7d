#pragma once

#include <QString>

// Failures of the AES-GCM cipher itself. Callers pass them on unchanged,
// apart from the errors of the services that use the cipher.
enum class CipherError {
    incorrectParameterSize,
    authenticationFailure,
    // OpenSSL refused an operation that cannot fail with valid parameters.
    underlyingFailure,
};

QString description(CipherError error);
