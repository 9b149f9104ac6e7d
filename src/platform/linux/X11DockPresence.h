#pragma once

#include "platform/DockPresence.h"

#include <QObject>

#include <cstdint>

class QWindow;

// The accessory policy on X11: our main and dialog windows carry the EWMH
// skip-taskbar state, which taskbars and window switchers honour. Windows
// already on screen are changed through the window manager; windows about to
// be shown get the state before they are mapped, because the window manager
// drops it whenever a window is hidden. Does nothing on other Qt platforms.
class X11DockPresence final : public QObject, public DockPresence {
    Q_OBJECT
    Q_DISABLE_COPY(X11DockPresence)

public:
    // Watches the application's windows from now on; shown until told
    // otherwise.
    explicit X11DockPresence(QObject *parent = nullptr);

    void setShownInDock(bool shown) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool prepareAtoms();
    void setStateOnUnmapped(QWindow *window);
    void requestStateOnMapped(QWindow *window);

    bool m_shown = true;
    std::uint32_t m_wmState = 0;
    std::uint32_t m_skipTaskbar = 0;
};
