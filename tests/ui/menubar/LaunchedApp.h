#pragma once

#include "app/AppDelegate.h"
#include "crypto/EncryptionService.h"
#include "crypto/KeyManager.h"
#include "settings/SettingsManager.h"
#include "store/SecureStorageManager.h"
#include "support/FakeAlerts.h"
#include "support/FakeDeviceAuth.h"
#include "support/FakeDockPresence.h"
#include "support/FakeGlobalHotkey.h"
#include "support/FakeGlobalMouseMonitor.h"
#include "support/FakeIdleTime.h"
#include "support/FakeKeySender.h"
#include "support/FakeKeychain.h"
#include "support/FakeLoginItem.h"
#include "support/FakePasteboard.h"
#include "support/FakeSound.h"
#include "support/FakeSystemEvents.h"
#include "support/FakeWorkspace.h"
#include "support/TestFiles.h"
#include "ui/menubar/StatusBarController.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The whole application on fake desktop services, with the real status bar,
// launched over a vault that opens without a passcode, or on the keychain
// given; the panel closes on the presses the monitor given reports; on the
// clipboard given, or the fake one; with a file of junk at the path under its
// home given, which a database in the way is.
struct LaunchedApp {
    explicit LaunchedApp(Keychain *given = nullptr, GlobalMouseMonitor *givenMonitor = nullptr,
        Pasteboard *clipboard = nullptr, const QString &junkFile = {})
    {
        Pasteboard &desktopClipboard = clipboard ? *clipboard : pasteboard;
        qputenv("HOME", home.path().toUtf8());
        qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toUtf8());
        if (!junkFile.isEmpty())
            writeFile(home.filePath(junkFile), QByteArray(4096, 'j'));
        if (!given) {
            keychain.items.insert(KeyManager::sealedKeyAccount, QByteArray(60, 's'));
            keychain.items.insert(KeyManager::rawKeyAccount, QByteArray(32, 'k'));
        }
        delegate = std::make_unique<AppDelegate>(AppPlatform {.keychain = given ? *given : keychain,
            .deviceAuth = deviceAuth,
            .idleTime = idleTime,
            .systemEvents = systemEvents,
            .loginItem = loginItem,
            .dockPresence = dock,
            .settingsFile = home.filePath(QStringLiteral("Vantorell.conf")),
            .pasteboard = desktopClipboard,
            .workspace = workspace,
            .keySender = keySender,
            .globalHotkey = hotkey,
            .sound = sound,
            .alerts = alerts,
            .makeStatusBar = [this, givenMonitor, used = &desktopClipboard](
                                 AppStateController &appState, SettingsManager &settings) {
                auto made = std::make_unique<StatusBarController>(appState, settings,
                    StatusBarController::Desktop {
                        workspace, *used, keySender, givenMonitor ? *givenMonitor : mouseMonitor});
                controller = made.get();
                return std::unique_ptr<StatusBar>(std::move(made));
            }});
        QObject::connect(&delegate->appState(), &AppStateController::clipboardEntriesChanged,
            [this] { historyLoaded = true; });
        delegate->settingsManager().setRequirePasscode(false);
        delegate->settingsManager().setAutoPaste(false);
        delegate->applicationDidFinishLaunching();
    }

    // Unlocked, with the history the unlock loads in place.
    bool unlocked()
    {
        return QTest::qWaitFor([this] { return appState().isUnlocked() && historyLoaded; });
    }

    AppStateController &appState() { return delegate->appState(); }

    ClipboardEntry textEntry(const QString &text)
    {
        const EncryptionService &encryption = delegate->storageManager()->encryptionService();
        ClipboardEntry entry;
        entry.id = QUuid::createUuid();
        entry.createdAt = QDateTime::currentDateTimeUtc();
        entry.encryptedContent = encryption.encrypt(text.toUtf8()).value();
        entry.encryptedPreview = encryption.encrypt(text.toUtf8()).value();
        return entry;
    }

    QTemporaryDir home;
    FakeKeychain keychain;
    FakeDeviceAuth deviceAuth;
    FakeIdleTime idleTime;
    FakeSystemEvents systemEvents;
    FakeLoginItem loginItem;
    FakeDockPresence dock;
    FakePasteboard pasteboard;
    FakeWorkspace workspace;
    FakeKeySender keySender;
    FakeGlobalHotkey hotkey;
    FakeGlobalMouseMonitor mouseMonitor;
    FakeSound sound;
    FakeAlerts alerts;
    std::unique_ptr<AppDelegate> delegate;
    StatusBarController *controller = nullptr;
    bool historyLoaded = false;
};
