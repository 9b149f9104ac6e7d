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

    void screenSaverActivationLocks_data()
    {
        QTest::addColumn<QString>("interface");
        QTest::addColumn<bool>("active");
        QTest::addColumn<int>("locks");
        QTest::newRow("freedesktop on") << u"org.freedesktop.ScreenSaver"_s << true << 1;
        QTest::newRow("freedesktop off") << u"org.freedesktop.ScreenSaver"_s << false << 0;
        QTest::newRow("gnome on") << u"org.gnome.ScreenSaver"_s << true << 1;
    }

    void screenSaverActivationLocks()
    {
        QFETCH(QString, interface);
        QFETCH(bool, active);
        QFETCH(int, locks);
        DBusSystemEvents events(QDBusConnection::sessionBus(), QDBusConnection::sessionBus());
        QSignalSpy locked(&events, &SystemEvents::screenLocked);

        QDBusMessage signal
            = QDBusMessage::createSignal(u"/org/freedesktop/ScreenSaver"_s, interface, u"ActiveChanged"_s);
        signal << active;
        QVERIFY(m_peer.send(signal));
        QTRY_COMPARE(locked.size(), locks);
        QTest::qWait(100);
        QCOMPARE(locked.size(), locks);
    }

    void logindSleepStartIsReported()
    {
        DBusSystemEvents events(QDBusConnection::sessionBus(), QDBusConnection::sessionBus());
        QSignalSpy sleeping(&events, &SystemEvents::willSleep);

        for (const bool starting : {false, true}) {
            QDBusMessage signal = QDBusMessage::createSignal(
                u"/org/freedesktop/login1"_s, u"org.freedesktop.login1.Manager"_s, u"PrepareForSleep"_s);
            signal << starting;
            QVERIFY(m_peer.send(signal));
        }
        QTRY_COMPARE(sleeping.size(), 1);
        QTest::qWait(100);
        QCOMPARE(sleeping.size(), 1);
    }

    void sleepFromAnotherSenderIsIgnored()
    {
        DBusSystemEvents events(QDBusConnection::sessionBus(), QDBusConnection::sessionBus());
        QSignalSpy sleeping(&events, &SystemEvents::willSleep);
        QDBusConnection stranger = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"stranger"_s);
        QDBusMessage signal = QDBusMessage::createSignal(
            u"/org/freedesktop/login1"_s, u"org.freedesktop.login1.Manager"_s, u"PrepareForSleep"_s);
        signal << true;
        QVERIFY(stranger.send(signal));
        QTest::qWait(300);
        QCOMPARE(sleeping.size(), 0);
        QDBusConnection::disconnectFromBus(u"stranger"_s);
    }

private:
    QDBusConnection m_peer {QString()};
};

QTEST_GUILESS_MAIN(DBusSystemEventsTest)
#include "tst_dbussystemevents.moc"
