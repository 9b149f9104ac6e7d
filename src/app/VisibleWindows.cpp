#include "app/VisibleWindows.h"

#include <QGuiApplication>
#include <QWindow>

#include <algorithm>

namespace VisibleWindows {

QList<QWindow *> list()
{
    QList<QWindow *> shown;
    for (QWindow *window : QGuiApplication::topLevelWindows()) {
        if (window->isVisible() && (window->type() == Qt::Window || window->type() == Qt::Dialog)
            && !window->flags().testFlag(Qt::BypassWindowManagerHint))
            shown.append(window);
    }
    return shown;
}

void bringForward()
{
    QList<QWindow *> windows = list();
    if (windows.isEmpty())
        return;
    std::ranges::stable_partition(windows, [](const QWindow *window) { return !window->isModal(); });
    for (QWindow *window : std::as_const(windows)) {
        window->setWindowStates(window->windowStates() & ~Qt::WindowMinimized);
        window->raise();
    }
    windows.constLast()->requestActivate();
}

} // namespace VisibleWindows
