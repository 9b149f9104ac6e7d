#pragma once

#include "app/StatusBar.h"

#include <QString>

class Alerts;
class DeviceAuth;
class DockPresence;
class GlobalHotkey;
class IdleTime;
class KeySender;
class Keychain;
class LoginItem;
class Pasteboard;
class Sound;
class SystemEvents;
class Workspace;

// The desktop services the application runs on: the real ones in the
// application, fakes in tests.
struct AppPlatform {
    Keychain &keychain;
    DeviceAuth &deviceAuth;
    const IdleTime &idleTime;
    SystemEvents &systemEvents;
    LoginItem &loginItem;
    DockPresence &dockPresence;
    QString settingsFile;
    Pasteboard &pasteboard;
    Workspace &workspace;
    KeySender &keySender;
    GlobalHotkey &globalHotkey;
    Sound &sound;
    Alerts &alerts;
    // Empty: no tray (tests).
    StatusBarFactory makeStatusBar = {};
};
