#include "platform/linux/QtKeychainBackend.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QLibrary>

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

// Asking starts a daemon that is not running but can be started.
bool answers(const KWalletDaemon &daemon, std::chrono::milliseconds bound)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    const QDBusMessage call = QDBusMessage::createMethodCall(
        daemon.service, daemon.path, u"org.kde.KWallet"_s, u"networkWallet"_s);
    return bus.call(call, QDBus::Block, int(bound.count())).type() == QDBusMessage::ReplyMessage;
}

// QtKeychain reaches the Secret Service through libsecret, loaded at run
// time; without it, it falls back to KWallet.
bool libsecretLoads()
{
    QLibrary libsecret(u"secret-1"_s, 0);
    return libsecret.load();
}

std::optional<KWalletDaemon> pick(std::chrono::milliseconds bound)
{
    switch (sessionDesktop()) {
    case Desktop::kde4:
        return kwalletd4;
    case Desktop::kde5:
        if (answers(kwalletd5, bound) || !libsecretLoads())
            return kwalletd5;
        return std::nullopt;
    case Desktop::other:
        if (!libsecretLoads() && answers(kwalletd5, bound))
            return kwalletd5;
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

std::optional<KWalletDaemon> kwallet(std::chrono::milliseconds bound)
{
    static const std::optional<KWalletDaemon> picked = pick(bound);
    return picked;
}

} // namespace QtKeychainBackend
