#pragma once

#include "ui/design/DiagonalGradient.h"

#include <QColor>
#include <QPointF>
#include <QQuickPaintedItem>
#include <QtQmlIntegration>

class ShadowLayer;

// The painted surface every component is built on: a rounded rectangle with
// continuous corners, a capsule or a circle, filled with a colour or a
// gradient, stroked inside its edge, optionally casting a soft shadow. It is
// painted on the CPU, so it looks the same on every scene-graph backend.
class SurfaceShape : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(Kind kind READ kind WRITE setKind NOTIFY kindChanged)
    Q_PROPERTY(qreal cornerRadius READ cornerRadius WRITE setCornerRadius NOTIFY cornerRadiusChanged)
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(DiagonalGradient gradient READ gradient WRITE setGradient NOTIFY gradientChanged)
    Q_PROPERTY(QColor strokeColor READ strokeColor WRITE setStrokeColor NOTIFY strokeColorChanged)
    Q_PROPERTY(qreal strokeWidth READ strokeWidth WRITE setStrokeWidth NOTIFY strokeWidthChanged)
    Q_PROPERTY(QColor shadowColor READ shadowColor WRITE setShadowColor NOTIFY shadowChanged)
    Q_PROPERTY(qreal shadowRadius READ shadowRadius WRITE setShadowRadius NOTIFY shadowChanged)
    Q_PROPERTY(QPointF shadowOffset READ shadowOffset WRITE setShadowOffset NOTIFY shadowChanged)

public:
    enum Kind { RoundedRectangle, Capsule, Circle };
    Q_ENUM(Kind)

    explicit SurfaceShape(QQuickItem *parent = nullptr);
    ~SurfaceShape() override;

    Kind kind() const { return m_kind; }
    void setKind(Kind kind);
    qreal cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(qreal radius);
    QColor color() const { return m_color; }
    void setColor(const QColor &color);
    DiagonalGradient gradient() const { return m_gradient; }
    void setGradient(const DiagonalGradient &gradient);
    QColor strokeColor() const { return m_strokeColor; }
    void setStrokeColor(const QColor &color);
    qreal strokeWidth() const { return m_strokeWidth; }
    void setStrokeWidth(qreal width);
    QColor shadowColor() const { return m_shadowColor; }
    void setShadowColor(const QColor &color);
    qreal shadowRadius() const { return m_shadowRadius; }
    void setShadowRadius(qreal radius);
    QPointF shadowOffset() const { return m_shadowOffset; }
    void setShadowOffset(QPointF offset);

    // The outline in a frame of the given size.
    QPainterPath outline(QSizeF size) const;

    // The shadow's item while a visible shadow is set, for tests.
    const ShadowLayer *shadowLayer() const { return m_shadow; }

    void paint(QPainter *painter) override;

signals:
    void kindChanged();
    void cornerRadiusChanged();
    void colorChanged();
    void gradientChanged();
    void strokeColorChanged();
    void strokeWidthChanged();
    void shadowChanged();

protected:
    void geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry) override;

private:
    QPainterPath outline(const QRectF &bounds, qreal radius) const;
    void updateShadow();

    Kind m_kind = RoundedRectangle;
    qreal m_cornerRadius = 0;
    QColor m_color = Qt::transparent;
    DiagonalGradient m_gradient;
    QColor m_strokeColor = Qt::transparent;
    qreal m_strokeWidth = 0;
    QColor m_shadowColor = Qt::transparent;
    qreal m_shadowRadius = 0;
    QPointF m_shadowOffset;
    ShadowLayer *m_shadow = nullptr;
};
