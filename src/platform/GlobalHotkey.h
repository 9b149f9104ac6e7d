#pragma once

#include "platform/GlobalHotkeyError.h"

#include <QObject>

#include <expected>

// One system-wide keyboard shortcut. Keys and modifiers are the stored
// values of the settings: a macOS virtual key code and the modifier bits
// below.
class GlobalHotkey : public QObject {
    Q_OBJECT

public:
    static constexpr quint32 commandModifier = 0x100000;
    static constexpr quint32 shiftModifier = 0x20000;
    static constexpr quint32 optionModifier = 0x80000;
    static constexpr quint32 controlModifier = 0x40000;

    // Drops the hot key registered before, then registers this one; on
    // failure none is left registered. Bits other than the four modifiers
    // are ignored.
    virtual std::expected<void, GlobalHotkeyError> registerHotkey(quint32 keyCode, quint32 modifiers) = 0;
    virtual void unregisterHotkey() = 0;

signals:
    // On a later turn of the event loop than the key press itself, so the
    // receiver may open menus.
    void pressed();

protected:
    explicit GlobalHotkey(QObject *parent = nullptr) : QObject(parent) { }
};
