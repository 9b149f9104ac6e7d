#pragma once

#include <QString>

#include <expected>

// Starting the application when the user logs in.
class LoginItem {
public:
    // The values match the numbers the settings logic is written against.
    enum class Status {
        notRegistered = 0,
        enabled = 1,
        requiresApproval = 2,
        notFound = 3,
    };

    virtual ~LoginItem() = default;

    virtual Status status() const = 0;

    // Both fail with a description the user can read.
    virtual std::expected<void, QString> registerItem() = 0;
    virtual std::expected<void, QString> unregisterItem() = 0;

    // Opens the desktop's own login-items settings, where there are any.
    virtual void openSystemSettings() = 0;
};
