#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

// One row of a menu before it becomes a QMenu: an item, a separator, or an
// item opening a submenu. The payload travels in the item's QAction::data
// and is handed to the action, which checks it.
struct MenuItem {
    using Action = std::function<void(const QVariant &payload)>;

    // Shown literally: never read as a mnemonic or a shortcut column.
    QString title;
    // A symbol name of the design system; empty for none.
    QString symbol;
    // Drawn smaller than the menu's own icon size.
    bool smallSymbol = false;
    bool enabled = true;
    // Deletes or clears: drawn in the danger colour.
    bool destructive = false;
    // Set for a checkable item.
    std::optional<bool> checked;
    QString toolTip;
    QKeySequence shortcut;
    QVariant payload;
    // Empty for an item that does nothing by itself.
    Action action;
    // Opens this submenu when not empty.
    QList<MenuItem> submenu;
    bool isSeparator = false;

    static MenuItem button(const QString &title, const QString &symbol, Action action)
    {
        MenuItem item;
        item.title = title;
        item.symbol = symbol;
        item.action = std::move(action);
        return item;
    }
    static MenuItem separator()
    {
        MenuItem item;
        item.isSeparator = true;
        return item;
    }
    // A disabled item with a short sentence standing in for missing content.
    static MenuItem placeholder(const QString &title)
    {
        MenuItem item;
        item.title = title;
        item.enabled = false;
        return item;
    }
};

using MenuModel = QList<MenuItem>;
