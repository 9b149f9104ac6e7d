#pragma once

// Whether the application presents itself as a regular application (its
// windows in the taskbar and the window switcher) or as an accessory that
// lives in the tray only.
class DockPresence {
public:
    virtual ~DockPresence() = default;

    // Applies to the windows shown now and to every window shown later.
    virtual void setShownInDock(bool shown) = 0;
};
