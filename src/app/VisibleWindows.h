#pragma once

#include <QList>

class QWindow;

// The windows of ours the user sees: the settings and snippet windows and
// dialogs, also minimised. Neither the panel, a tool window, nor the tray
// icon's own window is one of them.
namespace VisibleWindows {

QList<QWindow *> list();

// Restores and raises every one, a modal dialog last so that it stays above
// the window it blocks, and activates the last.
void bringForward();

} // namespace VisibleWindows
