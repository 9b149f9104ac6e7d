#include "ui/design/ShadowLayer.h"

#include "ui/design/SoftShadow.h"

#include <QPainter>
#include <QQuickWindow>

ShadowLayer::ShadowLayer(QQuickItem *parent) : QQuickPaintedItem(parent)
{
    setZ(-1);
}

void ShadowLayer::setShadow(
    const QPainterPath &shape, QSizeF shapeSize, qreal blurRadius, const QColor &color)
{
    if (shape == m_shape && shapeSize == m_shapeSize && qFuzzyCompare(blurRadius, m_blurRadius)
        && color == m_color)
        return;
    m_shape = shape;
    m_shapeSize = shapeSize;
    m_blurRadius = blurRadius;
    m_color = color;
    m_image = QImage();
    update();
}

void ShadowLayer::paint(QPainter *painter)
{
    const qreal ratio = window() ? window()->effectiveDevicePixelRatio() : 1.0;
    if (m_image.isNull() || !qFuzzyCompare(ratio, m_imageRatio)) {
        m_image = SoftShadow::render(m_shape, m_shapeSize, m_blurRadius, m_color, ratio);
        m_imageRatio = ratio;
        ++m_renders;
    }
    painter->drawImage(QPointF(0, 0), m_image);
}
