#pragma once

#include "platform/KeySender.h"

#include <bitset>
#include <cstdint>

struct xcb_connection_t;

// Keys posted through the X server's XTEST extension on a connection of its
// own: Ctrl+V pastes, Left steps the caret. Modifiers the user holds are let
// go for the chord and pressed again afterwards only if a real keyboard
// (found through XInput) still holds them.
class XTestKeySender final : public KeySender {
    Q_DISABLE_COPY(XTestKeySender)

public:
    // Connects to the display named by DISPLAY.
    XTestKeySender();
    ~XTestKeySender() override;

    bool isPermitted() const override;
    void postPasteChord() override;
    void postCaretLeft(int steps) override;

private:
    using Keys = std::bitset<256>;

    Keys keysDown();
    Keys physicallyHeldKeys();
    bool isXTestDevice(std::uint16_t device);
    void fake(std::uint8_t keycode, bool press);
    void discardEvents();

    xcb_connection_t *m_connection = nullptr;
    std::uint32_t m_root = 0;
    std::uint32_t m_xtestDeviceAtom = 0;
    bool m_hasXInput = false;
};
