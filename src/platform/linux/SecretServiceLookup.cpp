#include "platform/linux/SecretServiceLookup.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QMap>

#include <qt6keychain/keychain.h>

using namespace Qt::StringLiterals;

namespace SecretServiceLookup {

namespace {

KeychainError dbusFailure(const QDBusMessage &reply)
{
    return {qint32(QKeychain::OtherError), reply.errorMessage()};
}

QDBusMessage secretServiceCall(const QString &path, const QString &interface, const QString &method)
{
    return QDBusMessage::createMethodCall(u"org.freedesktop.secrets"_s, path, interface, method);
}

} // namespace

// A search on the Secret Service itself: it lists matching items of locked
// collections too, without a prompt, where reading through QtKeychain
// would ask to unlock. The attributes are those QtKeychain stores.
std::expected<bool, KeychainError> hasItem(
    const QString &service, const QString &account, std::chrono::milliseconds bound)
{
    using Attributes = QMap<QString, QString>;
    static const QMetaType registered = qDBusRegisterMetaType<Attributes>();
    Q_UNUSED(registered);
    const int timeout = int(bound.count());
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return std::unexpected(
            KeychainError {qint32(QKeychain::NoBackendAvailable), bus.lastError().message()});

    QDBusMessage search = secretServiceCall(
        u"/org/freedesktop/secrets"_s, u"org.freedesktop.Secret.Service"_s, u"SearchItems"_s);
    search << QVariant::fromValue(Attributes {{u"user"_s, account}, {u"server"_s, service}});
    const QDBusMessage found = bus.call(search, QDBus::Block, timeout);
    if (found.type() != QDBusMessage::ReplyMessage || found.arguments().size() != 2)
        return std::unexpected(dbusFailure(found));
    for (const QVariant &paths : found.arguments()) {
        if (!qdbus_cast<QList<QDBusObjectPath>>(paths).isEmpty())
            return true;
    }

    // Nothing found: only an answer when the collection it would be in is
    // open.
    QDBusMessage alias = secretServiceCall(
        u"/org/freedesktop/secrets"_s, u"org.freedesktop.Secret.Service"_s, u"ReadAlias"_s);
    alias << u"default"_s;
    const QDBusMessage collection = bus.call(alias, QDBus::Block, timeout);
    if (collection.type() != QDBusMessage::ReplyMessage || collection.arguments().isEmpty())
        return std::unexpected(dbusFailure(collection));
    const QString path = qdbus_cast<QDBusObjectPath>(collection.arguments().constFirst()).path();
    if (path == u"/")
        return false;
    QDBusMessage property = secretServiceCall(path, u"org.freedesktop.DBus.Properties"_s, u"Get"_s);
    property << u"org.freedesktop.Secret.Collection"_s << u"Locked"_s;
    const QDBusMessage locked = bus.call(property, QDBus::Block, timeout);
    if (locked.type() != QDBusMessage::ReplyMessage || locked.arguments().isEmpty())
        return std::unexpected(dbusFailure(locked));
    if (qdbus_cast<QDBusVariant>(locked.arguments().constFirst()).variant().toBool())
        return std::unexpected(KeychainError {qint32(QKeychain::AccessDenied), u"The keyring is locked"_s});
    return false;
}

} // namespace SecretServiceLookup
