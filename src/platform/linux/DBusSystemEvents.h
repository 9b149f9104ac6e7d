#pragma once

#include "platform/SystemEvents.h"

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>

// Sleep from logind (PrepareForSleep(true), system bus); screen lock from the
// screensaver services' ActiveChanged(true) (session bus) and from logind's
// Lock signal for this process's session. The sleep delay is a logind delay
// inhibitor, held as long as its file descriptor is open.
class DBusSystemEvents final : public SystemEvents {
    Q_OBJECT
    Q_DISABLE_COPY(DBusSystemEvents)

public:
    explicit DBusSystemEvents(QObject *parent = nullptr);
    DBusSystemEvents(
        const QDBusConnection &sessionBus, const QDBusConnection &systemBus, QObject *parent = nullptr);

    void holdSleepDelay(bool held) override;

private slots:
    void onPrepareForSleep(bool starting);
    void onScreenSaverActiveChanged(bool active);
    void onSessionLock();

private:
    void connectSessionBus(QDBusConnection bus);
    void connectSystemBus(QDBusConnection bus);
    void requestInhibitor();

    QDBusConnection m_systemBus;
    bool m_sleepDelayWanted = false;
    bool m_inhibitorRequested = false;
    QDBusUnixFileDescriptor m_inhibitor;
};
