#include "platform/linux/QtKeychainBackend.h"

#include "platform/linux/SecretServiceLookup.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QLibrary>

#include <qt6keychain/keychain.h>

#include <algorithm>
#include <mutex>

using namespace Qt::StringLiterals;

namespace QtKeychainBackend {

namespace {

enum class Desktop { kde4, kde5, other };

Desktop kdeOfVersion()
{
    const QByteArray version = qgetenv("KDE_SESSION_VERSION");
    if (version == "5")
        return Desktop::kde5;
    if (version == "4")
        return Desktop::kde4;
    return Desktop::other;
}

// QtKeychain's reading of the session, as it behaves: the first variable
// that names a desktop it knows decides. XDG_CURRENT_DESKTOP counts only
// whole: "ubuntu:KDE" names none.
Desktop sessionDesktop()
{
    const QByteArray current = qgetenv("XDG_CURRENT_DESKTOP");
    if (current == "KDE")
        return kdeOfVersion();
    if (current == "GNOME" || current == "Unity" || current == "XFCE")
        return Desktop::other;
    const QByteArray session = qgetenv("DESKTOP_SESSION");
    if (session == "kde")
        return kdeOfVersion();
    if (session == "gnome" || session == "xubuntu" || session.contains("xfce"))
        return Desktop::other;
    if (!qgetenv("GNOME_DESKTOP_SESSION_ID").isEmpty())
        return Desktop::other;
    if (!qgetenv("KDE_FULL_SESSION").isEmpty())
        return kdeOfVersion();
    return Desktop::other;
}

const KWalletDaemon kwalletd5 {u"org.kde.kwalletd5"_s, u"/modules/kwalletd5"_s};
const KWalletDaemon kwalletd4 {u"org.kde.kwalletd"_s, u"/modules/kwalletd"_s};

enum class Answer { given, refused, none };

// Asking starts a daemon that is not running but can be started. Refused:
// not there, or its start failed; none: it hangs, or is still starting.
Answer ask(const KWalletDaemon &daemon, std::chrono::milliseconds bound)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return Answer::refused;
    const QDBusMessage call = QDBusMessage::createMethodCall(
        daemon.service, daemon.path, u"org.kde.KWallet"_s, u"networkWallet"_s);
    const QDBusMessage reply = bus.call(call, QDBus::Block, int(bound.count()));
    if (reply.type() == QDBusMessage::ReplyMessage)
        return Answer::given;
    switch (QDBusError(reply).type()) {
    case QDBusError::NoReply:
    case QDBusError::Timeout:
    case QDBusError::TimedOut:
        return Answer::none;
    default:
        return Answer::refused;
    }
}

// QtKeychain reaches the Secret Service through libsecret, loaded at run
// time; without it, it falls back to KWallet.
bool libsecretLoads()
{
    QLibrary libsecret(u"secret-1"_s, 0);
    return libsecret.load();
}

using Choice = std::expected<std::optional<KWalletDaemon>, KeychainError>;

Choice pick(const QString &service, std::chrono::milliseconds bound)
{
    switch (sessionDesktop()) {
    case Desktop::kde4:
        return kwalletd4;
    case Desktop::kde5:
        switch (ask(kwalletd5, bound)) {
        case Answer::given:
            return kwalletd5;
        case Answer::refused:
            if (!libsecretLoads())
                return kwalletd5;
            return std::nullopt;
        case Answer::none:
            if (!libsecretLoads())
                return kwalletd5;
            // A vault kept in the Secret Service opens while kwalletd5 hangs.
            if (SecretServiceLookup::holdsItemsOf(service, bound).value_or(false))
                return std::nullopt;
            return std::unexpected(
                KeychainError {qint32(QKeychain::NoBackendAvailable), u"KWallet did not answer in time"_s});
        }
        break;
    case Desktop::other:
        if (!libsecretLoads() && ask(kwalletd5, bound) == Answer::given)
            return kwalletd5;
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

Choice kwallet(const QString &service, std::chrono::milliseconds bound)
{
    static std::mutex mutex;
    static std::optional<std::optional<KWalletDaemon>> decided;
    static bool asked = false;
    const std::scoped_lock lock(mutex);
    if (decided)
        return *decided;
    const Choice picked
        = pick(service, asked ? std::min<std::chrono::milliseconds>(bound, reaskBound) : bound);
    asked = true;
    if (picked)
        decided = *picked;
    return picked;
}

} // namespace QtKeychainBackend
