#include "support/QuickScene.h"

#include <QQmlComponent>
#include <QTest>

using namespace Qt::StringLiterals;

QuickScene::QuickScene() : m_window(std::make_unique<QQuickWindow>())
{
    m_window->setColor(Qt::white);
}

QuickScene::~QuickScene()
{
    m_root.reset();
    m_window.reset();
}

QQuickItem *QuickScene::load(const QString &body, int margin)
{
    QQmlComponent component(&m_engine);
    const QString text = u"import QtQuick\nimport QtQuick.Controls\nimport QtQuick.Layouts\n"
                         u"import Vantorell.Design\n"_s
        + body;
    component.setData(text.toUtf8(), QUrl(u"qrc:/scene.qml"_s));
    std::unique_ptr<QObject> object(component.create());
    auto *item = qobject_cast<QQuickItem *>(object.get());
    if (!item) {
        qWarning().noquote() << "cannot load:" << component.errorString();
        return nullptr;
    }
    object.release();
    m_root.reset(item);
    item->setParentItem(m_window->contentItem());
    item->setPosition(QPointF(margin, margin));
    const QSizeF size(item->width() > 0 ? item->width() : item->implicitWidth(),
        item->height() > 0 ? item->height() : item->implicitHeight());
    item->setSize(size);
    m_window->resize(qMax(1, qCeil(size.width()) + 2 * margin), qMax(1, qCeil(size.height()) + 2 * margin));
    return item;
}

QImage QuickScene::grab()
{
    if (!m_window->isVisible())
        m_window->show();
    return m_window->grabWindow();
}

bool QuickScene::showAndActivate()
{
    m_window->show();
    m_window->requestActivate();
    return QTest::qWaitForWindowActive(m_window.get());
}
