#pragma once

#include <QString>

#include <chrono>
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

// The daemon when QtKeychain uses KWallet, nullopt for the Secret Service.
// Decided on the first call and kept, as QtKeychain keeps its choice; that
// call waits at most bound for kwalletd, so one started on demand is up
// before QtKeychain, which waits half a second, asks. Make the first call
// before the first job.
std::optional<KWalletDaemon> kwallet(std::chrono::milliseconds bound);

} // namespace QtKeychainBackend
