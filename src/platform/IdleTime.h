#pragma once

#include <chrono>
#include <optional>

// How long the user's session has gone without keyboard, pointer or other
// input.
class IdleTime {
public:
    virtual ~IdleTime() = default;

    // Time since the last input event anywhere in the session; none when the
    // platform cannot tell.
    virtual std::optional<std::chrono::milliseconds> sinceLastInput() const = 0;
};
