#pragma once

#include "platform/Keychain.h"

#include <QMap>
#include <QSet>
#include <QStringList>

// Items in memory. Tests change items directly (absent, corrupt, wrong
// length), make stores of an account fail with a status, make every call
// fail, and read the log of calls.
class FakeKeychain final : public Keychain {
public:
    std::expected<void, KeychainError> store(
        const QString &account, const QByteArray &data, bool biometricProtection) override;
    std::expected<std::optional<QByteArray>, KeychainError> load(const QString &account) override;
    std::expected<void, KeychainError> remove(const QString &account) override;
    std::expected<bool, KeychainError> exists(const QString &account) override;
    bool canProtectWithBiometrics() const override { return biometricsSupported; }

    QMap<QString, QByteArray> items;
    // Accounts whose item was stored behind biometrics.
    QSet<QString> protectedItems;
    // "store <account>", "load <account>", "remove <account>", "exists <account>".
    QStringList calls;
    // Status with which a store of that account fails.
    QMap<QString, qint32> storeFailures;
    // When set, exists gives it for every account, as a check that asks
    // another store than the items' one does.
    std::optional<bool> existsAnswer;
    // When set, every call fails with it.
    std::optional<KeychainError> unavailable;
    bool biometricsSupported = false;
};
