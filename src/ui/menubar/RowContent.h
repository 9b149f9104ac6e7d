#pragma once

#include "tools/TextTransform.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QSize>

#include <optional>

// What a history row makes of an entry's opened content: its thumbnail and
// the transforms it offers. Safe on any thread; the row runs them off the
// main thread.
namespace RowContent {

inline constexpr QSize thumbnailBounds {160, 40};
// The largest sealed text content whose transforms a row looks for.
inline constexpr qint64 transformsSealedLimit = 256'000;

// The image fitted into bounds, keeping its aspect ratio and never enlarged;
// an image without area as it is.
QImage downscaledThumbnail(const QImage &image, QSize bounds = thumbnailBounds);
// None unless the bytes are a PNG or TIFF picture that capture would take.
std::optional<QImage> thumbnail(const QByteArray &encodedImage);
// None for bytes that are not UTF-8.
QList<TextTransform> transforms(const QByteArray &utf8Text);

} // namespace RowContent
