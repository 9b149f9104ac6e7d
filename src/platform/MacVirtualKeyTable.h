#pragma once

#include <QtGlobal>

#include <optional>

// The keys that stored shortcuts name by macOS virtual key code (the ANSI
// layout's positions), as X11 keysyms.
class MacVirtualKeyTable {
public:
    // None for a code that names no key, or only a modifier.
    static std::optional<quint32> keysym(quint32 keyCode);
    // The code whose keysym this is; none for a keysym no code names.
    static std::optional<quint32> keyCode(quint32 keysym);
};
