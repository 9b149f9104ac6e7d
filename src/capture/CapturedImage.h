#pragma once

#include "capture/CapturedImageError.h"

#include <QByteArray>
#include <QImage>

#include <expected>
#include <optional>

// Copied pictures on their way into the history, which keeps them as PNG,
// and stored pictures on their way back out.
namespace CapturedImage {

// Larger pictures are not captured: decoding one takes several times this
// much memory, and the history holds every capture whole.
inline constexpr qsizetype maxBytes = 64 * 1024 * 1024;
inline constexpr qint64 maxPixels = 40'000'000;

// Why the picture is not captured, judged by its signature and header
// alone; none when it may be converted. Only PNG and TIFF are taken, each
// read by its own decoder: the data never picks the decoder.
std::optional<CapturedImageError> checkHeader(const QByteArray &bytes);

// The picture decoded, once it passes checkHeader.
std::expected<QImage, CapturedImageError> read(const QByteArray &bytes);

// The picture encoded as PNG, once it passes checkHeader. Slow for large
// pictures: call it on a worker thread.
std::expected<QByteArray, CapturedImageError> toPng(const QByteArray &bytes);

} // namespace CapturedImage
