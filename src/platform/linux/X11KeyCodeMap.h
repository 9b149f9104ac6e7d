#pragma once

#include "platform/KeyCodeMap.h"

// The X keycode of a key event (Qt's native scan code on xcb) through the
// keyboard map of this moment: the first of the key's keysyms, level by
// level, that the code table knows. The same walk the hot key's grab makes
// the other way, so a recorded key is the key that gets grabbed.
class X11KeyCodeMap final : public KeyCodeMap {
    Q_OBJECT

public:
    explicit X11KeyCodeMap(QObject *parent = nullptr);

    std::optional<quint32> macKeyCode(quint32 nativeScanCode) const override;
};
