#pragma once

#include "platform/KeychainError.h"

#include <QByteArray>
#include <QString>

#include <expected>
#include <optional>

// Generic-password items of one service, addressed by account name.
// Every call answers before it returns.
class Keychain {
public:
    virtual ~Keychain() = default;

    // Replaces any item of that account. With biometricProtection the item
    // is readable only after a biometric match; a keychain that cannot
    // protect it so stores nothing and fails.
    virtual std::expected<void, KeychainError> store(
        const QString &account, const QByteArray &data, bool biometricProtection)
        = 0;

    // The item's data, or nullopt when there is no such item.
    virtual std::expected<std::optional<QByteArray>, KeychainError> load(const QString &account) = 0;

    // Succeeds also when there was no such item.
    virtual std::expected<void, KeychainError> remove(const QString &account) = 0;

    // Asks without prompting to unlock the keyring where the platform
    // allows it; a keyring that cannot tell (locked) is an error, one that
    // can only say the item may be there answers true.
    virtual std::expected<bool, KeychainError> exists(const QString &account) = 0;

    virtual bool canProtectWithBiometrics() const = 0;
};
