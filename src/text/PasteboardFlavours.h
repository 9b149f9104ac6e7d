#pragma once

#include <QByteArray>

#include <functional>
#include <optional>

// The rich flavours of what was copied, read only when asked: reading them
// can be costly, and most copies never need them. A reader gives nothing when
// the flavour is absent; an unset reader stands for an absent flavour.
struct PasteboardFlavours {
    std::function<std::optional<QByteArray>()> readRTF;
    std::function<std::optional<QByteArray>()> readHTML;
};
