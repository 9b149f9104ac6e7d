#include "capture/CapturedImage.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>

using namespace Qt::StringLiterals;

namespace CapturedImage {

std::optional<QString> sizeProblem(const QByteArray &bytes)
{
    if (bytes.size() > maxBytes)
        return QString::number(bytes.size()) + u" bytes"_s;
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > maxPixels)
        return u"%1×%2 pixels"_s.arg(size.width()).arg(size.height());
    return std::nullopt;
}

std::optional<QByteArray> toPng(const QByteArray &bytes)
{
    QBuffer source;
    source.setData(bytes);
    QImageReader reader(&source);
    const QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    QByteArray png;
    QBuffer target(&png);
    target.open(QIODevice::WriteOnly);
    QImageWriter writer(&target, "png");
    if (!writer.write(image))
        return std::nullopt;
    return png;
}

} // namespace CapturedImage
