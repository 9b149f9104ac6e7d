#pragma once

#include "platform/Keychain.h"

#include <chrono>

// Items in the desktop's keyring through QtKeychain: the freedesktop Secret
// Service (gnome-keyring, KeePassXC, ...), or KWallet where QtKeychain picks
// it (KDE). QtKeychain's jobs are asynchronous: they run on one process-wide
// worker thread while the caller waits, at most bound, without running a
// nested event loop. The existence check asks the same store directly.
// While it cannot be told which store that is, every call fails.
class DesktopKeychain final : public Keychain {
    Q_DISABLE_COPY(DesktopKeychain)

public:
    explicit DesktopKeychain(QString service, std::chrono::milliseconds bound = std::chrono::seconds(30));

    std::expected<void, KeychainError> store(
        const QString &account, const QByteArray &data, bool biometricProtection) override;
    std::expected<std::optional<QByteArray>, KeychainError> load(const QString &account) override;
    std::expected<void, KeychainError> remove(const QString &account) override;
    std::expected<bool, KeychainError> exists(const QString &account) override;

    // Neither keyring can put an item behind a fingerprint.
    bool canProtectWithBiometrics() const override { return false; }

private:
    QString m_service;
    std::chrono::milliseconds m_bound;
};
