#pragma once

#include <QObject>

// Tells when the machine is about to sleep or the screen was locked, so the
// vault can lock itself.
class SystemEvents : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // While held, sleep waits (a few seconds at most) until it is released,
    // so that the vault can lock before the machine sleeps rather than
    // after it wakes.
    virtual void holdSleepDelay(bool held) = 0;

signals:
    void willSleep();
    void screenLocked();
};
