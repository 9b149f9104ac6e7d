#pragma once

#include "platform/KeychainError.h"

#include <QString>

#include <chrono>
#include <expected>
#include <optional>

// Which store QtKeychain's jobs use in this process. QtKeychain decides once,
// at its first job, from the session's variables: on a KDE session it takes
// KWallet when kwalletd answers, elsewhere the Secret Service.
namespace QtKeychainBackend {

// KWallet's daemon on the session bus. QtKeychain keeps an item in the
// daemon's network wallet, in the folder named as the item's service, under
// the account as key, and opens the wallet with the service as application.
struct KWalletDaemon {
    QString service;
    QString path;
};

// After a first call that could not decide, later calls wait at most this
// long: they come from the lock screen, which waits for them.
inline constexpr std::chrono::seconds reaskBound {3};

// The daemon when QtKeychain uses KWallet, nullopt for the Secret Service.
// The first call waits at most bound for kwalletd, so one started on demand
// is up before QtKeychain, which waits half a second, asks. On a Plasma 5
// session a kwalletd5 that does not answer in time leaves the choice open,
// an error, unless the Secret Service holds items of service: QtKeychain
// would choose whichever answers at its own first job. A choice is kept, as
// QtKeychain keeps its own; an open one is not, and the next call asks
// again. Call it before every job: none may run while the choice is open.
std::expected<std::optional<KWalletDaemon>, KeychainError> kwallet(
    const QString &service, std::chrono::milliseconds bound);

} // namespace QtKeychainBackend
