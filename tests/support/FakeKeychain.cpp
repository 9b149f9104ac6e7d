#include "support/FakeKeychain.h"

using namespace Qt::StringLiterals;

std::expected<void, KeychainError> FakeKeychain::store(
    const QString &account, const QByteArray &data, bool biometricProtection)
{
    calls.append(u"store "_s + account);
    if (unavailable)
        return std::unexpected(*unavailable);
    if (biometricProtection && !biometricsSupported)
        return std::unexpected(KeychainError {-1, u"No biometric protection"_s});
    items.remove(account);
    protectedItems.remove(account);
    if (storeFailures.contains(account))
        return std::unexpected(KeychainError {storeFailures.value(account), u"Store refused"_s});
    items.insert(account, data);
    if (biometricProtection)
        protectedItems.insert(account);
    return {};
}

std::expected<std::optional<QByteArray>, KeychainError> FakeKeychain::load(const QString &account)
{
    calls.append(u"load "_s + account);
    if (unavailable)
        return std::unexpected(*unavailable);
    if (!items.contains(account))
        return std::nullopt;
    return items.value(account);
}

std::expected<void, KeychainError> FakeKeychain::remove(const QString &account)
{
    calls.append(u"remove "_s + account);
    if (unavailable)
        return std::unexpected(*unavailable);
    items.remove(account);
    protectedItems.remove(account);
    return {};
}

std::expected<bool, KeychainError> FakeKeychain::exists(const QString &account)
{
    calls.append(u"exists "_s + account);
    if (unavailable)
        return std::unexpected(*unavailable);
    return existsAnswer.value_or(items.contains(account));
}
