#include "platform/linux/X11DockPresence.h"

#include <QEvent>
#include <QGuiApplication>
#include <QList>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

template<typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

QGuiApplication *guiApplication()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance());
}

xcb_connection_t *connection()
{
    QGuiApplication *application = guiApplication();
    const auto *x11
        = application ? application->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// Only windows a taskbar would list; menus, tool tips and tool windows are
// left alone.
bool isApplicationWindow(const QWindow *window)
{
    return window->isTopLevel() && (window->type() == Qt::Window || window->type() == Qt::Dialog);
}

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 0, std::strlen(name), name);
    const Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

} // namespace

X11DockPresence::X11DockPresence(QObject *parent) : QObject(parent)
{
    if (QGuiApplication *application = guiApplication())
        application->installEventFilter(this);
}

void X11DockPresence::setShownInDock(bool shown)
{
    m_shown = shown;
    if (!prepareAtoms())
        return;
    const QList<QWindow *> windows = QGuiApplication::topLevelWindows();
    for (QWindow *window : windows) {
        if (isApplicationWindow(window) && window->isVisible() && window->handle())
            requestStateOnMapped(window);
    }
}

bool X11DockPresence::eventFilter(QObject *watched, QEvent *event)
{
    // Show reaches a window after its native window exists and before it is
    // mapped.
    if (event->type() == QEvent::Show && watched->isWindowType()) {
        auto *window = static_cast<QWindow *>(watched);
        if (isApplicationWindow(window) && prepareAtoms())
            setStateOnUnmapped(window);
    }
    return QObject::eventFilter(watched, event);
}

bool X11DockPresence::prepareAtoms()
{
    xcb_connection_t *c = connection();
    if (!c)
        return false;
    if (m_skipTaskbar == XCB_ATOM_NONE) {
        m_wmState = internAtom(c, "_NET_WM_STATE");
        m_skipTaskbar = internAtom(c, "_NET_WM_STATE_SKIP_TASKBAR");
    }
    return m_wmState != XCB_ATOM_NONE && m_skipTaskbar != XCB_ATOM_NONE;
}

// Qt merges what it finds in the property with its own states when it maps
// the window.
void X11DockPresence::setStateOnUnmapped(QWindow *window)
{
    xcb_connection_t *c = connection();
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_get_property_cookie_t cookie = xcb_get_property(c, 0, id, m_wmState, XCB_ATOM_ATOM, 0, 1024);
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(c, cookie, nullptr), &std::free);
    QList<xcb_atom_t> states;
    if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
        const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
        states = QList<xcb_atom_t>(
            atoms, atoms + xcb_get_property_value_length(reply.get()) / sizeof(xcb_atom_t));
    }
    states.removeAll(m_skipTaskbar);
    if (!m_shown)
        states.append(m_skipTaskbar);
    if (states.isEmpty())
        xcb_delete_property(c, id, m_wmState);
    else
        xcb_change_property(
            c, XCB_PROP_MODE_REPLACE, id, m_wmState, XCB_ATOM_ATOM, 32, states.size(), states.data());
    xcb_flush(c);
}

void X11DockPresence::requestStateOnMapped(QWindow *window)
{
    xcb_connection_t *c = connection();
    const auto id = static_cast<xcb_window_t>(window->winId());
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, id), nullptr), &std::free);
    if (!geometry)
        return;
    constexpr std::uint32_t removeState = 0;
    constexpr std::uint32_t addState = 1;
    constexpr std::uint32_t fromApplication = 1;
    xcb_client_message_event_t message {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = m_wmState;
    message.data.data32[0] = m_shown ? removeState : addState;
    message.data.data32[1] = m_skipTaskbar;
    message.data.data32[3] = fromApplication;
    xcb_send_event(c, 0, geometry->root,
        XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
        reinterpret_cast<const char *>(&message));
    xcb_flush(c);
}
