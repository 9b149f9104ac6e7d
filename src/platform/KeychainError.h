#pragma once

#include <QString>

// A keychain that could not answer: service down, keyring locked, access
// refused, no reply in time. Never used for "no such item".
struct KeychainError {
    // The platform's own code.
    qint32 status = 0;
    QString message;

    bool operator==(const KeychainError &other) const = default;
};
