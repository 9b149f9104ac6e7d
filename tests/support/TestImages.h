#pragma once

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
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

// One line in the font and size given, margins of the size around it.
inline QImage textLinePicture(const QString &text, const QString &family, int pixelSize)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    QImage image(
        QFontMetrics(font).horizontalAdvance(text) + 2 * pixelSize, 3 * pixelSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(pixelSize, 2 * pixelSize, text);
    painter.end();
    return image;
}
