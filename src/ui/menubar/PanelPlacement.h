#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where the panel goes on the screen.
namespace PanelPlacement {

// The panel's top-left corner: centred under the tray icon, above it when
// it does not fit below, kept inside screen (the available area of the
// icon's screen). An empty iconGeometry (no tray, or a tray that does not
// tell) puts it at the pointer in the same way.
QPoint position(const QRect &iconGeometry, QSize panelSize, const QRect &screen, QPoint pointer);

} // namespace PanelPlacement
