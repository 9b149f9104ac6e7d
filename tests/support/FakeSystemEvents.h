#pragma once

#include "platform/SystemEvents.h"

// Sleep and screen lock on demand.
class FakeSystemEvents final : public SystemEvents {
    Q_OBJECT

public:
    using SystemEvents::SystemEvents;

    void sleep() { emit willSleep(); }
    void lockScreen() { emit screenLocked(); }
};
