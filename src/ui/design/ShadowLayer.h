#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QQuickPaintedItem>

// The soft shadow under a SurfaceShape: a child drawn below its parent. The
// blurred image is made once for a shape, size and colour and kept until one
// of them changes.
class ShadowLayer final : public QQuickPaintedItem {
public:
    explicit ShadowLayer(QQuickItem *parent);

    void setShadow(const QPainterPath &shape, QSizeF shapeSize, qreal blurRadius, const QColor &color);

    // How often the blur was computed, for tests.
    int renders() const { return m_renders; }

    void paint(QPainter *painter) override;

private:
    QPainterPath m_shape;
    QSizeF m_shapeSize;
    qreal m_blurRadius = 0;
    QColor m_color;
    QImage m_image;
    qreal m_imageRatio = 0;
    int m_renders = 0;
};
