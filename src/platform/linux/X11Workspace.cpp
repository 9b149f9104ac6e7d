#include "platform/linux/X11Workspace.h"

#include "platform/linux/X11Connection.h"

#include <QDesktopServices>
#include <QFile>
#include <QSysInfo>

#include <cstdlib>
#include <memory>

namespace {

template<typename Reply> using ReplyPointer = std::unique_ptr<Reply, decltype(&std::free)>;

template<typename Reply> ReplyPointer<Reply> owned(Reply *reply)
{
    return {reply, &std::free};
}

// The Flatpak application id a process runs under, if any.
QString flatpakId(qint64 pid)
{
    if (pid <= 0)
        return {};
    QFile environment(QStringLiteral("/proc/%1/environ").arg(pid));
    if (!environment.open(QIODevice::ReadOnly))
        return {};
    static const QByteArray key = QByteArrayLiteral("FLATPAK_ID=");
    for (const QByteArray &variable : environment.readAll().split('\0')) {
        if (variable.startsWith(key))
            return QString::fromUtf8(variable.mid(key.size()));
    }
    return {};
}

} // namespace

X11Workspace::X11Workspace()
{
    const std::optional<X11Connection> x11 = X11Connection::qt();
    if (!x11)
        return;
    m_connection = x11->connection;
    m_root = x11->root;
    m_activeWindowAtom = atom("_NET_ACTIVE_WINDOW");
}

std::optional<RunningApplication> X11Workspace::frontmostApplication()
{
    if (!m_connection)
        return std::nullopt;
    const xcb_window_t window = frontWindow();
    if (window == XCB_WINDOW_NONE)
        return std::nullopt;

    RunningApplication application;
    application.window = window;
    application.processIdentifier = localProcess(window);
    const QList<QByteArray> wmClass
        = property(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING).value_or(QByteArray()).split('\0');
    const QString instance = QString::fromLocal8Bit(wmClass.value(0));
    const QString className = QString::fromLocal8Bit(wmClass.value(1));

    const QString flatpak = flatpakId(application.processIdentifier);
    std::optional<DesktopEntryIndex::Entry> entry;
    if (!flatpak.isEmpty()) {
        application.bundleIdentifier = flatpak;
        entry = m_entries.entryForId(flatpak);
    } else {
        entry = m_entries.entryForWindowClass(instance, className);
        if (entry)
            application.bundleIdentifier = entry->id;
    }
    const QString fallback = className.isEmpty() ? instance : className;
    if (application.bundleIdentifier.isEmpty())
        application.bundleIdentifier = fallback;
    application.localizedName = entry && !entry->name.isEmpty() ? entry->name : fallback;
    return application;
}

bool X11Workspace::activate(const RunningApplication &application)
{
    if (!m_connection || application.window == XCB_WINDOW_NONE)
        return false;
    xcb_generic_error_t *error = nullptr;
    const auto attributes = owned(xcb_get_window_attributes_reply(
        m_connection, xcb_get_window_attributes(m_connection, application.window), &error));
    std::free(error);
    if (!attributes)
        return false;

    xcb_client_message_event_t event {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = application.window;
    event.type = m_activeWindowAtom;
    // Source 2: a request on the user's behalf, as a taskbar makes it.
    event.data.data32[0] = 2;
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(m_connection, 0, m_root,
        XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
        reinterpret_cast<const char *>(&event));
    xcb_flush(m_connection);
    return true;
}

bool X11Workspace::openURL(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

xcb_window_t X11Workspace::frontWindow()
{
    const std::optional<QByteArray> active = property(m_root, m_activeWindowAtom, XCB_ATOM_WINDOW);
    if (!active)
        return focusedClientWindow();
    if (active->size() < qsizetype(sizeof(xcb_window_t)))
        return XCB_WINDOW_NONE;
    return *reinterpret_cast<const xcb_window_t *>(active->constData());
}

xcb_window_t X11Workspace::focusedClientWindow()
{
    const auto focus
        = owned(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    if (!focus || focus->focus == XCB_WINDOW_NONE || focus->focus == XCB_INPUT_FOCUS_POINTER_ROOT
        || focus->focus == m_root)
        return XCB_WINDOW_NONE;
    // The focus may sit in a child window; the application's window is the
    // ancestor that names its class.
    xcb_window_t window = focus->focus;
    for (int depth = 0; depth < 64; ++depth) {
        if (property(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING))
            return window;
        const auto tree
            = owned(xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), nullptr));
        if (!tree || tree->parent == m_root || tree->parent == XCB_WINDOW_NONE)
            break;
        window = tree->parent;
    }
    return window;
}

std::optional<QByteArray> X11Workspace::property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type)
{
    const auto reply = owned(xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, window, name, type, 0, 1024), nullptr));
    if (!reply || reply->type == XCB_ATOM_NONE)
        return std::nullopt;
    return QByteArray(static_cast<const char *>(xcb_get_property_value(reply.get())),
        xcb_get_property_value_length(reply.get()));
}

qint64 X11Workspace::localProcess(xcb_window_t window)
{
    // A process id means nothing for a client of another machine.
    const std::optional<QByteArray> machine = property(window, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING);
    if (machine && QString::fromLocal8Bit(*machine) != QSysInfo::machineHostName())
        return 0;
    const std::optional<QByteArray> pid = property(window, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL);
    if (!pid || pid->size() < qsizetype(sizeof(quint32)))
        return 0;
    return *reinterpret_cast<const quint32 *>(pid->constData());
}

xcb_atom_t X11Workspace::atom(const char *name)
{
    const auto reply = owned(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, quint16(qstrlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}
