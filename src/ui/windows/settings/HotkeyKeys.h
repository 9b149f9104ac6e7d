#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// The shortcut recorder's key handling and the names under which a shortcut
// is shown. Keys are macOS virtual key codes and modifiers the settings' flag
// bits, whatever the platform.
namespace HotkeyKeys {

constexpr int escapeKeyCode = 53;

// One key press while recording. keyCode is none for a key the code table
// does not name.
struct Press {
    int qtKey = 0;
    std::optional<quint32> keyCode;
    Qt::KeyboardModifiers modifiers;
};

enum class Outcome {
    // A modifier key on its own: keep recording, quietly.
    ignore,
    // Beep and keep recording.
    refuse,
    // Stop recording, nothing changed.
    cancel,
    capture,
};

struct Result {
    Outcome outcome = Outcome::ignore;
    // Set for a capture.
    qint64 keyCode = 0;
    qint64 modifiers = 0;
    QString display {};

    bool operator==(const Result &other) const = default;
};

Result handle(const Press &press);

// The key's name, or "Key" and the code for a key without one.
QString keyName(qint64 keyCode);
// ⌃ ⌥ ⇧ ⌘, in that order, before the key's name.
QString hotkeyDisplayString(qint64 keyCode, qint64 modifiers);

} // namespace HotkeyKeys
