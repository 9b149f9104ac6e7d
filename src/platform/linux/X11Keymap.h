#pragma once

#include <QList>

#include <bitset>
#include <cstdint>

struct xcb_connection_t;

// The keyboard's keysyms and modifier keys as the X server maps them when
// read; the user may switch layouts at any moment, so read it anew for each
// use.
class X11Keymap final {
public:
    explicit X11Keymap(xcb_connection_t *connection);

    // The key that types keysym, preferring the unshifted level; 0 when no
    // key does.
    std::uint8_t keycode(std::uint32_t keysym) const;
    // What the key types, level by level; empty for a key outside the map.
    QList<std::uint32_t> keysyms(std::uint8_t keycode) const;
    // The modifier bit (1 << index) one of whose keys types keysym; 0 when
    // none does.
    std::uint16_t modifierMask(std::uint32_t keysym) const;
    // Every key bound to a modifier other than Caps Lock, which acts by its
    // latched state rather than by being held.
    std::bitset<256> heldModifierKeys(const std::bitset<256> &down) const;

private:
    bool types(std::uint8_t keycode, std::uint32_t keysym) const;

    std::uint8_t m_minKeycode = 0;
    int m_keysymsPerKeycode = 0;
    QList<std::uint32_t> m_keysyms;
    int m_keycodesPerModifier = 0;
    QList<std::uint8_t> m_modifierKeycodes;
};
