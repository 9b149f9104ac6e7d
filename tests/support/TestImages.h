#pragma once

#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QStringList>

inline QByteArray encodedImage(const QImage &image, const char *format = "PNG")
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// Large dark lines on white, 900 pixels wide, for the text recognizer.
inline QImage textPicture(int height, const QStringList &lines)
{
    QImage image(900, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(64);
    painter.setFont(font);
    for (int i = 0; i < lines.size(); ++i)
        painter.drawText(40, 120 + 110 * i, lines.at(i));
    painter.end();
    return image;
}
