#pragma once

#include "platform/DeviceAuth.h"
#include "platform/linux/PamAuthenticator.h"

// Owner authentication as the account password, typed into our own prompt
// and checked with PAM off the main thread. There are no biometrics: the
// Secret Service cannot keep an item behind a fingerprint.
class PamDeviceAuth final : public DeviceAuth {
public:
    explicit PamDeviceAuth(PamAuthenticator authenticator = PamAuthenticator());

    // Owner authentication needs a screen to prompt on and a PAM service
    // that can check the user.
    bool canEvaluate(Policy policy) const override;
    void evaluate(
        Policy policy, const QString &reason, QObject *context, std::function<void(Reply)> reply) override;

private:
    PamAuthenticator m_authenticator;
};
