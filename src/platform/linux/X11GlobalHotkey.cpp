#include "platform/linux/X11GlobalHotkey.h"

#include "platform/MacVirtualKeyTable.h"
#include "platform/linux/X11Connection.h"
#include "platform/linux/X11Keymap.h"

#include <QCoreApplication>

#include <xcb/xcb.h>

#include <array>
#include <cstdlib>

namespace {

constexpr std::uint32_t superKeysym = 0xffeb; // Super_L
constexpr std::uint32_t altKeysym = 0xffe9; // Alt_L
constexpr std::uint32_t numLockKeysym = 0xff7f;
// Where keyboards without those keys in the modifier map put them.
constexpr std::uint16_t usualSuperMask = XCB_MOD_MASK_4;
constexpr std::uint16_t usualAltMask = XCB_MOD_MASK_1;
constexpr std::uint16_t usualNumLockMask = XCB_MOD_MASK_2;
constexpr std::uint16_t allModifierMasks = 0xff;

GlobalHotkeyError errorFor(const xcb_generic_error_t &error)
{
    if (error.error_code == XCB_ACCESS)
        return {GlobalHotkeyError::Code::alreadyUsed, GlobalHotkeyError::alreadyUsedStatus};
    return {GlobalHotkeyError::Code::refused, -qint32(error.error_code)};
}

} // namespace

X11GlobalHotkey::X11GlobalHotkey(QObject *parent) : GlobalHotkey(parent)
{
    const std::optional<X11Connection> x11 = X11Connection::qt();
    if (!x11)
        return;
    m_connection = x11->connection;
    m_root = x11->root;
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11GlobalHotkey::~X11GlobalHotkey()
{
    if (!m_connection)
        return;
    QCoreApplication::instance()->removeNativeEventFilter(this);
    unregisterHotkey();
}

std::expected<void, GlobalHotkeyError> X11GlobalHotkey::registerHotkey(quint32 keyCode, quint32 modifiers)
{
    unregisterHotkey();
    if (!m_connection)
        return std::unexpected(GlobalHotkeyError {GlobalHotkeyError::Code::unavailable, -1});

    const X11Keymap keymap(m_connection);
    const std::optional<quint32> keysym = MacVirtualKeyTable::keysym(keyCode);
    const std::uint8_t keycode = keysym ? keymap.keycode(*keysym) : 0;
    // Key 0 would grab every key.
    if (keycode == 0)
        return std::unexpected(GlobalHotkeyError {GlobalHotkeyError::Code::refused, -qint32(XCB_VALUE)});

    auto maskOf = [&keymap](std::uint32_t keysym, std::uint16_t usual) {
        const std::uint16_t mask = keymap.modifierMask(keysym);
        return mask != 0 ? mask : usual;
    };
    std::uint16_t grabbed = 0;
    if (modifiers & commandModifier)
        grabbed |= maskOf(superKeysym, usualSuperMask);
    if (modifiers & shiftModifier)
        grabbed |= XCB_MOD_MASK_SHIFT;
    if (modifiers & optionModifier)
        grabbed |= maskOf(altKeysym, usualAltMask);
    if (modifiers & controlModifier)
        grabbed |= XCB_MOD_MASK_CONTROL;
    const std::uint16_t numLock = maskOf(numLockKeysym, usualNumLockMask);

    m_keycode = keycode;
    m_modifiers = grabbed;
    m_lockModifiers = XCB_MOD_MASK_LOCK | numLock;
    const std::array<std::uint16_t, 4> variants = lockVariants();
    std::array<xcb_void_cookie_t, 4> cookies;
    for (std::size_t i = 0; i < variants.size(); ++i) {
        // Not owner events: the press then always arrives on the root
        // window, even while one of our own windows has the focus.
        cookies[i] = xcb_grab_key_checked(m_connection, 0, m_root, grabbed | variants[i], keycode,
            XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    }
    std::optional<GlobalHotkeyError> failure;
    for (const xcb_void_cookie_t cookie : cookies) {
        if (xcb_generic_error_t *error = xcb_request_check(m_connection, cookie)) {
            if (!failure)
                failure = errorFor(*error);
            std::free(error);
        }
    }
    if (failure) {
        unregisterHotkey();
        return std::unexpected(*failure);
    }
    return {};
}

void X11GlobalHotkey::unregisterHotkey()
{
    if (!m_connection || m_keycode == 0)
        return;
    // Ungrabbing a variant another client holds leaves that grab alone.
    for (const std::uint16_t variant : lockVariants())
        xcb_ungrab_key(m_connection, m_keycode, m_root, m_modifiers | variant);
    xcb_flush(m_connection);
    m_keycode = 0;
}

std::array<std::uint16_t, 4> X11GlobalHotkey::lockVariants() const
{
    const std::uint16_t numLock = m_lockModifiers & ~XCB_MOD_MASK_LOCK;
    return {0, numLock, XCB_MOD_MASK_LOCK, m_lockModifiers};
}

bool X11GlobalHotkey::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (m_keycode == 0 || eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_KEY_PRESS)
        return false;
    const auto *press = reinterpret_cast<const xcb_key_press_event_t *>(event);
    if (press->event != m_root || press->detail != m_keycode
        || (press->state & allModifierMasks & ~m_lockModifiers) != m_modifiers)
        return false;
    QMetaObject::invokeMethod(this, &GlobalHotkey::pressed, Qt::QueuedConnection);
    return true;
}
