#include "platform/linux/X11Connection.h"

#include <QGuiApplication>

#include <X11/Xlib.h>
#include <xcb/xcb.h>

namespace {

std::optional<std::uint32_t> rootOf(xcb_connection_t *connection, int screen)
{
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screen && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    if (screens.rem == 0)
        return std::nullopt;
    return screens.data->root;
}

} // namespace

std::optional<X11Connection> X11Connection::open(xcb_extension_t *extension)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return std::nullopt;
    int screen = 0;
    xcb_connection_t *connection = xcb_connect(nullptr, &screen);
    const xcb_query_extension_reply_t *reply
        = xcb_connection_has_error(connection) ? nullptr : xcb_get_extension_data(connection, extension);
    const std::optional<std::uint32_t> root
        = reply && reply->present ? rootOf(connection, screen) : std::nullopt;
    if (!root) {
        xcb_disconnect(connection);
        return std::nullopt;
    }
    return X11Connection {connection, *root};
}

std::optional<X11Connection> X11Connection::qt()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    // Other platforms may answer with no display (offscreen does).
    if (!x11 || !x11->connection() || !x11->display())
        return std::nullopt;
    const std::optional<std::uint32_t> root = rootOf(x11->connection(), XDefaultScreen(x11->display()));
    if (!root)
        return std::nullopt;
    return X11Connection {x11->connection(), *root};
}

bool X11Connection::displayReachable()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    const bool reachable = !xcb_connection_has_error(connection);
    xcb_disconnect(connection);
    return reachable;
}
