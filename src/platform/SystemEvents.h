#pragma once

#include <QObject>

// Tells when the machine is about to sleep or the screen was locked, so the
// vault can lock itself.
class SystemEvents : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    void willSleep();
    void screenLocked();
};
