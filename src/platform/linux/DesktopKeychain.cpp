#include "platform/linux/DesktopKeychain.h"

#include "platform/linux/KWalletLookup.h"
#include "platform/linux/QtKeychainBackend.h"
#include "platform/linux/SecretServiceLookup.h"

#include <QCoreApplication>
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
    // Ours first, and no job while it is open: see QtKeychainBackend::kwallet.
    if (const auto backend = QtKeychainBackend::kwallet(service, bound); !backend)
        return std::unexpected(backend.error());
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

} // namespace

DesktopKeychain::DesktopKeychain(QString service, std::chrono::milliseconds bound)
    : m_service(std::move(service)), m_bound(bound)
{
}

std::expected<void, KeychainError> DesktopKeychain::store(
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

std::expected<std::optional<QByteArray>, KeychainError> DesktopKeychain::load(const QString &account)
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

std::expected<void, KeychainError> DesktopKeychain::remove(const QString &account)
{
    const auto outcome = runJob<QKeychain::DeletePasswordJob>(m_service, account, m_bound);
    if (!outcome)
        return std::unexpected(outcome.error());
    if (outcome->error != QKeychain::NoError && outcome->error != QKeychain::EntryNotFound)
        return std::unexpected(failure(*outcome));
    return {};
}

std::expected<bool, KeychainError> DesktopKeychain::exists(const QString &account)
{
    const auto backend = QtKeychainBackend::kwallet(m_service, m_bound);
    if (!backend)
        return std::unexpected(backend.error());
    if (*backend)
        return KWalletLookup::hasEntry(**backend, m_service, account, m_bound);
    return SecretServiceLookup::hasItem(m_service, account, m_bound);
}
