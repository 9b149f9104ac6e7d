#pragma once

#include <QString>

class DeviceAuth;
class DockPresence;
class IdleTime;
class Keychain;
class LoginItem;
class SystemEvents;

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
};
