#pragma once

#include "platform/DeviceAuthError.h"

#include <QObject>
#include <QString>

#include <expected>
#include <functional>

// Proof that the device's owner is present: a biometric match, or the
// owner's own authentication (biometrics or the account password).
class DeviceAuth {
public:
    enum class Policy {
        biometrics,
        ownerAuthentication,
    };

    // true: authenticated; false: refused without a specific error.
    using Reply = std::expected<bool, DeviceAuthError>;

    virtual ~DeviceAuth() = default;

    virtual bool canEvaluate(Policy policy) const = 0;

    // Shows the prompt with reason. The reply is delivered on context's
    // thread, and dropped if context is destroyed first.
    virtual void evaluate(
        Policy policy, const QString &reason, QObject *context, std::function<void(Reply)> reply)
        = 0;
};
