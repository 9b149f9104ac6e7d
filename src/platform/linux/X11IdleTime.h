#pragma once

#include "platform/IdleTime.h"

#include <QtGlobal>

#include <cstdint>

struct xcb_connection_t;

// Idle time from the X server's screen-saver extension. Holds its own
// connection so it answers whatever Qt platform plugin the process runs on;
// without a display or the extension every answer is "unknown".
class X11IdleTime final : public IdleTime {
    Q_DISABLE_COPY(X11IdleTime)

public:
    // Connects to the display named by DISPLAY.
    X11IdleTime();
    ~X11IdleTime() override;

    std::optional<std::chrono::milliseconds> sinceLastInput() const override;

private:
    xcb_connection_t *m_connection = nullptr;
    std::uint32_t m_root = 0;
};
