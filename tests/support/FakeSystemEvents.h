#pragma once

#include "platform/SystemEvents.h"

// Sleep and screen lock on demand.
class FakeSystemEvents final : public SystemEvents {
    Q_OBJECT

public:
    using SystemEvents::SystemEvents;

    void holdSleepDelay(bool held) override { m_sleepDelayHeld = held; }
    bool sleepDelayHeld() const { return m_sleepDelayHeld; }

    void sleep() { emit willSleep(); }
    void lockScreen() { emit screenLocked(); }

private:
    bool m_sleepDelayHeld = false;
};
