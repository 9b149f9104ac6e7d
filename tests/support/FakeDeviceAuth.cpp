#include "support/FakeDeviceAuth.h"

#include <thread>

bool FakeDeviceAuth::canEvaluate(Policy policy) const
{
    return policy == Policy::biometrics ? biometricsAvailable : ownerAuthenticationAvailable;
}

void FakeDeviceAuth::evaluate(
    Policy, const QString &reason, QObject *context, std::function<void(Reply)> reply)
{
    prompts.append(reason);
    auto deliver = [context, reply = std::move(reply), answer = answer] {
        QMetaObject::invokeMethod(
            context, [reply, answer] { reply(answer); }, Qt::QueuedConnection);
    };
    if (answerFromAnotherThread)
        std::thread(deliver).join();
    else
        deliver();
}
