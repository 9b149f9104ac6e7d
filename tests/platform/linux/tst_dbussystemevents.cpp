#include "platform/linux/DBusSystemEvents.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QSignalSpy>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// logind's inhibitor: the caller holds the writing end of a pipe; the
// reading end sees the end of the file once every copy of it is closed.
class FakeLogind final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    QString request;
    int readEnd = -1;

public slots:
    QDBusUnixFileDescriptor Inhibit(
        const QString &what, const QString &, const QString &, const QString &mode)
    {
        request = what + u' ' + mode;
        int ends[2] {-1, -1};
        QTEST_ASSERT(::pipe2(ends, O_NONBLOCK) == 0);
        readEnd = ends[0];
        const QDBusUnixFileDescriptor handed(ends[1]);
        ::close(ends[1]);
        return handed;
    }
};

} // namespace

// Runs on the private session bus of the test session. A second connection
// plays the screensaver and, owning logind's name, the system bus.
class DBusSystemEventsTest final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "needs a session bus (scripts/test-session)");
        m_peer = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"peer"_s);
        QVERIFY(m_peer.isConnected());
        QVERIFY(m_peer.registerService(u"org.freedesktop.login1"_s));
    }

    // Without it, sleep may come before the vault locks.
    void sleepDelayIsHeldUntilReleased()
    {
        DBusSystemEvents events(QDBusConnection::sessionBus(), QDBusConnection::sessionBus());
        // Served on this thread: only once nothing waits for an answer on it.
        FakeLogind logind;
        QVERIFY(
            m_peer.registerObject(u"/org/freedesktop/login1"_s, &logind, QDBusConnection::ExportAllSlots));
        events.holdSleepDelay(true);
        QTRY_COMPARE(logind.request, u"sleep delay"_s);
        char byte = 0;
        QTest::qWait(100);
        QCOMPARE(::read(logind.readEnd, &byte, 1), -1);
        events.holdSleepDelay(false);
        QTRY_COMPARE(::read(logind.readEnd, &byte, 1), 0);
        ::close(logind.readEnd);
        m_peer.unregisterObject(u"/org/freedesktop/login1"_s);
    }

    // The screensaver locks as it turns on; sleep is reported as it starts,
    // and only from the name that logind owns.
    void sessionSignals_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("interface");
        QTest::addColumn<QString>("member");
        QTest::addColumn<bool>("argument");
        QTest::addColumn<bool>("fromStranger");
        QTest::addColumn<int>("locks");
        QTest::addColumn<int>("sleeps");
        const QString screenSaver = u"/org/freedesktop/ScreenSaver"_s;
        const QString login = u"/org/freedesktop/login1"_s;
        const QString manager = u"org.freedesktop.login1.Manager"_s;
        QTest::newRow("freedesktop on") << screenSaver << u"org.freedesktop.ScreenSaver"_s
                                        << u"ActiveChanged"_s << true << false << 1 << 0;
        QTest::newRow("freedesktop off") << screenSaver << u"org.freedesktop.ScreenSaver"_s
                                         << u"ActiveChanged"_s << false << false << 0 << 0;
        QTest::newRow("gnome on") << screenSaver << u"org.gnome.ScreenSaver"_s << u"ActiveChanged"_s << true
                                  << false << 1 << 0;
        QTest::newRow("sleep starts") << login << manager << u"PrepareForSleep"_s << true << false << 0 << 1;
        QTest::newRow("sleep ends") << login << manager << u"PrepareForSleep"_s << false << false << 0 << 0;
        QTest::newRow("sleep from another sender")
            << login << manager << u"PrepareForSleep"_s << true << true << 0 << 0;
    }

    void sessionSignals()
    {
        QFETCH(QString, path);
        QFETCH(QString, interface);
        QFETCH(QString, member);
        QFETCH(bool, argument);
        QFETCH(bool, fromStranger);
        QFETCH(int, locks);
        QFETCH(int, sleeps);
        DBusSystemEvents events(QDBusConnection::sessionBus(), QDBusConnection::sessionBus());
        QSignalSpy locked(&events, &SystemEvents::screenLocked);
        QSignalSpy sleeping(&events, &SystemEvents::willSleep);
        QDBusConnection sender = fromStranger
            ? QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"stranger"_s)
            : m_peer;

        QDBusMessage signal = QDBusMessage::createSignal(path, interface, member);
        signal << argument;
        QVERIFY(sender.send(signal));
        QTRY_COMPARE(locked.size() + sleeping.size(), locks + sleeps);
        QTest::qWait(300);
        QCOMPARE(locked.size(), locks);
        QCOMPARE(sleeping.size(), sleeps);
        if (fromStranger)
            QDBusConnection::disconnectFromBus(u"stranger"_s);
    }

private:
    QDBusConnection m_peer {QString()};
};

QTEST_GUILESS_MAIN(DBusSystemEventsTest)
#include "tst_dbussystemevents.moc"
