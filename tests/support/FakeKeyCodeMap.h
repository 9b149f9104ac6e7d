#pragma once

#include "platform/KeyCodeMap.h"

#include <QMap>

// Keys the test names by scan code.
class FakeKeyCodeMap final : public KeyCodeMap {
public:
    std::optional<quint32> macKeyCode(quint32 nativeScanCode) const override
    {
        if (!keys.contains(nativeScanCode))
            return std::nullopt;
        return keys.value(nativeScanCode);
    }

    QMap<quint32, quint32> keys;
};
