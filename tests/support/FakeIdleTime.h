#pragma once

#include "platform/IdleTime.h"

// Idle time that the test sets.
class FakeIdleTime final : public IdleTime {
public:
    std::optional<std::chrono::milliseconds> sinceLastInput() const override { return m_idle; }

    void set(std::optional<std::chrono::milliseconds> idle) { m_idle = idle; }

private:
    std::optional<std::chrono::milliseconds> m_idle;
};
