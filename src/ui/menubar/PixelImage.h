#pragma once

#include <QImage>
#include <QQuickPaintedItem>
#include <QtQmlIntegration>

// An image stretched over the item without smoothing, so each source pixel
// stays a sharp square (a QR code's modules). Not final: QML makes it
// through a subclass of its own.
class PixelImage : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QImage image READ image WRITE setImage NOTIFY imageChanged)

public:
    explicit PixelImage(QQuickItem *parent = nullptr);

    QImage image() const { return m_image; }
    void setImage(const QImage &image);

    void paint(QPainter *painter) override;

signals:
    void imageChanged();

private:
    QImage m_image;
};
