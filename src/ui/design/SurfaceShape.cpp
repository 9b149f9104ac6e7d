#include "ui/design/SurfaceShape.h"

#include "ui/design/ShadowLayer.h"
#include "ui/design/ShapePath.h"
#include "ui/design/SoftShadow.h"

#include <QPainter>

SurfaceShape::SurfaceShape(QQuickItem *parent) : QQuickPaintedItem(parent)
{
    setAntialiasing(true);
}

SurfaceShape::~SurfaceShape() = default;

void SurfaceShape::setKind(Kind kind)
{
    if (m_kind == kind)
        return;
    m_kind = kind;
    update();
    updateShadow();
    emit kindChanged();
}

void SurfaceShape::setCornerRadius(qreal radius)
{
    if (qFuzzyCompare(m_cornerRadius, radius))
        return;
    m_cornerRadius = radius;
    update();
    updateShadow();
    emit cornerRadiusChanged();
}

void SurfaceShape::setColor(const QColor &color)
{
    if (m_color == color)
        return;
    m_color = color;
    update();
    emit colorChanged();
}

void SurfaceShape::setGradient(const DiagonalGradient &gradient)
{
    if (m_gradient == gradient)
        return;
    m_gradient = gradient;
    update();
    emit gradientChanged();
}

void SurfaceShape::setStrokeColor(const QColor &color)
{
    if (m_strokeColor == color)
        return;
    m_strokeColor = color;
    update();
    emit strokeColorChanged();
}

void SurfaceShape::setStrokeWidth(qreal width)
{
    if (qFuzzyCompare(m_strokeWidth, width))
        return;
    m_strokeWidth = width;
    update();
    emit strokeWidthChanged();
}

void SurfaceShape::setShadowColor(const QColor &color)
{
    if (m_shadowColor == color)
        return;
    m_shadowColor = color;
    updateShadow();
    emit shadowChanged();
}

void SurfaceShape::setShadowRadius(qreal radius)
{
    if (qFuzzyCompare(m_shadowRadius, radius))
        return;
    m_shadowRadius = radius;
    updateShadow();
    emit shadowChanged();
}

void SurfaceShape::setShadowOffset(QPointF offset)
{
    if (m_shadowOffset == offset)
        return;
    m_shadowOffset = offset;
    updateShadow();
    emit shadowChanged();
}

QPainterPath SurfaceShape::outline(QSizeF size) const
{
    return outline(QRectF(QPointF(), size), m_cornerRadius);
}

QPainterPath SurfaceShape::outline(const QRectF &bounds, qreal radius) const
{
    switch (m_kind) {
    case Capsule:
        return ShapePath::capsule(bounds);
    case Circle:
        return ShapePath::circle(bounds);
    case RoundedRectangle:
        break;
    }
    return ShapePath::roundedRectangle(bounds, radius);
}

void SurfaceShape::paint(QPainter *painter)
{
    const QRectF bounds(0, 0, width(), height());
    painter->setRenderHint(QPainter::Antialiasing);
    const QPainterPath shape = outline(bounds, m_cornerRadius);
    if (!m_gradient.isEmpty())
        painter->fillPath(shape, m_gradient.brush(bounds));
    else if (m_color.alpha() > 0)
        painter->fillPath(shape, m_color);

    if (m_strokeWidth > 0 && m_strokeColor.alpha() > 0) {
        // The stroke lies wholly inside the edge: the shape inset by half its width.
        const qreal inset = m_strokeWidth / 2;
        const QPainterPath inner = outline(
            bounds.adjusted(inset, inset, -inset, -inset), std::max<qreal>(m_cornerRadius - inset, 0));
        painter->strokePath(
            inner, QPen(m_strokeColor, m_strokeWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    }
}

void SurfaceShape::geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry)
{
    QQuickPaintedItem::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.size() != oldGeometry.size())
        updateShadow();
}

void SurfaceShape::updateShadow()
{
    if (m_shadowColor.alpha() == 0) {
        delete m_shadow;
        m_shadow = nullptr;
        return;
    }
    if (!m_shadow)
        m_shadow = new ShadowLayer(this);
    const qreal pad = SoftShadow::margin(m_shadowRadius);
    m_shadow->setPosition(m_shadowOffset - QPointF(pad, pad));
    m_shadow->setSize(size() + QSizeF(2 * pad, 2 * pad));
    m_shadow->setShadow(outline(size()), size(), m_shadowRadius, m_shadowColor);
}
