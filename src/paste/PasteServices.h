#pragma once

#include <QtGlobal>

#include <functional>

class AutoPaste;
class DeviceAuth;
class Pasteboard;
class Workspace;

// What pasting an entry needs beyond the application state itself.
struct PasteServices {
    Pasteboard &pasteboard;
    Workspace &workspace;
    DeviceAuth &deviceAuth;
    AutoPaste &autoPaste;
    // Tells the clipboard monitor which change count is our own write, so it
    // is not captured again.
    std::function<void(qint64 changeCount)> recordOwnChange;
};
