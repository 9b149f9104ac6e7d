#include "platform/linux/X11KeyCodeMap.h"

#include "platform/MacVirtualKeyTable.h"
#include "platform/linux/X11Connection.h"
#include "platform/linux/X11Keymap.h"

X11KeyCodeMap::X11KeyCodeMap(QObject *parent) : KeyCodeMap(parent)
{
}

std::optional<quint32> X11KeyCodeMap::macKeyCode(quint32 nativeScanCode) const
{
    const std::optional<X11Connection> x11 = X11Connection::qt();
    if (!x11 || nativeScanCode > 0xff)
        return std::nullopt;
    // Read afresh: the user may have switched layouts since the last key.
    const X11Keymap keymap(x11->connection);
    for (const std::uint32_t keysym : keymap.keysyms(std::uint8_t(nativeScanCode))) {
        if (const std::optional<quint32> code = MacVirtualKeyTable::keyCode(keysym))
            return code;
    }
    return std::nullopt;
}
