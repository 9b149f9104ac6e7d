#include "ui/design/SymbolImage.h"

#include "ui/design/Symbols.h"

#include <QPainter>
#include <QQuickWindow>
#include <QSvgRenderer>

SymbolImage::SymbolImage(QQuickItem *parent) : QQuickPaintedItem(parent)
{
    setAntialiasing(true);
    updateImplicitSize();
}

void SymbolImage::setName(const QString &name)
{
    if (m_name == name)
        return;
    m_name = name;
    m_path = Symbols::resourcePath(name);
    m_image = QImage();
    updateImplicitSize();
    update();
    emit nameChanged();
}

void SymbolImage::setColor(const QColor &color)
{
    if (m_color == color)
        return;
    m_color = color;
    m_image = QImage();
    update();
    emit colorChanged();
}

void SymbolImage::setGradient(const DiagonalGradient &gradient)
{
    if (m_gradient == gradient)
        return;
    m_gradient = gradient;
    m_image = QImage();
    update();
    emit gradientChanged();
}

void SymbolImage::setPointSize(qreal size)
{
    if (qFuzzyCompare(m_pointSize, size))
        return;
    m_pointSize = size;
    updateImplicitSize();
    emit pointSizeChanged();
}

void SymbolImage::updateImplicitSize()
{
    const qreal side = isValid() ? m_pointSize : 0;
    setImplicitSize(side, side);
}

QImage SymbolImage::render(const QString &resourcePath, QSize pixels, const QBrush &fill)
{
    QSvgRenderer svg(resourcePath);
    if (!svg.isValid() || pixels.isEmpty())
        return {};
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QSizeF fitted = svg.viewBoxF().size().scaled(QSizeF(pixels), Qt::KeepAspectRatio);
    QRectF target(QPointF(), fitted);
    target.moveCenter(QRectF(QPointF(), QSizeF(pixels)).center());
    svg.render(&painter, target);
    // Only the shape of the artwork counts: the fill replaces its colours.
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), fill);
    return image;
}

void SymbolImage::paint(QPainter *painter)
{
    if (!isValid())
        return;
    const qreal ratio = window() ? window()->effectiveDevicePixelRatio() : 1.0;
    const QSize pixels = (size() * ratio).toSize();
    if (m_image.size() != pixels) {
        const QBrush fill
            = m_gradient.isEmpty() ? QBrush(m_color) : m_gradient.brush(QRectF(QPointF(), QSizeF(pixels)));
        m_image = render(m_path, pixels, fill);
        m_image.setDevicePixelRatio(ratio);
    }
    painter->drawImage(QPointF(0, 0), m_image);
}
