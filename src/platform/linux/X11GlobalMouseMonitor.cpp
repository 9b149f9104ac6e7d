#include "platform/linux/X11GlobalMouseMonitor.h"

#include "platform/linux/X11Connection.h"

#include <QApplication>
#include <QCursor>

#include <xcb/xcb.h>
#include <xcb/xinput.h>

#include <cstdlib>

namespace {

constexpr std::uint32_t leftButton = 1;
constexpr std::uint32_t rightButton = 3;

// Whether the press just made lands on a window of ours or is taken by our
// open menu, which holds the pointer until it closes.
bool pressGoesToUs()
{
    return QApplication::activePopupWidget() || QGuiApplication::topLevelAt(QCursor::pos());
}

} // namespace

X11GlobalMouseMonitor::X11GlobalMouseMonitor(QObject *parent) : GlobalMouseMonitor(parent)
{
    const std::optional<X11Connection> x11 = X11Connection::qt();
    if (!x11)
        return;
    const xcb_query_extension_reply_t *input = xcb_get_extension_data(x11->connection, &xcb_input_id);
    if (!input || !input->present)
        return;
    // Raw events reach clients of 2.1 and later whoever holds a grab. Qt
    // has announced 2.2 or later on this connection already, unless its
    // XInput support is off; asking for 2.2 again keeps that.
    xcb_input_xi_query_version_reply_t *version = xcb_input_xi_query_version_reply(
        x11->connection, xcb_input_xi_query_version(x11->connection, 2, 2), nullptr);
    const bool usable = version && version->major_version >= 2;
    std::free(version);
    if (!usable)
        return;
    m_connection = x11->connection;
    m_root = x11->root;
    m_inputOpcode = input->major_opcode;
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11GlobalMouseMonitor::~X11GlobalMouseMonitor()
{
    if (!m_connection)
        return;
    stop();
    QCoreApplication::instance()->removeNativeEventFilter(this);
}

void X11GlobalMouseMonitor::start()
{
    if (m_connection && !m_started)
        select(true);
}

void X11GlobalMouseMonitor::stop()
{
    if (m_connection && m_started)
        select(false);
}

void X11GlobalMouseMonitor::select(bool started)
{
    // The master pointer reports each press once, whichever device made it.
    // Qt keeps its own selection on the root window under another device.
    struct {
        xcb_input_event_mask_t head;
        std::uint32_t mask;
    } selection {{XCB_INPUT_DEVICE_ALL_MASTER, 1},
        started ? std::uint32_t(XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS) : 0u};
    xcb_input_xi_select_events(m_connection, m_root, 1, &selection.head);
    xcb_flush(m_connection);
    m_started = started;
}

bool X11GlobalMouseMonitor::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (!m_connection || eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_GE_GENERIC)
        return false;
    const auto *generic = reinterpret_cast<const xcb_ge_generic_event_t *>(event);
    if (generic->extension != m_inputOpcode || generic->event_type != XCB_INPUT_RAW_BUTTON_PRESS)
        return false;
    const auto *press = reinterpret_cast<const xcb_input_raw_button_press_event_t *>(event);
    // The middle button and the wheel (buttons 4 to 7) leave things be.
    if (m_started && (press->detail == leftButton || press->detail == rightButton) && !pressGoesToUs())
        QMetaObject::invokeMethod(this, &GlobalMouseMonitor::mouseDown, Qt::QueuedConnection);
    // Qt selects no raw events and has nothing to do with them.
    return true;
}
