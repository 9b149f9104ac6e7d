#pragma once

#include <QIcon>
#include <QQuickPaintedItem>
#include <QtQmlIntegration>

// An application's own icon, from the desktop's icon theme or an image file,
// filling the item.
class ApplicationIcon : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT
    // A theme icon name or an absolute image path.
    Q_PROPERTY(QString source READ source WRITE setSource NOTIFY sourceChanged)
    // False when the source names no image.
    Q_PROPERTY(bool valid READ isValid NOTIFY sourceChanged)

public:
    explicit ApplicationIcon(QQuickItem *parent = nullptr);

    QString source() const { return m_source; }
    void setSource(const QString &source);
    bool isValid() const { return !m_icon.isNull(); }

    void paint(QPainter *painter) override;

signals:
    void sourceChanged();

private:
    QString m_source;
    QIcon m_icon;
};
