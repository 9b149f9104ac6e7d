#pragma once

#include <QString>

// Why an authentication prompt did not succeed.
struct DeviceAuthError {
    enum class Code {
        userCancel,
        userFallback,
        authenticationFailed,
        lockout,
        notAvailable,
        failed,
    };

    Code code = Code::failed;
    // The platform's own text, shown to the user.
    QString detail;

    bool operator==(const DeviceAuthError &other) const = default;
};

inline QString description(const DeviceAuthError &error)
{
    return error.detail;
}
