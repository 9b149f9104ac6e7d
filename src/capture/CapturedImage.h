#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Copied pictures on their way into the history, which keeps them as PNG.
namespace CapturedImage {

// Larger pictures are not captured: decoding one takes several times this
// much memory, and the history holds every capture whole.
inline constexpr qsizetype maxBytes = 64 * 1024 * 1024;
inline constexpr qint64 maxPixels = 40'000'000;

// What makes the picture too large to capture, as words for the log; none
// when it is within both bounds. Reads only the picture's header.
std::optional<QString> sizeProblem(const QByteArray &bytes);

// The picture (any format Qt decodes) encoded as PNG; none when it cannot be
// decoded. Slow for large pictures: call it on a worker thread.
std::optional<QByteArray> toPng(const QByteArray &bytes);

} // namespace CapturedImage
