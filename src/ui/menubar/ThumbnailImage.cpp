#include "ui/menubar/ThumbnailImage.h"

#include <QPainter>
#include <QPainterPath>

ThumbnailImage::ThumbnailImage(QQuickItem *parent) : QQuickPaintedItem(parent)
{
}

void ThumbnailImage::setImage(const QImage &image)
{
    m_image = image;
    setImplicitSize(image.deviceIndependentSize().width(), image.deviceIndependentSize().height());
    update();
    emit imageChanged();
}

void ThumbnailImage::paint(QPainter *painter)
{
    if (m_image.isNull())
        return;
    painter->setRenderHints(QPainter::SmoothPixmapTransform | QPainter::Antialiasing);
    QPainterPath clip;
    clip.addRoundedRect(boundingRect(), m_cornerRadius, m_cornerRadius);
    painter->setClipPath(clip);
    painter->drawImage(boundingRect(), m_image);
}
