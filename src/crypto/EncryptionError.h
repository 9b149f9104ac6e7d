#pragma once

#include <QString>

enum class EncryptionError {
    masterKeyUnavailable,
    sealFailed,
    encodingFailed,
    decodingFailed,
    randomGenerationFailed,
};

QString description(EncryptionError error);
