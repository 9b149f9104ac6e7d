#pragma once

#include "ui/design/DiagonalGradient.h"

#include <QColor>
#include <QImage>
#include <QQuickPaintedItem>
#include <QtQmlIntegration>

// A symbol named as in the views (for example "magnifyingglass"), drawn in one
// colour, or filled with a gradient when one is set, in a square of
// pointSize. A name without an image draws nothing and takes no room.
class SymbolImage : public QQuickPaintedItem {
    Q_OBJECT
    QML_NAMED_ELEMENT(Symbol)
    Q_PROPERTY(QString name READ name WRITE setName NOTIFY nameChanged)
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(DiagonalGradient gradient READ gradient WRITE setGradient NOTIFY gradientChanged)
    Q_PROPERTY(qreal pointSize READ pointSize WRITE setPointSize NOTIFY pointSizeChanged)
    Q_PROPERTY(bool valid READ isValid NOTIFY nameChanged)

public:
    explicit SymbolImage(QQuickItem *parent = nullptr);

    QString name() const { return m_name; }
    void setName(const QString &name);
    QColor color() const { return m_color; }
    void setColor(const QColor &color);
    DiagonalGradient gradient() const { return m_gradient; }
    void setGradient(const DiagonalGradient &gradient);
    qreal pointSize() const { return m_pointSize; }
    void setPointSize(qreal size);
    bool isValid() const { return !m_path.isEmpty(); }

    // The symbol filled with fill (a colour, or a brush laid over the whole
    // image) on a transparent image of the given pixel size, centred and
    // keeping its aspect ratio; a null image when unknown.
    static QImage render(const QString &resourcePath, QSize pixels, const QBrush &fill);

    void paint(QPainter *painter) override;

signals:
    void nameChanged();
    void colorChanged();
    void gradientChanged();
    void pointSizeChanged();

private:
    void updateImplicitSize();

    QString m_name;
    QString m_path;
    QColor m_color = Qt::black;
    DiagonalGradient m_gradient;
    qreal m_pointSize = 13;
    QImage m_image;
};
