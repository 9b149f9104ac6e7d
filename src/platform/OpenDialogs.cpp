#include "platform/OpenDialogs.h"

#include <QGuiApplication>
#include <QPointer>
#include <QWindow>

namespace OpenDialogs {

namespace {

struct Installed {
    QPointer<const QObject> owner;
    std::function<Scope()> source;
};

Installed &installed()
{
    static Installed scope;
    return scope;
}

} // namespace

void setScope(const QObject *owner, std::function<Scope()> source)
{
    installed() = {owner, std::move(source)};
}

Scope scopeFromNow()
{
    const Installed &scope = installed();
    if (!scope.owner || !scope.source)
        return [] { return true; };
    return scope.source();
}

void closeAll()
{
    // A window closed here may delete others as it goes.
    QList<QPointer<QWindow>> dialogs;
    for (QWindow *window : QGuiApplication::topLevelWindows()) {
        if (window->isVisible() && window->type() == Qt::Dialog)
            dialogs.append(window);
    }
    for (const QPointer<QWindow> &dialog : std::as_const(dialogs)) {
        if (dialog)
            dialog->close();
    }
}

} // namespace OpenDialogs
