#include "platform/linux/SecretServiceKeychain.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QMap>
#include <QThread>

#include <qt6keychain/keychain.h>

#include <future>
#include <memory>
#include <type_traits>

using namespace Qt::StringLiterals;

namespace {

// QtKeychain queues every job of the process on one executor object that
// lives in the thread of the first job, so all jobs share one thread that
// lives as long as the application.
struct JobThread {
    QThread thread;
    QObject context;
};

JobThread *s_jobThread = nullptr;

QObject *jobContext()
{
    static QObject *context = [] {
        s_jobThread = new JobThread;
        s_jobThread->thread.setObjectName(u"keychain"_s);
        s_jobThread->context.moveToThread(&s_jobThread->thread);
        s_jobThread->thread.start();
        qAddPostRoutine([] {
            s_jobThread->thread.quit();
            s_jobThread->thread.wait();
            delete s_jobThread;
            s_jobThread = nullptr;
        });
        return &s_jobThread->context;
    }();
    return context;
}

struct JobOutcome {
    QKeychain::Error error = QKeychain::NoError;
    QString message;
    QByteArray data;
};

KeychainError failure(const JobOutcome &outcome)
{
    return {qint32(outcome.error), outcome.message};
}

// Runs one job for account on the job thread and waits for its end. The
// job gets copies of everything: it may outlive the wait.
template<typename JobType>
std::expected<JobOutcome, KeychainError> runJob(const QString &service, const QString &account,
    std::chrono::milliseconds bound, const QByteArray &data = {})
{
    auto promise = std::make_shared<std::promise<JobOutcome>>();
    std::future<JobOutcome> outcome = promise->get_future();
    QObject *context = jobContext();
    QMetaObject::invokeMethod(
        context,
        [context, service, account, data, promise] {
            auto *job = new JobType(service, context);
            job->setKey(account);
            if constexpr (std::is_same_v<JobType, QKeychain::WritePasswordJob>)
                job->setBinaryData(data);
            job->setAutoDelete(true);
            job->setInsecureFallback(false);
            QObject::connect(job, &QKeychain::Job::finished, context, [promise](QKeychain::Job *finished) {
                JobOutcome result {finished->error(), finished->errorString(), {}};
                if constexpr (std::is_same_v<JobType, QKeychain::ReadPasswordJob>)
                    result.data = static_cast<JobType *>(finished)->binaryData();
                promise->set_value(std::move(result));
            });
            job->start();
        },
        Qt::QueuedConnection);
    if (outcome.wait_for(bound) != std::future_status::ready) {
        return std::unexpected(KeychainError {
            qint32(QKeychain::OtherError), u"The keyring did not answer within %1 ms"_s.arg(bound.count())});
    }
    return outcome.get();
}

KeychainError dbusFailure(const QDBusMessage &reply)
{
    return {qint32(QKeychain::OtherError), reply.errorMessage()};
}

QDBusMessage secretServiceCall(const QString &path, const QString &interface, const QString &method)
{
    return QDBusMessage::createMethodCall(u"org.freedesktop.secrets"_s, path, interface, method);
}

} // namespace

SecretServiceKeychain::SecretServiceKeychain(QString service, std::chrono::milliseconds bound)
    : m_service(std::move(service)), m_bound(bound)
{
}

std::expected<void, KeychainError> SecretServiceKeychain::store(
    const QString &account, const QByteArray &data, bool biometricProtection)
{
    if (biometricProtection) {
        return std::unexpected(
            KeychainError {qint32(QKeychain::NotImplemented), u"Biometric protection is not available"_s});
    }
    const auto outcome = runJob<QKeychain::WritePasswordJob>(m_service, account, m_bound, data);
    if (!outcome)
        return std::unexpected(outcome.error());
    if (outcome->error != QKeychain::NoError)
        return std::unexpected(failure(*outcome));
    return {};
}

std::expected<std::optional<QByteArray>, KeychainError> SecretServiceKeychain::load(const QString &account)
{
    auto outcome = runJob<QKeychain::ReadPasswordJob>(m_service, account, m_bound);
    if (!outcome)
        return std::unexpected(outcome.error());
    if (outcome->error == QKeychain::EntryNotFound)
        return std::nullopt;
    if (outcome->error != QKeychain::NoError)
        return std::unexpected(failure(*outcome));
    return std::move(outcome->data);
}

std::expected<void, KeychainError> SecretServiceKeychain::remove(const QString &account)
{
    const auto outcome = runJob<QKeychain::DeletePasswordJob>(m_service, account, m_bound);
    if (!outcome)
        return std::unexpected(outcome.error());
    if (outcome->error != QKeychain::NoError && outcome->error != QKeychain::EntryNotFound)
        return std::unexpected(failure(*outcome));
    return {};
}

// A search on the Secret Service itself: it lists matching items of locked
// collections too, without a prompt, where reading through QtKeychain
// would ask to unlock. The attributes are those QtKeychain stores.
std::expected<bool, KeychainError> SecretServiceKeychain::exists(const QString &account)
{
    using Attributes = QMap<QString, QString>;
    static const QMetaType registered = qDBusRegisterMetaType<Attributes>();
    Q_UNUSED(registered);
    const int timeout = int(m_bound.count());
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return std::unexpected(
            KeychainError {qint32(QKeychain::NoBackendAvailable), bus.lastError().message()});

    QDBusMessage search = secretServiceCall(
        u"/org/freedesktop/secrets"_s, u"org.freedesktop.Secret.Service"_s, u"SearchItems"_s);
    search << QVariant::fromValue(Attributes {{u"user"_s, account}, {u"server"_s, m_service}});
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
