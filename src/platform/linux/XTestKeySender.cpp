#include "platform/linux/XTestKeySender.h"

#include "platform/linux/X11Connection.h"
#include "platform/linux/X11Keymap.h"

#include <xcb/xcb.h>
#include <xcb/xinput.h>
#include <xcb/xtest.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr std::uint32_t controlKeysym = 0xffe3; // Control_L
constexpr std::uint32_t vKeysym = 0x0076;
constexpr std::uint32_t leftKeysym = 0xff51;

template<typename Reply> std::unique_ptr<Reply, decltype(&std::free)> owned(Reply *reply)
{
    return {reply, &std::free};
}

std::bitset<256> keysFromBits(const std::uint8_t *bits, int bytes)
{
    std::bitset<256> keys;
    for (int key = 0; key < bytes * 8 && key < 256; ++key) {
        if (bits[key / 8] & (1u << (key % 8)))
            keys.set(key);
    }
    return keys;
}

} // namespace

XTestKeySender::XTestKeySender()
{
    const std::optional<X11Connection> x11 = X11Connection::open(&xcb_test_id);
    if (!x11)
        return;
    xcb_connection_t *connection = x11->connection;
    m_connection = connection;
    m_root = x11->root;

    const xcb_query_extension_reply_t *input = xcb_get_extension_data(connection, &xcb_input_id);
    if (input && input->present) {
        const auto version = owned(xcb_input_xi_query_version_reply(
            connection, xcb_input_xi_query_version(connection, 2, 0), nullptr));
        static const char name[] = "XTEST Device";
        const auto atom = owned(xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, sizeof name - 1, name), nullptr));
        m_hasXInput = version && version->major_version >= 2 && atom;
        m_xtestDeviceAtom = atom ? atom->atom : xcb_atom_t(XCB_ATOM_NONE);
    }
}

XTestKeySender::~XTestKeySender()
{
    if (m_connection)
        xcb_disconnect(m_connection);
}

bool XTestKeySender::isPermitted() const
{
    return m_connection && !xcb_connection_has_error(m_connection);
}

void XTestKeySender::postPasteChord()
{
    if (!isPermitted())
        return;
    const X11Keymap keymap(m_connection);
    const std::uint8_t control = keymap.keycode(controlKeysym);
    const std::uint8_t v = keymap.keycode(vKeysym);
    if (control == 0 || v == 0)
        return;

    const Keys held = keymap.heldModifierKeys(keysDown());
    for (int key = 0; key < 256; ++key) {
        if (held.test(key))
            fake(std::uint8_t(key), false);
    }
    fake(control, true);
    fake(v, true);
    fake(v, false);
    fake(control, false);

    // Pressing a key the user has let go of meanwhile would leave it stuck
    // down. The release first clears a press of ours the XTEST device may
    // still count as held, which would make it drop the new press.
    const Keys restore = held & physicallyHeldKeys();
    for (int key = 0; key < 256; ++key) {
        if (restore.test(key)) {
            fake(std::uint8_t(key), false);
            fake(std::uint8_t(key), true);
        }
    }
    xcb_flush(m_connection);
    discardEvents();
}

void XTestKeySender::postCaretLeft(int steps)
{
    if (!isPermitted() || steps <= 0)
        return;
    const std::uint8_t left = X11Keymap(m_connection).keycode(leftKeysym);
    if (left == 0)
        return;
    for (int step = 0; step < steps; ++step) {
        fake(left, true);
        fake(left, false);
    }
    xcb_flush(m_connection);
    discardEvents();
}

XTestKeySender::Keys XTestKeySender::keysDown()
{
    const auto keymap = owned(xcb_query_keymap_reply(m_connection, xcb_query_keymap(m_connection), nullptr));
    return keymap ? keysFromBits(keymap->keys, sizeof keymap->keys) : Keys();
}

XTestKeySender::Keys XTestKeySender::physicallyHeldKeys()
{
    // The core key state has just been changed by our own releases; only
    // the keyboards themselves still know what the user holds. Without
    // XInput nothing counts as held: a lost hold is better than a stuck key.
    Keys keys;
    if (!m_hasXInput)
        return keys;
    const auto devices = owned(xcb_input_xi_query_device_reply(
        m_connection, xcb_input_xi_query_device(m_connection, XCB_INPUT_DEVICE_ALL), nullptr));
    if (!devices)
        return keys;
    for (auto it = xcb_input_xi_query_device_infos_iterator(devices.get()); it.rem > 0;
         xcb_input_xi_device_info_next(&it)) {
        const xcb_input_xi_device_info_t *device = it.data;
        // The requests that read key state take 8-bit device ids.
        if (device->type != XCB_INPUT_DEVICE_TYPE_SLAVE_KEYBOARD || !device->enabled || device->deviceid > 255
            || isXTestDevice(device->deviceid))
            continue;
        const std::uint8_t id = std::uint8_t(device->deviceid);
        xcb_generic_error_t *error = nullptr;
        const auto opened = owned(
            xcb_input_open_device_reply(m_connection, xcb_input_open_device(m_connection, id), &error));
        std::free(error);
        if (!opened)
            continue;
        const auto state = owned(xcb_input_query_device_state_reply(
            m_connection, xcb_input_query_device_state(m_connection, id), &error));
        std::free(error);
        xcb_input_close_device(m_connection, id);
        if (!state)
            continue;
        for (auto classes = xcb_input_query_device_state_classes_iterator(state.get()); classes.rem > 0;
             xcb_input_input_state_next(&classes)) {
            if (classes.data->class_id != XCB_INPUT_INPUT_CLASS_KEY)
                continue;
            const auto *keyState = reinterpret_cast<const xcb_input_key_state_t *>(classes.data);
            keys |= keysFromBits(keyState->keys, sizeof keyState->keys);
        }
    }
    return keys;
}

bool XTestKeySender::isXTestDevice(std::uint16_t device)
{
    xcb_generic_error_t *error = nullptr;
    const auto property = owned(xcb_input_xi_get_property_reply(m_connection,
        xcb_input_xi_get_property(m_connection, device, 0, m_xtestDeviceAtom, XCB_ATOM_ANY, 0, 1), &error));
    std::free(error);
    if (!property || property->format != 8 || property->num_items < 1)
        return false;
    return *static_cast<const std::uint8_t *>(xcb_input_xi_get_property_items(property.get())) != 0;
}

void XTestKeySender::discardEvents()
{
    // Errors of unchecked requests queue up here; nothing else is selected.
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection))
        std::free(event);
}

void XTestKeySender::fake(std::uint8_t keycode, bool press)
{
    xcb_test_fake_input(
        m_connection, press ? XCB_KEY_PRESS : XCB_KEY_RELEASE, keycode, XCB_CURRENT_TIME, m_root, 0, 0, 0);
}
