#pragma once

#include <QObject>

#include <optional>

// Which key a key event came from, as the macOS virtual key code that stored
// shortcuts name keys by: the physical key, whatever its modifiers make it
// type (Shift+1 is still the 1 key).
class KeyCodeMap : public QObject {
    Q_OBJECT

public:
    // None for a key the code table does not name.
    virtual std::optional<quint32> macKeyCode(quint32 nativeScanCode) const = 0;

protected:
    explicit KeyCodeMap(QObject *parent = nullptr) : QObject(parent) { }
};
