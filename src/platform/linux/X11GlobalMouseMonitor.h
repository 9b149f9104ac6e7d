#pragma once

#include "platform/GlobalMouseMonitor.h"

#include <QAbstractNativeEventFilter>

#include <cstdint>

struct xcb_connection_t;

// XInput 2 raw button presses on the root window, on Qt's own connection:
// they reach every client that asks, whoever holds a grab, and take none
// themselves, so the click still does what it does. Being on Qt's
// connection, a press is seen before Qt handles it, while a menu it closes
// is still open.
class X11GlobalMouseMonitor final : public GlobalMouseMonitor, public QAbstractNativeEventFilter {
    Q_OBJECT

public:
    explicit X11GlobalMouseMonitor(QObject *parent = nullptr);
    ~X11GlobalMouseMonitor() override;

    void start() override;
    void stop() override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    void select(bool started);

    xcb_connection_t *m_connection = nullptr;
    std::uint32_t m_root = 0;
    std::uint8_t m_inputOpcode = 0;
    bool m_started = false;
};
