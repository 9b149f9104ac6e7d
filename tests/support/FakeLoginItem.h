#pragma once

#include "platform/LoginItem.h"

#include <optional>

// A login item whose answers the test sets, including the approval step that
// Linux never has.
class FakeLoginItem final : public LoginItem {
public:
    Status status() const override { return currentStatus; }

    std::expected<void, QString> registerItem() override
    {
        ++registerCalls;
        if (failure)
            return std::unexpected(*failure);
        currentStatus = statusAfterRegister;
        return {};
    }

    std::expected<void, QString> unregisterItem() override
    {
        ++unregisterCalls;
        if (failure)
            return std::unexpected(*failure);
        currentStatus = Status::notRegistered;
        return {};
    }

    void openSystemSettings() override { ++openSettingsCalls; }

    Status currentStatus = Status::notRegistered;
    Status statusAfterRegister = Status::enabled;
    // When set, register and unregister fail with this description.
    std::optional<QString> failure;
    int registerCalls = 0;
    int unregisterCalls = 0;
    int openSettingsCalls = 0;
};
