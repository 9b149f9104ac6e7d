#pragma once

#include <QDateTime>

#include <chrono>

// Where time comes from, so expiry, lock-outs and idle time are testable
// without sleeping.
class Clock {
public:
    virtual ~Clock() = default;

    // Wall time, for stored dates.
    virtual QDateTime now() const = 0;

    // Time that the wall clock cannot move and that keeps counting through
    // suspend, for durations (lock-out, idle).
    virtual std::chrono::milliseconds elapsed() const = 0;

    // The process-wide real clock.
    static const Clock &system();
};
