#include "ui/menubar/PanelWindow.h"

#include "base/Log.h"

#include <QGuiApplication>
#include <QQmlComponent>
#include <QQuickItem>

using namespace Qt::StringLiterals;

PanelWindow::PanelWindow(QQmlEngine &engine, const QUrl &root, const QVariantMap &initialProperties)
{
    setFlags(Qt::Tool | Qt::FramelessWindowHint);
    setTitle(u"Vantorell"_s);
    setMinimumSize(panelSize);
    setMaximumSize(panelSize);
    resize(panelSize);

    QQmlComponent component(&engine, root);
    m_root.reset(qobject_cast<QQuickItem *>(component.createWithInitialProperties(initialProperties)));
    if (m_root) {
        m_root->setParentItem(contentItem());
        m_root->setSize(QSizeF(panelSize));
    } else {
        Log::write(u"The panel's view did not load: "_s + component.errorString());
    }

    // Our own alert or password prompt keeps the application active; only
    // another application taking the focus makes it inactive.
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive)
            hide();
    });
}

// The content goes before the window it draws in.
PanelWindow::~PanelWindow()
{
    m_root.reset();
}

void PanelWindow::showAt(QPoint topLeft)
{
    setPosition(topLeft);
    show();
    raise();
    requestActivate();
}

bool PanelWindow::isKey() const
{
    return isVisible() && QGuiApplication::focusWindow() == this;
}
