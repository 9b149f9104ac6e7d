#pragma once

#include <QString>
#include <QStringView>

// The names the desktop's users know a stored shortcut's keys by. Settings
// keep the shortcut's text in macOS's symbols ("⌘⇧V"); the global hot key
// grabs Super for ⌘, so that text is shown as "Super+Shift+V", the way the
// desktop writes its own shortcuts.
namespace ShortcutNames {

inline constexpr QStringView command = u"Super";
inline constexpr QStringView control = u"Ctrl";
inline constexpr QStringView option = u"Alt";
inline constexpr QStringView shift = u"Shift";

// The modifiers in the desktop's order (Super, Ctrl, Alt, Shift) joined by
// "+" before the key, whatever their order in the text; the symbol keys by
// their names (↩ Return, ⎋ Esc, ← Left). Text after the modifier symbols is
// the key, as it is.
QString shown(const QString &display);

} // namespace ShortcutNames
