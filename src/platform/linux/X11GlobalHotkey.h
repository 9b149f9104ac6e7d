#pragma once

#include "platform/GlobalHotkey.h"

#include <QAbstractNativeEventFilter>

#include <array>
#include <cstdint>

struct xcb_connection_t;

// A passive key grab on the root window, made on Qt's own X connection so
// that the presses arrive among Qt's native events. ⌘ is Super here. The
// grab is repeated with Num Lock and Caps Lock, whose latched state would
// otherwise keep the chord from matching.
class X11GlobalHotkey final : public GlobalHotkey, public QAbstractNativeEventFilter {
    Q_OBJECT

public:
    explicit X11GlobalHotkey(QObject *parent = nullptr);
    ~X11GlobalHotkey() override;

    std::expected<void, GlobalHotkeyError> registerHotkey(quint32 keyCode, quint32 modifiers) override;
    void unregisterHotkey() override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    std::array<std::uint16_t, 4> lockVariants() const;

    xcb_connection_t *m_connection = nullptr;
    std::uint32_t m_root = 0;
    std::uint8_t m_keycode = 0;
    std::uint16_t m_modifiers = 0;
    // Latched modifiers the press may carry: Caps Lock and Num Lock.
    std::uint16_t m_lockModifiers = 0;
};
