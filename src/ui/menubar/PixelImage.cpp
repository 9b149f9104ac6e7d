#include "ui/menubar/PixelImage.h"

#include <QPainter>

PixelImage::PixelImage(QQuickItem *parent) : QQuickPaintedItem(parent)
{
    setAntialiasing(false);
}

void PixelImage::setImage(const QImage &image)
{
    m_image = image;
    emit imageChanged();
    update();
}

void PixelImage::paint(QPainter *painter)
{
    if (m_image.isNull())
        return;
    painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter->drawImage(boundingRect(), m_image);
}
