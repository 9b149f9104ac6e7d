#include "ui/design/SceneGraphBackend.h"

#include <QQuickWindow>
#include <QSGRendererInterface>

void SceneGraphBackend::choose()
{
    if (qEnvironmentVariableIsSet("QT_QUICK_BACKEND"))
        return;
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}
