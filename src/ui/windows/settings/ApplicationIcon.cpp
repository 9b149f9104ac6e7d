#include "ui/windows/settings/ApplicationIcon.h"

#include <QDir>
#include <QImageReader>
#include <QPainter>
#include <QQuickWindow>

ApplicationIcon::ApplicationIcon(QQuickItem *parent) : QQuickPaintedItem(parent)
{
    setAntialiasing(true);
}

void ApplicationIcon::setSource(const QString &source)
{
    if (source == m_source)
        return;
    m_source = source;
    if (source.isEmpty())
        m_icon = QIcon();
    else if (QDir::isAbsolutePath(source))
        m_icon = QImageReader(source).canRead() ? QIcon(source) : QIcon();
    else
        m_icon = QIcon::fromTheme(source);
    update();
    emit sourceChanged();
}

void ApplicationIcon::paint(QPainter *painter)
{
    const qreal ratio = window() ? window()->effectiveDevicePixelRatio() : 1.0;
    const QPixmap pixmap = m_icon.pixmap(size().toSize(), ratio);
    if (!pixmap.isNull())
        painter->drawPixmap(boundingRect().toRect(), pixmap);
}
