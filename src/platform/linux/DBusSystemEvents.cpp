#include "platform/linux/DBusSystemEvents.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString logindService = u"org.freedesktop.login1"_s;

} // namespace

DBusSystemEvents::DBusSystemEvents(QObject *parent)
    : DBusSystemEvents(QDBusConnection::sessionBus(), QDBusConnection::systemBus(), parent)
{
}

DBusSystemEvents::DBusSystemEvents(
    const QDBusConnection &sessionBus, const QDBusConnection &systemBus, QObject *parent)
    : SystemEvents(parent)
{
    connectSessionBus(sessionBus);
    connectSystemBus(systemBus);
}

void DBusSystemEvents::connectSessionBus(QDBusConnection bus)
{
    if (!bus.isConnected())
        return;
    // Desktops differ in which screensaver service they run; any sender will do.
    for (const QString &interface : {u"org.freedesktop.ScreenSaver"_s, u"org.gnome.ScreenSaver"_s})
        bus.connect(QString(), QString(), interface, u"ActiveChanged"_s, this,
            SLOT(onScreenSaverActiveChanged(bool)));
}

void DBusSystemEvents::connectSystemBus(QDBusConnection bus)
{
    if (!bus.isConnected())
        return;
    bus.connect(logindService, u"/org/freedesktop/login1"_s, u"org.freedesktop.login1.Manager"_s,
        u"PrepareForSleep"_s, this, SLOT(onPrepareForSleep(bool)));

    QDBusMessage request = QDBusMessage::createMethodCall(logindService, u"/org/freedesktop/login1"_s,
        u"org.freedesktop.login1.Manager"_s, u"GetSessionByPID"_s);
    request << static_cast<uint>(::getpid());
    const QDBusReply<QDBusObjectPath> session = bus.call(request, QDBus::Block, 2000);
    if (session.isValid())
        bus.connect(logindService, session.value().path(), u"org.freedesktop.login1.Session"_s, u"Lock"_s,
            this, SLOT(onSessionLock()));
}

void DBusSystemEvents::onPrepareForSleep(bool starting)
{
    if (starting)
        emit willSleep();
}

void DBusSystemEvents::onScreenSaverActiveChanged(bool active)
{
    if (active)
        emit screenLocked();
}

void DBusSystemEvents::onSessionLock()
{
    emit screenLocked();
}
