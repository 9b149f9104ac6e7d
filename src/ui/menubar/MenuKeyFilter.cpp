#include "ui/menubar/MenuKeyFilter.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>

MenuKeyFilter::MenuKeyFilter(QObject *parent) : QObject(parent)
{
}

void MenuKeyFilter::add(QKeyCombination keys, QAction *action)
{
    m_actions.insert(keys, action);
}

void MenuKeyFilter::install(QMenu *menu)
{
    menu->installEventFilter(this);
}

namespace {

QKeyCombination combination(const QKeyEvent &event)
{
    constexpr Qt::KeyboardModifiers chordModifiers
        = Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier;
    return QKeyCombination(event.modifiers() & chordModifiers, Qt::Key(event.key()));
}

// Closes the menu and every menu it was opened from, as choosing an item
// does.
void closeUpward(QMenu *menu)
{
    while (menu) {
        QMenu *opener = qobject_cast<QMenu *>(menu->parentWidget());
        menu->hide();
        menu = opener;
    }
}

} // namespace

bool MenuKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    auto *menu = qobject_cast<QMenu *>(watched);
    const auto &keyEvent = static_cast<const QKeyEvent &>(*event);
    const QPointer<QAction> action = m_actions.value(combination(keyEvent));
    if (!menu || !action || !action->isEnabled())
        return false;
    // Claiming the override keeps any application shortcut on the same keys
    // from running the command a second time.
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    // A held key repeats; the command runs once per press.
    if (keyEvent.isAutoRepeat())
        return true;
    closeUpward(menu);
    if (action)
        action->trigger();
    return true;
}
