#include "ui/menubar/TrayIconImage.h"

#include "ui/design/SymbolImage.h"
#include "ui/design/Symbols.h"

#include <QPainter>

#include <array>

namespace TrayIconImage {

namespace {

// Room for the halo around the symbol, in pixels.
constexpr int haloWidth = 1;

QImage placeholder(const QColor &color)
{
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color, 2.5));
    painter.drawRoundedRect(QRectF(7, 5, 18, 23), 3, 3);
    painter.setBrush(color);
    painter.drawRoundedRect(QRectF(11.5, 3, 9, 5), 1.5, 1.5);
    return image;
}

QImage glyph(const QString &symbol, const QColor &color)
{
    const QString path = Symbols::resourcePath(symbol);
    const int inner = pixels - 2 * haloWidth;
    QImage drawn = path.isEmpty() ? QImage() : SymbolImage::render(path, {inner, inner}, color);
    if (drawn.isNull())
        return placeholder(color);
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter(&image).drawImage(haloWidth, haloWidth, drawn);
    return image;
}

} // namespace

QImage make(const QString &symbol, const QPalette &palette)
{
    const QImage halo = glyph(symbol, palette.color(QPalette::Window));
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    constexpr std::array<QPoint, 8> around {
        {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}}};
    for (int reach = 1; reach <= haloWidth; ++reach) {
        for (const QPoint step : around)
            painter.drawImage(step * reach, halo);
    }
    painter.drawImage(0, 0, glyph(symbol, palette.color(QPalette::WindowText)));
    return image;
}

} // namespace TrayIconImage
