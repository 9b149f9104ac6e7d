#pragma once

#include "platform/KeychainError.h"
#include "platform/linux/QtKeychainBackend.h"

#include <chrono>
#include <expected>

// Whether KWallet holds the item QtKeychain would read for service and
// account, asked without a password prompt.
namespace KWalletLookup {

// True also when the daemon can only say the item may exist.
std::expected<bool, KeychainError> hasEntry(const QtKeychainBackend::KWalletDaemon &daemon,
    const QString &service, const QString &account, std::chrono::milliseconds bound);

} // namespace KWalletLookup
