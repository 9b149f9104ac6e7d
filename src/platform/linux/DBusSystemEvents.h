#pragma once

#include "platform/SystemEvents.h"

#include <QDBusConnection>

// Sleep from logind (PrepareForSleep(true), system bus); screen lock from the
// screensaver services' ActiveChanged(true) (session bus) and from logind's
// Lock signal for this process's session.
class DBusSystemEvents final : public SystemEvents {
    Q_OBJECT
    Q_DISABLE_COPY(DBusSystemEvents)

public:
    explicit DBusSystemEvents(QObject *parent = nullptr);
    DBusSystemEvents(
        const QDBusConnection &sessionBus, const QDBusConnection &systemBus, QObject *parent = nullptr);

private slots:
    void onPrepareForSleep(bool starting);
    void onScreenSaverActiveChanged(bool active);
    void onSessionLock();

private:
    void connectSessionBus(QDBusConnection bus);
    void connectSystemBus(QDBusConnection bus);
};
