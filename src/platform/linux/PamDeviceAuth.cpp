#include "platform/linux/PamDeviceAuth.h"

#include "base/WhenFinished.h"
#include "platform/OpenDialogs.h"
#include "platform/linux/PasswordPrompt.h"

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QtConcurrent>

#include <cstring>
#include <memory>

namespace {

// Wiped once the check is done with it.
struct Password {
    QByteArray utf8;
    ~Password() { explicit_bzero(utf8.data(), std::size_t(utf8.size())); }
};

DeviceAuth::Reply cancelled()
{
    return std::unexpected(
        DeviceAuthError {DeviceAuthError::Code::userCancel, QStringLiteral("Canceled by user.")});
}

void deliver(QObject *context, const std::function<void(DeviceAuth::Reply)> &reply, DeviceAuth::Reply answer)
{
    QMetaObject::invokeMethod(
        context, [reply, answer] { reply(answer); }, Qt::QueuedConnection);
}

} // namespace

PamDeviceAuth::PamDeviceAuth(PamAuthenticator authenticator) : m_authenticator(std::move(authenticator))
{
}

bool PamDeviceAuth::canEvaluate(Policy policy) const
{
    if (policy == Policy::biometrics)
        return false;
    return qobject_cast<QApplication *>(QCoreApplication::instance()) && QGuiApplication::primaryScreen()
        && m_authenticator.isAvailable();
}

void PamDeviceAuth::evaluate(
    Policy policy, const QString &reason, QObject *context, std::function<void(Reply)> reply)
{
    if (!canEvaluate(policy)) {
        deliver(context, reply,
            std::unexpected(DeviceAuthError {DeviceAuthError::Code::notAvailable,
                policy == Policy::biometrics ? QStringLiteral("Biometry is not available on this device.")
                                             : QStringLiteral("Authentication is not available.")}));
        return;
    }

    const OpenDialogs::Scope counts = OpenDialogs::scopeFromNow();
    const OpenDialogs::Opener opener;
    auto *prompt = new PasswordPrompt(reason);
    prompt->setAttribute(Qt::WA_DeleteOnClose);
    prompt->winId();
    opener.adopt(*prompt->windowHandle());
    QObject::connect(prompt, &QObject::destroyed, [opener] { opener.giveBack(); });
    QObject::connect(prompt, &QDialog::rejected, context, [reply] { reply(cancelled()); });
    const QPointer<QObject> receiver(context);
    QObject::connect(prompt, &PasswordPrompt::submitted, prompt,
        [prompt, receiver, reply, counts, authenticator = m_authenticator] {
            auto password = std::make_shared<Password>(prompt->takePassword());
            prompt->setBusy(true);
            whenFinished(prompt,
                QtConcurrent::run([authenticator, password] { return authenticator.verify(password->utf8); }),
                [prompt, receiver, reply, counts](const std::expected<void, QString> &verified) {
                    prompt->hide();
                    prompt->deleteLater();
                    if (!receiver)
                        return;
                    // A lock cannot close the prompt while it checks: the
                    // answer comes all the same, and counts for nothing.
                    const Reply answer = verified
                        ? Reply(true)
                        : Reply(std::unexpected(
                            DeviceAuthError {DeviceAuthError::Code::authenticationFailed, verified.error()}));
                    deliver(receiver, reply, counts() ? answer : cancelled());
                });
        });
    prompt->show();
    prompt->raise();
    prompt->activateWindow();
}
