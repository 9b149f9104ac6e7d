#include "ui/menubar/MenuIcons.h"

#include "ui/design/DesignTokens.h"
#include "ui/design/SymbolImage.h"
#include "ui/design/Symbols.h"

#include <QApplication>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>

using namespace Qt::StringLiterals;

namespace MenuIcons {

namespace {

constexpr int smallSymbolPoints = 13;

QPixmap pixmap(const QImage &image, qreal ratio)
{
    QPixmap made = QPixmap::fromImage(image);
    made.setDevicePixelRatio(ratio);
    return made;
}

QImage onTile(const QString &path, QSize pixels)
{
    QImage tile(pixels, QImage::Format_ARGB32_Premultiplied);
    tile.fill(Qt::transparent);
    QPainter painter(&tile);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds {QPointF(), QSizeF(pixels)};
    QPainterPath shape;
    const qreal radius = bounds.width() * 0.22;
    shape.addRoundedRect(bounds, radius, radius);
    painter.fillPath(shape, DesignTokens::brand().brush(bounds));
    const QSize inner = pixels * 0.72;
    const QPoint corner((pixels.width() - inner.width()) / 2, (pixels.height() - inner.height()) / 2);
    painter.drawImage(corner, SymbolImage::render(path, inner, Qt::white));
    return tile;
}

} // namespace

QIcon symbol(const QString &name, bool small, Tint tint)
{
    if (name.isEmpty())
        return {};
    const QPalette palette = QApplication::palette("QMenu");
    const QColor normal = tint == Tint::danger ? DesignTokens::danger() : palette.color(QPalette::Text);
    const QColor selected = palette.color(QPalette::HighlightedText);
    const qreal ratio = qApp->devicePixelRatio();
    const QString key
        = u"%1|%2|%3|%4|%5"_s.arg(name).arg(small).arg(normal.rgba()).arg(selected.rgba()).arg(ratio);
    static QHash<QString, QIcon> cache;
    if (const auto found = cache.constFind(key); found != cache.cend())
        return *found;

    QIcon made;
    if (const QString path = Symbols::resourcePath(name); !path.isEmpty()) {
        const int points = small ? smallSymbolPoints : qApp->style()->pixelMetric(QStyle::PM_SmallIconSize);
        const QSize pixels = QSize(points, points) * ratio;
        // The highlighted row draws its icon in the Active mode.
        made.addPixmap(pixmap(SymbolImage::render(path, pixels, normal), ratio), QIcon::Normal);
        made.addPixmap(pixmap(SymbolImage::render(path, pixels, selected), ratio), QIcon::Active);
        const QPixmap on = pixmap(onTile(path, pixels), ratio);
        made.addPixmap(on, QIcon::Normal, QIcon::On);
        made.addPixmap(on, QIcon::Active, QIcon::On);
    }
    cache.insert(key, made);
    return made;
}

} // namespace MenuIcons
