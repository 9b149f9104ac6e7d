#pragma once

#include "platform/KeychainError.h"

#include <QString>

#include <chrono>
#include <expected>

// Whether the Secret Service holds the item QtKeychain would read for
// service and account, asked without a prompt to unlock.
namespace SecretServiceLookup {

// A locked keyring that finds nothing cannot tell: an error.
std::expected<bool, KeychainError> hasItem(
    const QString &service, const QString &account, std::chrono::milliseconds bound);

// Whether it holds any item of service, in a locked collection or not.
std::expected<bool, KeychainError> holdsItemsOf(const QString &service, std::chrono::milliseconds bound);

} // namespace SecretServiceLookup
