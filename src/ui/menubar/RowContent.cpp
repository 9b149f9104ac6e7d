#include "ui/menubar/RowContent.h"

#include "base/Utf8Text.h"
#include "capture/CapturedImage.h"

#include <algorithm>

namespace RowContent {

QImage downscaledThumbnail(const QImage &image, QSize bounds)
{
    if (image.width() <= 0 || image.height() <= 0)
        return image;
    const double scale
        = std::min({double(bounds.width()) / image.width(), double(bounds.height()) / image.height(), 1.0});
    if (scale == 1.0)
        return image;
    const QSize size(std::max(1, qRound(image.width() * scale)), std::max(1, qRound(image.height() * scale)));
    // Scaled smoothly, a picture with a colour table stays one, dithered to
    // black and white.
    const QImage source = image.colorCount() == 0
        ? image
        : image.convertToFormat(
            image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    return source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

std::optional<QImage> thumbnail(const QByteArray &encodedImage)
{
    // The reader of capture and paste: restored bytes never pick the decoder.
    const std::expected<QImage, CapturedImageError> image = CapturedImage::read(encodedImage);
    if (!image)
        return std::nullopt;
    return downscaledThumbnail(*image);
}

QList<TextTransform> transforms(const QByteArray &utf8Text)
{
    const std::optional<QString> text = Utf8Text::decode(utf8Text);
    return text ? TextTransform::applicableTransforms(*text) : QList<TextTransform>();
}

} // namespace RowContent
