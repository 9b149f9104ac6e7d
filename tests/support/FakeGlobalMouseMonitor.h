#pragma once

#include "platform/GlobalMouseMonitor.h"

// A monitor the test clicks through; a press reaches nobody while it is
// stopped, as with the real one.
class FakeGlobalMouseMonitor final : public GlobalMouseMonitor {
public:
    void start() override { m_started = true; }
    void stop() override { m_started = false; }

    bool isStarted() const { return m_started; }
    void press()
    {
        if (m_started)
            QMetaObject::invokeMethod(this, &GlobalMouseMonitor::mouseDown, Qt::QueuedConnection);
    }

private:
    bool m_started = false;
};
