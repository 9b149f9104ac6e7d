#pragma once

#include <QtGlobal>

// Why a global hot key could not be registered. The status is what the log
// shows: the platform's code for a chord another application holds, or the
// negated error code of the window system.
struct GlobalHotkeyError {
    enum class Code {
        alreadyUsed,
        // The key has no place on this keyboard, or the window system
        // refused the grab for another reason.
        refused,
        // No window system connection to grab on.
        unavailable,
    };

    static constexpr qint32 alreadyUsedStatus = -9878;

    Code code = Code::refused;
    qint32 status = 0;

    bool operator==(const GlobalHotkeyError &) const = default;
};
