#include "app/AppDelegate.h"
#include "crypto/KeyManager.h"
#include "settings/SettingsManager.h"
#include "platform/linux/DBusSystemEvents.h"
#include "support/FakeDeviceAuth.h"
#include "support/FakeDockPresence.h"
#include "support/FakeGlobalHotkey.h"
#include "support/FakeIdleTime.h"
#include "support/FakeKeySender.h"
#include "support/FakeKeychain.h"
#include "support/FakeLoginItem.h"
#include "support/FakePasteboard.h"
#include "support/FakeSound.h"
#include "support/FakeWorkspace.h"
#include "support/LogCapture.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// A screensaver's ActiveChanged(true) on the session bus locks an unlocked
// vault that requires a passcode.
class ScreenLockOverDBusTest final : public QObject {
    Q_OBJECT

private slots:
    void activeChangedLocks()
    {
        QTemporaryDir home;
        qputenv("HOME", home.path().toUtf8());
        qputenv("XDG_DATA_HOME", home.filePath(u"data"_s).toUtf8());
        FakeKeychain keychain;
        keychain.items.insert(KeyManager::sealedKeyAccount, QByteArray(60, 's'));
        keychain.items.insert(KeyManager::rawKeyAccount, QByteArray(32, 'k'));
        FakeDeviceAuth deviceAuth;
        FakeIdleTime idleTime;
        DBusSystemEvents systemEvents(QDBusConnection::sessionBus(), QDBusConnection(u"no system bus"_s));
        FakeLoginItem loginItem;
        FakeDockPresence dock;
        FakePasteboard pasteboard;
        FakeWorkspace workspace;
        FakeKeySender keySender;
        FakeGlobalHotkey hotkey;
        FakeSound sound;
        AppDelegate delegate({keychain, deviceAuth, idleTime, systemEvents, loginItem, dock,
            home.filePath(u"Vantorell.conf"_s), pasteboard, workspace, keySender, hotkey, sound});
        delegate.applicationDidFinishLaunching();
        QTRY_VERIFY(delegate.appState().isUnlocked());
        delegate.settingsManager().setLockOnSleep(true);
        delegate.settingsManager().setRequirePasscode(true);

        LogCapture log;
        // Addressed to this process only, so other tests on the bus never see it.
        QDBusMessage signal = QDBusMessage::createTargetedSignal(QDBusConnection::sessionBus().baseService(),
            u"/org/freedesktop/ScreenSaver"_s, u"org.freedesktop.ScreenSaver"_s, u"ActiveChanged"_s);
        signal << true;
        QVERIFY(QDBusConnection::sessionBus().send(signal));
        QTRY_VERIFY(!delegate.appState().isUnlocked());
        QVERIFY(!delegate.keyManager()->hasMasterKey());
        QVERIFY(log.contains(u"[Vantorell] App locked"_s));
    }
};

QTEST_MAIN(ScreenLockOverDBusTest)
#include "tst_screenlock_dbus.moc"
