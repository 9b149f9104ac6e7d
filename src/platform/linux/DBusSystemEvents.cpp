#include "platform/linux/DBusSystemEvents.h"

#include "base/Log.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString logindService = u"org.freedesktop.login1"_s;
const QString logindPath = u"/org/freedesktop/login1"_s;
const QString logindManager = u"org.freedesktop.login1.Manager"_s;

} // namespace

DBusSystemEvents::DBusSystemEvents(QObject *parent)
    : DBusSystemEvents(QDBusConnection::sessionBus(), QDBusConnection::systemBus(), parent)
{
}

DBusSystemEvents::DBusSystemEvents(
    const QDBusConnection &sessionBus, const QDBusConnection &systemBus, QObject *parent)
    : SystemEvents(parent), m_systemBus(systemBus)
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
    bus.connect(
        logindService, logindPath, logindManager, u"PrepareForSleep"_s, this, SLOT(onPrepareForSleep(bool)));

    QDBusMessage request
        = QDBusMessage::createMethodCall(logindService, logindPath, logindManager, u"GetSessionByPID"_s);
    request << static_cast<uint>(::getpid());
    const QDBusReply<QDBusObjectPath> session = bus.call(request, QDBus::Block, 2000);
    if (session.isValid())
        bus.connect(logindService, session.value().path(), u"org.freedesktop.login1.Session"_s, u"Lock"_s,
            this, SLOT(onSessionLock()));
}

void DBusSystemEvents::holdSleepDelay(bool held)
{
    m_sleepDelayWanted = held;
    if (!held)
        m_inhibitor = QDBusUnixFileDescriptor();
    else if (!m_inhibitor.isValid() && !m_inhibitorRequested)
        requestInhibitor();
}

void DBusSystemEvents::requestInhibitor()
{
    if (!m_systemBus.isConnected())
        return;
    QDBusMessage request
        = QDBusMessage::createMethodCall(logindService, logindPath, logindManager, u"Inhibit"_s);
    request << u"sleep"_s << u"Vantorell"_s << u"Lock the vault before sleep"_s << u"delay"_s;
    // Asked for at unlock: the main thread does not wait for the answer.
    auto *watcher = new QDBusPendingCallWatcher(m_systemBus.asyncCall(request), this);
    m_inhibitorRequested = true;
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        watcher->deleteLater();
        m_inhibitorRequested = false;
        const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *watcher;
        if (reply.isError()) {
            Log::write(u"Cannot delay sleep to lock first: "_s + reply.error().message());
            return;
        }
        // Released while it was on its way: the descriptor closes here.
        if (m_sleepDelayWanted)
            m_inhibitor = reply.value();
    });
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
