#include "platform/linux/X11IdleTime.h"

#include "platform/linux/X11Connection.h"

#include <xcb/screensaver.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

X11IdleTime::X11IdleTime()
{
    if (const std::optional<X11Connection> x11 = X11Connection::open(&xcb_screensaver_id)) {
        m_connection = x11->connection;
        m_root = x11->root;
    }
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
