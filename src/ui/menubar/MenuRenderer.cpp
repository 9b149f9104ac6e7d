#include "ui/menubar/MenuRenderer.h"

#include "ui/design/SymbolImage.h"
#include "ui/design/Symbols.h"
#include "ui/menubar/MenuKeyFilter.h"

#include <QApplication>
#include <QCursor>
#include <QHash>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QQuickItem>
#include <QStyle>

#include <array>
#include <utility>

using namespace Qt::StringLiterals;

namespace MenuRenderer {

namespace {

constexpr int smallSymbolPoints = 13;

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
        auto *submenu = new QMenu(title, &menu);
        addItems(*submenu, item.submenu, scope, keys);
        action = menu.addMenu(submenu);
    }
    action->setIcon(icon(item.symbol, item.smallSymbol));
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
    auto menu = std::make_unique<QMenu>();
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

QIcon icon(const QString &symbol, bool small)
{
    if (symbol.isEmpty())
        return {};
    const QPalette palette = QApplication::palette("QMenu");
    const QColor text = palette.color(QPalette::Text);
    const QColor selected = palette.color(QPalette::HighlightedText);
    const qreal ratio = qApp->devicePixelRatio();
    const QString key
        = u"%1|%2|%3|%4|%5"_s.arg(symbol).arg(small).arg(text.rgba()).arg(selected.rgba()).arg(ratio);
    // Drawing an SVG takes a noticeable time and a menu may show thousands of
    // items with a handful of symbols; the main thread alone uses this.
    static QHash<QString, QIcon> cache;
    if (const auto found = cache.constFind(key); found != cache.cend())
        return *found;

    QIcon made;
    if (const QString path = Symbols::resourcePath(symbol); !path.isEmpty()) {
        const int points = small ? smallSymbolPoints : qApp->style()->pixelMetric(QStyle::PM_SmallIconSize);
        const QSize pixels = QSize(points, points) * ratio;
        // The highlighted row draws its icon in the Active mode.
        const std::array<std::pair<QIcon::Mode, QColor>, 2> tints {
            {{QIcon::Normal, text}, {QIcon::Active, selected}}};
        for (const auto &[mode, color] : tints) {
            QPixmap pixmap = QPixmap::fromImage(SymbolImage::render(path, pixels, color));
            pixmap.setDevicePixelRatio(ratio);
            made.addPixmap(pixmap, mode);
        }
    }
    cache.insert(key, made);
    return made;
}

} // namespace MenuRenderer
