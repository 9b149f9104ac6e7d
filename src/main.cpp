#include "app/AppDelegate.h"
#include "app/SingleInstance.h"
#include "app/VisibleWindows.h"
#include "base/Log.h"
#include "crypto/KeyManager.h"
#include "platform/linux/AutostartLoginItem.h"
#include "platform/linux/CanberraSound.h"
#include "platform/linux/DBusSystemEvents.h"
#include "platform/linux/DesktopEntryIndex.h"
#include "platform/linux/DesktopKeychain.h"
#include "platform/linux/MessageBoxAlerts.h"
#include "platform/linux/PamDeviceAuth.h"
#include "platform/linux/TerminationSignals.h"
#include "platform/linux/X11Connection.h"
#include "platform/linux/X11ConnectionLoss.h"
#include "platform/linux/X11DockPresence.h"
#include "platform/linux/X11GlobalHotkey.h"
#include "platform/linux/X11GlobalMouseMonitor.h"
#include "platform/linux/X11IdleTime.h"
#include "platform/linux/X11KeyCodeMap.h"
#include "platform/linux/X11Pasteboard.h"
#include "platform/linux/X11Workspace.h"
#include "platform/linux/XTestKeySender.h"
#include "settings/TypedSettings.h"
#include "ui/design/ItemAccessibility.h"
#include "ui/design/SceneGraphBackend.h"
#include "ui/menubar/StatusBarController.h"
#include "ui/menubar/WindowHost.h"
#include "ui/windows/settings/BackupFileDialogs.h"
#include "ui/windows/settings/SettingsWindowContext.h"
#include "ui/windows/settings/VaultBackupOperations.h"
#include "ui/windows/snippets/SnippetWindowRoot.h"

#include <QApplication>
#include <QQuickStyle>

#include <sys/prctl.h>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    // No core file and no other process of this user (ptrace, /proc) gets at
    // the decrypted history or the keys in our memory.
    prctl(PR_SET_DUMPABLE, 0);

    // Qt aborts when it finds no display; say what is missing instead.
    if (!X11Connection::displayReachable()) {
        Log::write(
            u"Cannot connect to an X display (DISPLAY=\"%1\"): Vantorell needs an X11 session or XWayland"_s
                .arg(qEnvironmentVariable("DISPLAY")));
        return 1;
    }

    // Global key grabs, synthetic keys and the CLIPBOARD selection need X11;
    // under Wayland we run on XWayland unless the user chose otherwise.
    if (qEnvironmentVariableIsSet("WAYLAND_DISPLAY") && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    QApplication::setApplicationName(u"Vantorell"_s);
    QApplication::setApplicationVersion(QStringLiteral(VT_VERSION));
    QApplication::setOrganizationName(QString());
    QApplication::setQuitOnLastWindowClosed(false);
    SceneGraphBackend::choose();
    QApplication app(argc, argv);
    // The views restyle the Basic controls with their own tokens; another
    // style (the desktop's choice) would draw underneath them.
    QQuickStyle::setStyle(u"Basic"_s);
    ItemAccessibility::install();

    SingleInstance instance;
    switch (instance.claim()) {
    case SingleInstance::Claim::running:
        break;
    case SingleInstance::Claim::handedOver:
        Log::write(u"Already running; handed over to the running instance"_s);
        return 0;
    case SingleInstance::Claim::holderSilent:
        // claim() has said who holds the lock.
        return 1;
    }

    DesktopKeychain keychain(KeyManager::service);
    PamDeviceAuth deviceAuth;
    const X11IdleTime idleTime;
    DBusSystemEvents systemEvents;
    AutostartLoginItem loginItem;
    X11DockPresence dockPresence;
    X11Pasteboard pasteboard;
    X11Workspace workspace;
    XTestKeySender keySender;
    X11GlobalHotkey globalHotkey;
    X11GlobalMouseMonitor mouseMonitor;
    CanberraSound sound;
    MessageBoxAlerts alerts;
    X11KeyCodeMap keyCodeMap;
    DesktopEntryIndex applications;
    BackupFileDialogs backupDialogs;
    StatusBarController *statusBar = nullptr;
    AppDelegate delegate({.keychain = keychain,
        .deviceAuth = deviceAuth,
        .idleTime = idleTime,
        .systemEvents = systemEvents,
        .loginItem = loginItem,
        .dockPresence = dockPresence,
        .settingsFile = TypedSettings::standardFilePath(),
        .pasteboard = pasteboard,
        .workspace = workspace,
        .keySender = keySender,
        .globalHotkey = globalHotkey,
        .sound = sound,
        .alerts = alerts,
        .makeStatusBar
        = [&](AppStateController &appState, SettingsManager &settings) -> std::unique_ptr<StatusBar> {
            auto made = std::make_unique<StatusBarController>(appState, settings,
                StatusBarController::Desktop {workspace, pasteboard, keySender, mouseMonitor});
            made->windows().setSnippetManagerRoot(snippetWindowRoot());
            statusBar = made.get();
            return made;
        }});

    TerminationSignals terminationSignals;
    QObject::connect(&terminationSignals, &TerminationSignals::received, &app, &QApplication::quit);
    QObject::connect(&app, &QApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
    // A broken X connection ends the process from inside the event loop.
    X11ConnectionLoss connectionLoss;
    QObject::connect(
        &connectionLoss, &X11ConnectionLoss::lost, &delegate, &AppDelegate::applicationWillTerminate);
    QObject::connect(&instance, &SingleInstance::reopenRequested, &delegate,
        [&delegate] { delegate.applicationShouldHandleReopen(!VisibleWindows::list().isEmpty()); });

    delegate.applicationDidFinishLaunching();
    // The window host keeps the context, and its windows go first.
    WindowHost &windows = statusBar->windows();
    VaultBackupOperations backupOperations(delegate.appState(), delegate.settingsManager());
    auto *windowContext = new SettingsWindowContext(
        {delegate.appState(), delegate.settingsManager(), deviceAuth, *delegate.autoPaste(),
            *delegate.keyManager(), *delegate.updateChecker(), keyCodeMap, workspace, applications,
            backupOperations, backupDialogs},
        &windows);
    windows.setSettingsRoot(
        SettingsWindowContext::rootView, {{u"context"_s, QVariant::fromValue<QObject *>(windowContext)}});
    return app.exec();
}
