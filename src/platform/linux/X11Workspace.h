#pragma once

#include "platform/Workspace.h"
#include "platform/linux/DesktopEntryIndex.h"

#include <QByteArray>

#include <xcb/xcb.h>

// The front application from the window manager's _NET_ACTIVE_WINDOW (or
// the window holding the input focus), told apart by its freedesktop
// application id: Flatpak's FLATPAK_ID, else the desktop file that claims
// the window's WM_CLASS, else the WM_CLASS class.
class X11Workspace final : public Workspace {
    Q_DISABLE_COPY(X11Workspace)

public:
    // Uses Qt's own X connection.
    X11Workspace();

    std::optional<RunningApplication> frontmostApplication() override;
    bool activate(const RunningApplication &application) override;
    bool openURL(const QUrl &url) override;

private:
    xcb_window_t frontWindow();
    xcb_window_t focusedClientWindow();
    std::optional<QByteArray> property(xcb_window_t window, xcb_atom_t property, xcb_atom_t type);
    qint64 localProcess(xcb_window_t window);
    xcb_atom_t atom(const char *name);

    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    xcb_atom_t m_activeWindowAtom = XCB_ATOM_NONE;
    DesktopEntryIndex m_entries;
};
