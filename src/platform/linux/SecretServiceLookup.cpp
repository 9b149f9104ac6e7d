#include "platform/linux/SecretServiceLookup.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QMap>

#include <qt6keychain/keychain.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace SecretServiceLookup {

namespace {

using Attributes = QMap<QString, QString>;

KeychainError dbusFailure(const QDBusMessage &reply)
{
    return {qint32(QKeychain::OtherError), reply.errorMessage()};
}

QDBusMessage secretServiceCall(const QString &path, const QString &interface, const QString &method)
{
    return QDBusMessage::createMethodCall(u"org.freedesktop.secrets"_s, path, interface, method);
}

std::expected<QDBusConnection, KeychainError> sessionBus()
{
    static const QMetaType registered = qDBusRegisterMetaType<Attributes>();
    Q_UNUSED(registered);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return std::unexpected(
            KeychainError {qint32(QKeychain::NoBackendAvailable), bus.lastError().message()});
    return bus;
}

// A search on the Secret Service itself: it lists matching items of locked
// collections too, without a prompt, where reading through QtKeychain
// would ask to unlock. The attributes are those QtKeychain stores.
std::expected<bool, KeychainError> anyItemHas(QDBusConnection &bus, const Attributes &attributes, int timeout)
{
    QDBusMessage search = secretServiceCall(
        u"/org/freedesktop/secrets"_s, u"org.freedesktop.Secret.Service"_s, u"SearchItems"_s);
    search << QVariant::fromValue(attributes);
    const QDBusMessage found = bus.call(search, QDBus::Block, timeout);
    if (found.type() != QDBusMessage::ReplyMessage || found.arguments().size() != 2)
        return std::unexpected(dbusFailure(found));
    return std::ranges::any_of(found.arguments(),
        [](const QVariant &paths) { return !qdbus_cast<QList<QDBusObjectPath>>(paths).isEmpty(); });
}

} // namespace

std::expected<bool, KeychainError> hasItem(
    const QString &service, const QString &account, std::chrono::milliseconds bound)
{
    const int timeout = int(bound.count());
    auto bus = sessionBus();
    if (!bus)
        return std::unexpected(bus.error());
    const auto found = anyItemHas(*bus, {{u"user"_s, account}, {u"server"_s, service}}, timeout);
    if (!found || *found)
        return found;

    // Nothing found: only an answer when the collection it would be in is
    // open.
    QDBusMessage alias = secretServiceCall(
        u"/org/freedesktop/secrets"_s, u"org.freedesktop.Secret.Service"_s, u"ReadAlias"_s);
    alias << u"default"_s;
    const QDBusMessage collection = bus->call(alias, QDBus::Block, timeout);
    if (collection.type() != QDBusMessage::ReplyMessage || collection.arguments().isEmpty())
        return std::unexpected(dbusFailure(collection));
    const QString path = qdbus_cast<QDBusObjectPath>(collection.arguments().constFirst()).path();
    if (path == u"/")
        return false;
    QDBusMessage property = secretServiceCall(path, u"org.freedesktop.DBus.Properties"_s, u"Get"_s);
    property << u"org.freedesktop.Secret.Collection"_s << u"Locked"_s;
    const QDBusMessage locked = bus->call(property, QDBus::Block, timeout);
    if (locked.type() != QDBusMessage::ReplyMessage || locked.arguments().isEmpty())
        return std::unexpected(dbusFailure(locked));
    if (qdbus_cast<QDBusVariant>(locked.arguments().constFirst()).variant().toBool())
        return std::unexpected(KeychainError {qint32(QKeychain::AccessDenied), u"The keyring is locked"_s});
    return false;
}

std::expected<bool, KeychainError> holdsItemsOf(const QString &service, std::chrono::milliseconds bound)
{
    auto bus = sessionBus();
    if (!bus)
        return std::unexpected(bus.error());
    return anyItemHas(*bus, {{u"server"_s, service}}, int(bound.count()));
}

} // namespace SecretServiceLookup
