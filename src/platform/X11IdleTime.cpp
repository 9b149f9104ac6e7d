#include "platform/X11IdleTime.h"

#include <xcb/screensaver.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

X11IdleTime::X11IdleTime()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return;
    int screenNumber = 0;
    xcb_connection_t *connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return;
    }
    const xcb_query_extension_reply_t *extension = xcb_get_extension_data(connection, &xcb_screensaver_id);
    if (!extension || !extension->present) {
        xcb_disconnect(connection);
        return;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    if (screens.rem == 0) {
        xcb_disconnect(connection);
        return;
    }
    m_connection = connection;
    m_root = screens.data->root;
}

X11IdleTime::~X11IdleTime()
{
    if (m_connection)
        xcb_disconnect(m_connection);
}

std::optional<std::chrono::milliseconds> X11IdleTime::sinceLastInput() const
{
    // A server that went away leaves the connection in error for good.
    if (!m_connection || xcb_connection_has_error(m_connection))
        return std::nullopt;
    const xcb_screensaver_query_info_cookie_t cookie = xcb_screensaver_query_info(m_connection, m_root);
    const std::unique_ptr<xcb_screensaver_query_info_reply_t, decltype(&std::free)> reply(
        xcb_screensaver_query_info_reply(m_connection, cookie, nullptr), &std::free);
    if (!reply)
        return std::nullopt;
    return std::chrono::milliseconds(reply->ms_since_user_input);
}
