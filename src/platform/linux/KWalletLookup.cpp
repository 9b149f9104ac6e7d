#include "platform/linux/KWalletLookup.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariant>

#include <qt6keychain/keychain.h>

using namespace Qt::StringLiterals;

namespace KWalletLookup {

namespace {

class Daemon {
public:
    Daemon(const QtKeychainBackend::KWalletDaemon &daemon, std::chrono::milliseconds bound)
        : m_daemon(daemon), m_timeout(int(bound.count()))
    {
    }

    // The call's one result, or the daemon's error.
    std::expected<QVariant, KeychainError> call(const QString &method, const QVariantList &arguments) const
    {
        QDBusMessage message
            = QDBusMessage::createMethodCall(m_daemon.service, m_daemon.path, u"org.kde.KWallet"_s, method);
        message.setArguments(arguments);
        const QDBusMessage reply = m_bus.call(message, QDBus::Block, m_timeout);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return std::unexpected(KeychainError {qint32(QKeychain::OtherError), reply.errorMessage()});
        return reply.arguments().constFirst();
    }

private:
    QDBusConnection m_bus = QDBusConnection::sessionBus();
    QtKeychainBackend::KWalletDaemon m_daemon;
    int m_timeout;
};

} // namespace

std::expected<bool, KeychainError> hasEntry(const QtKeychainBackend::KWalletDaemon &daemon,
    const QString &service, const QString &account, std::chrono::milliseconds bound)
{
    const Daemon kwallet(daemon, bound);
    const auto wallet = kwallet.call(u"networkWallet"_s, {});
    if (!wallet)
        return std::unexpected(wallet.error());
    const auto absent = kwallet.call(u"keyDoesNotExist"_s, {*wallet, service, account});
    if (!absent)
        return std::unexpected(absent.error());
    if (!absent->toBool())
        return true;

    // That answer comes from the folder and key names the wallet's file lists
    // in the clear. An open wallet keeps the list it read when it opened,
    // blind to folders made since: ask it, which needs no password as it is
    // open.
    const auto open = kwallet.call(u"isOpen"_s, {*wallet});
    if (!open)
        return std::unexpected(open.error());
    if (!open->toBool())
        return false;
    const auto handle = kwallet.call(u"open"_s, {*wallet, qlonglong(0), service});
    if (!handle)
        return std::unexpected(handle.error());
    if (handle->toInt() < 0) {
        return std::unexpected(
            KeychainError {qint32(QKeychain::AccessDenied), u"KWallet did not open the wallet"_s});
    }
    const auto found = kwallet.call(u"hasEntry"_s, {*handle, service, account, service});
    if (!found)
        return std::unexpected(found.error());
    return found->toBool();
}

} // namespace KWalletLookup
