#include "platform/linux/X11Keymap.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr int lockModifierIndex = 1;

template<typename Reply> std::unique_ptr<Reply, decltype(&std::free)> owned(Reply *reply)
{
    return {reply, &std::free};
}

} // namespace

X11Keymap::X11Keymap(xcb_connection_t *connection)
{
    const xcb_setup_t *setup = xcb_get_setup(connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    const auto mapping = owned(xcb_get_keyboard_mapping_reply(
        connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, std::uint8_t(count)), nullptr));
    if (mapping) {
        const xcb_keysym_t *keysyms = xcb_get_keyboard_mapping_keysyms(mapping.get());
        m_minKeycode = setup->min_keycode;
        m_keysymsPerKeycode = mapping->keysyms_per_keycode;
        m_keysyms
            = QList<std::uint32_t>(keysyms, keysyms + xcb_get_keyboard_mapping_keysyms_length(mapping.get()));
    }
    const auto modifiers
        = owned(xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr));
    if (modifiers) {
        const xcb_keycode_t *keycodes = xcb_get_modifier_mapping_keycodes(modifiers.get());
        m_keycodesPerModifier = modifiers->keycodes_per_modifier;
        m_modifierKeycodes = QList<std::uint8_t>(
            keycodes, keycodes + xcb_get_modifier_mapping_keycodes_length(modifiers.get()));
    }
}

std::uint8_t X11Keymap::keycode(std::uint32_t keysym) const
{
    if (m_keysymsPerKeycode == 0)
        return 0;
    const int count = int(m_keysyms.size()) / m_keysymsPerKeycode;
    // Level by level, so "v" is not found as the shifted level of some
    // other key.
    for (int level = 0; level < m_keysymsPerKeycode; ++level) {
        for (int index = 0; index < count; ++index) {
            if (m_keysyms[index * m_keysymsPerKeycode + level] == keysym)
                return std::uint8_t(m_minKeycode + index);
        }
    }
    return 0;
}

QList<std::uint32_t> X11Keymap::keysyms(std::uint8_t keycode) const
{
    const int first = (keycode - m_minKeycode) * m_keysymsPerKeycode;
    if (keycode < m_minKeycode || first + m_keysymsPerKeycode > int(m_keysyms.size()))
        return {};
    return m_keysyms.mid(first, m_keysymsPerKeycode);
}

std::uint16_t X11Keymap::modifierMask(std::uint32_t keysym) const
{
    for (int index = 0; index < int(m_modifierKeycodes.size()); ++index) {
        const std::uint8_t keycode = m_modifierKeycodes[index];
        if (keycode != 0 && types(keycode, keysym))
            return std::uint16_t(1u << (index / m_keycodesPerModifier));
    }
    return 0;
}

std::bitset<256> X11Keymap::heldModifierKeys(const std::bitset<256> &down) const
{
    std::bitset<256> keys;
    for (int index = 0; index < int(m_modifierKeycodes.size()); ++index) {
        const std::uint8_t keycode = m_modifierKeycodes[index];
        if (keycode != 0 && index / m_keycodesPerModifier != lockModifierIndex && down.test(keycode))
            keys.set(keycode);
    }
    return keys;
}

bool X11Keymap::types(std::uint8_t keycode, std::uint32_t keysym) const
{
    return keysyms(keycode).contains(keysym);
}
