#include "ui/menubar/MenuRenderer.h"

#include "ui/design/DesignTokens.h"
#include "ui/menubar/MenuIcons.h"
#include "ui/menubar/MenuKeyFilter.h"

#include <QCursor>
#include <QMenu>
#include <QPointer>
#include <QQuickItem>
#include <QStyleOptionMenuItem>

using namespace Qt::StringLiterals;

namespace MenuRenderer {

namespace {

constexpr char destructiveProperty[] = "vtDestructive";

// Draws the titles of destructive items in the danger colour, which QMenu
// has no setting for.
class RenderedMenu final : public QMenu {
public:
    using QMenu::QMenu;

protected:
    void initStyleOption(QStyleOptionMenuItem *option, const QAction *action) const override
    {
        QMenu::initStyleOption(option, action);
        if (!action->property(destructiveProperty).toBool() || !action->isEnabled())
            return;
        for (const QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
            option->palette.setColor(role, DesignTokens::danger());
    }
};

void addItems(QMenu &menu, const MenuModel &model, const ChoiceScope &scope, MenuKeyFilter &keys);

void addItem(QMenu &menu, const MenuItem &item, const ChoiceScope &scope, MenuKeyFilter &keys)
{
    if (item.isSeparator) {
        menu.addSeparator();
        return;
    }
    const QString title = escapedTitle(item.title);
    QAction *action = nullptr;
    if (item.submenu.isEmpty()) {
        action = menu.addAction(title);
    } else {
        auto *submenu = new RenderedMenu(title, &menu);
        addItems(*submenu, item.submenu, scope, keys);
        action = menu.addMenu(submenu);
    }
    action->setIcon(MenuIcons::symbol(
        item.symbol, item.smallSymbol, item.destructive ? MenuIcons::Tint::danger : MenuIcons::Tint::text));
    action->setProperty(destructiveProperty, item.destructive);
    action->setEnabled(item.enabled);
    if (item.checked) {
        action->setCheckable(true);
        action->setChecked(*item.checked);
    }
    if (!item.toolTip.isEmpty())
        action->setToolTip(item.toolTip);
    action->setData(item.payload);
    if (!item.shortcut.isEmpty()) {
        action->setShortcut(item.shortcut);
        keys.add(item.shortcut[0], action);
    }
    if (item.action) {
        const QPointer<QObject> context = scope.context;
        QObject::connect(action, &QAction::triggered, action,
            [run = item.action, action, context, isCurrent = scope.isCurrent] {
                // Taken by value: the menu and its actions may be gone by the run.
                const auto chosen = [run, payload = action->data(), isCurrent] {
                    if (!isCurrent || isCurrent())
                        run(payload);
                };
                if (context)
                    QMetaObject::invokeMethod(context, chosen, Qt::QueuedConnection);
            });
    }
}

void addItems(QMenu &menu, const MenuModel &model, const ChoiceScope &scope, MenuKeyFilter &keys)
{
    menu.setToolTipsVisible(true);
    keys.install(&menu);
    for (const MenuItem &item : model)
        addItem(menu, item, scope, keys);
}

} // namespace

std::unique_ptr<QMenu> render(const MenuModel &model, const ChoiceScope &scope)
{
    Q_ASSERT(scope.context);
    auto menu = std::make_unique<RenderedMenu>();
    auto *keys = new MenuKeyFilter(menu.get());
    addItems(*menu, model, scope, *keys);
    return menu;
}

QMenu *popUp(const MenuModel &model, const ChoiceScope &scope, QQuickItem *anchor)
{
    QMenu *menu = render(model, scope).release();
    QObject::connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    QPoint at = QCursor::pos();
    if (anchor) {
        const QPointF corner = anchor->mapToGlobal(QPointF(anchor->width(), anchor->height()));
        at = QPoint(qRound(corner.x()) - menu->sizeHint().width(), qRound(corner.y()));
    }
    menu->popup(at);
    return menu;
}

QString escapedTitle(const QString &title)
{
    QString escaped = title;
    escaped.replace(u'&', u"&&"_s);
    escaped.replace(u'\t', u' ');
    return escaped;
}

} // namespace MenuRenderer
