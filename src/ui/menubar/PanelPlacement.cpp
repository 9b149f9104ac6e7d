#include "ui/menubar/PanelPlacement.h"

#include <algorithm>

namespace PanelPlacement {

QPoint position(const QRect &iconGeometry, QSize panelSize, const QRect &screen, QPoint pointer)
{
    const QRect anchor = iconGeometry.isEmpty() ? QRect(pointer, QSize(1, 1)) : iconGeometry;
    int x = anchor.x() + anchor.width() / 2 - panelSize.width() / 2;
    int y = anchor.bottom() + 1;
    if (y + panelSize.height() > screen.bottom() + 1)
        y = anchor.top() - panelSize.height();
    // A panel larger than the screen keeps its top-left corner on it.
    x = std::max(std::min(x, screen.right() + 1 - panelSize.width()), screen.left());
    y = std::max(std::min(y, screen.bottom() + 1 - panelSize.height()), screen.top());
    return {x, y};
}

} // namespace PanelPlacement
