#pragma once

#include "ui/menubar/MenuItem.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QMenu;
class QQuickItem;

// Turns menu models into QMenus.
namespace MenuRenderer {

// What the choices of a menu depend on. A choice runs on context's thread
// once the menu has finished with the event that chose it, never inside the
// menu's own handling: it may open a modal dialog, whose event loop would
// delete the closed menu under the code still running it. It is dropped when
// context is gone by then, or when isCurrent() no longer holds (a lock
// between the choice and its run).
struct ChoiceScope {
    QObject *context = nullptr;
    std::function<bool()> isCurrent;
};

// A new menu showing model, submenus included. Each item's action runs with
// its QAction's data when the item is chosen, as scope says. While any menu
// of the tree is open, the shortcuts of all its items work, each once per
// key press, and close the menu first as a click does.
std::unique_ptr<QMenu> render(const MenuModel &model, const ChoiceScope &scope);

// Shows a new menu of model under anchor, right-aligned with it, or at the
// pointer without one. The menu deletes itself once closed.
QMenu *popUp(const MenuModel &model, const ChoiceScope &scope, QQuickItem *anchor);

// A title as QMenu shows it literally (titles come from data: previews,
// names): "&" doubled (else a typed letter
// would choose the item), tabs as spaces (else the rest would show as the
// shortcut column).
QString escapedTitle(const QString &title);

} // namespace MenuRenderer
