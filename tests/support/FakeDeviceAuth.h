#pragma once

#include "platform/DeviceAuth.h"

#include <QStringList>

// Answers prompts with a set reply, from the calling thread's event loop or
// from another thread, as a real prompt does.
class FakeDeviceAuth final : public DeviceAuth {
public:
    bool canEvaluate(Policy policy) const override;
    void evaluate(
        Policy policy, const QString &reason, QObject *context, std::function<void(Reply)> reply) override;

    bool biometricsAvailable = false;
    bool ownerAuthenticationAvailable = true;
    Reply answer = true;
    bool answerFromAnotherThread = false;
    // The reasons of every prompt shown.
    QStringList prompts;
};
