#include "ui/design/ItemAccessibility.h"

#include <QtQuick/private/qaccessiblequickitem_p.h>
#include <QtQuickTemplates2/private/qquickabstractbutton_p.h>
#include <QtQuickTemplates2/private/qquickabstractbutton_p_p.h>

#include <QQuickItem>

#include <memory>

namespace {

// What a click does to a button, without the pointer: the next check state,
// then the click itself (its action, or its clicked signal).
struct ButtonClick final : QQuickAbstractButton {
    static void on(QQuickAbstractButton *button)
    {
        (button->*&ButtonClick::nextCheckState)();
        QQuickAbstractButtonPrivate::get(button)->trigger();
    }
};

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

    // Qt 6.4 answers a button's press and does nothing, and turns a check
    // box's toggle into a bare change of state: either gets the click a
    // pointer gives, which the button's own handlers answer.
    void doAction(const QString &actionName) override
    {
        auto *button = qobject_cast<QQuickAbstractButton *>(item());
        if (!button || (actionName != pressAction() && actionName != toggleAction())) {
            QAccessibleQuickItem::doAction(actionName);
            return;
        }
        if (button->isEnabled())
            ButtonClick::on(button);
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
