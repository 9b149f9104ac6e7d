#include "capture/CapturedImage.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>

using namespace Qt::StringLiterals;

namespace CapturedImage {

namespace {

// The decoder for bytes, by signature; empty for anything else.
QByteArray formatOf(const QByteArray &bytes)
{
    if (bytes.startsWith("\x89PNG\r\n\x1a\n"_ba))
        return "png"_ba;
    if (bytes.startsWith("II*\0"_ba) || bytes.startsWith("MM\0*"_ba))
        return "tiff"_ba;
    return {};
}

} // namespace

std::optional<CapturedImageError> checkHeader(const QByteArray &bytes)
{
    if (bytes.size() > maxBytes)
        return CapturedImageError {
            CapturedImageError::Code::tooLarge, QString::number(bytes.size()) + u" bytes"_s};
    const QByteArray format = formatOf(bytes);
    if (format.isEmpty())
        return CapturedImageError {CapturedImageError::Code::unsupportedFormat};
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > maxPixels)
        return CapturedImageError {
            CapturedImageError::Code::tooLarge, u"%1×%2 pixels"_s.arg(size.width()).arg(size.height())};
    return std::nullopt;
}

std::expected<QImage, CapturedImageError> read(const QByteArray &bytes)
{
    if (const std::optional<CapturedImageError> error = checkHeader(bytes))
        return std::unexpected(*error);
    QBuffer source;
    source.setData(bytes);
    QImageReader reader(&source, formatOf(bytes));
    reader.setAutoDetectImageFormat(false);
    QImage image = reader.read();
    if (image.isNull())
        return std::unexpected(CapturedImageError {CapturedImageError::Code::undecodable});
    return image;
}

std::expected<QByteArray, CapturedImageError> toPng(const QByteArray &bytes)
{
    const std::expected<QImage, CapturedImageError> image = read(bytes);
    if (!image)
        return std::unexpected(image.error());
    QByteArray png;
    QBuffer target(&png);
    target.open(QIODevice::WriteOnly);
    QImageWriter writer(&target, "png");
    if (!writer.write(*image))
        return std::unexpected(CapturedImageError {CapturedImageError::Code::undecodable});
    return png;
}

} // namespace CapturedImage
