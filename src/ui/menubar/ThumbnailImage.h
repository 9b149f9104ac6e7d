#pragma once

#include <QImage>
#include <QQuickPaintedItem>
#include <QtQmlIntegration>

// A picture made in C++ (a row's thumbnail), drawn into the item's whole
// rectangle with rounded corners; its implicit size is the picture's.
class ThumbnailImage : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QImage image READ image WRITE setImage NOTIFY imageChanged)
    Q_PROPERTY(qreal cornerRadius MEMBER m_cornerRadius NOTIFY imageChanged)

public:
    explicit ThumbnailImage(QQuickItem *parent = nullptr);

    QImage image() const { return m_image; }
    void setImage(const QImage &image);

    void paint(QPainter *painter) override;

signals:
    void imageChanged();

private:
    QImage m_image;
    qreal m_cornerRadius = 0;
};
