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

// Where the last dialog gave the keyboard back, until a window of ours has
// it: the window that had it closed with that dialog, and a dialog that
// follows at once (a file, then its password) belongs to the same window.
QPointer<QWindow> &givenBack()
{
    static QPointer<QWindow> window;
    return window;
}

bool isMenu(const QWindow &window)
{
    return window.type() == Qt::Popup || window.type() == Qt::ToolTip;
}

} // namespace

Opener::Opener()
{
    QWindow *window = QGuiApplication::focusWindow();
    if (!window || !window->isVisible())
        window = givenBack();
    while (window && isMenu(*window))
        window = window->transientParent();
    if (window && window->isVisible())
        m_window = window;
}

void Opener::adopt(QWindow &dialog) const
{
    if (m_window)
        dialog.setTransientParent(m_window);
}

void Opener::giveBack() const
{
    if (!m_window || !m_window->isVisible())
        return;
    static const QMetaObject::Connection forgetOnFocus
        = QObject::connect(qGuiApp, &QGuiApplication::focusWindowChanged, [](QWindow *focused) {
              if (focused)
                  givenBack().clear();
          });
    givenBack() = m_window;
    m_window->requestActivate();
}

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
