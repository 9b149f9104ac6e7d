#pragma once

#include <QObject>

#include <chrono>
#include <functional>

// Work run later on the main thread, so the pacing of pastes can be tested
// without waiting.
class MainQueue {
public:
    virtual ~MainQueue() = default;

    // Runs work after delay, unless context is gone by then.
    virtual void after(std::chrono::milliseconds delay, QObject *context, std::function<void()> work) = 0;

    // Qt's timers on the main thread's event loop.
    static MainQueue &system();

protected:
    MainQueue() = default;
    Q_DISABLE_COPY(MainQueue)
};
