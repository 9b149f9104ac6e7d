#pragma once

#include <cstdint>
#include <optional>

struct xcb_connection_t;
struct xcb_extension_t;

// Where an X11 backend talks to the server: a connection and the root
// window of its default screen.
struct X11Connection {
    xcb_connection_t *connection = nullptr;
    std::uint32_t root = 0;

    // A connection of its own to the display named by DISPLAY, when there
    // is one and it has the extension; the caller disconnects it.
    static std::optional<X11Connection> open(xcb_extension_t *extension);
    // Qt's own connection, when the process runs on the xcb platform. Only
    // there do events for our grabs reach Qt's native event filters.
    static std::optional<X11Connection> qt();
    // Whether the display named by DISPLAY answers.
    static bool displayReachable();
};
