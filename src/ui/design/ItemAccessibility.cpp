#include "ui/design/ItemAccessibility.h"

#include <QtQuick/private/qaccessiblequickitem_p.h>

#include <QQuickItem>

#include <memory>

namespace {

class EnabledAwareItem final : public QAccessibleQuickItem {
public:
    explicit EnabledAwareItem(QQuickItem *item) : QAccessibleQuickItem(item)
    {
        m_enabledChange = QObject::connect(item, &QQuickItem::enabledChanged, item, [item] {
            QAccessible::State changed;
            changed.disabled = true;
            QAccessibleStateChangeEvent event(item, changed);
            QAccessible::updateAccessibility(&event);
        });
    }

    ~EnabledAwareItem() override { QObject::disconnect(m_enabledChange); }

    Q_DISABLE_COPY(EnabledAwareItem)

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleQuickItem::state();
        if (!item()->isEnabled()) {
            state.disabled = true;
            state.focusable = false;
        }
        return state;
    }

private:
    QMetaObject::Connection m_enabledChange;
};

// Asked for each class of the object, the most derived first: an item is
// answered at once, before Qt Quick's own factory would be.
QAccessibleInterface *itemFactory(const QString &, QObject *object)
{
    auto *item = qobject_cast<QQuickItem *>(object);
    if (!item)
        return nullptr;
    auto accessible = std::make_unique<EnabledAwareItem>(item);
    // Items that take no part in the tree stay out of it, as with Qt Quick.
    return accessible->isAccessible() ? accessible.release() : nullptr;
}

} // namespace

namespace ItemAccessibility {

void install()
{
    QAccessible::installFactory(itemFactory);
}

} // namespace ItemAccessibility
