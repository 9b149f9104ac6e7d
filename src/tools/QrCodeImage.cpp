#include "tools/QrCodeImage.h"

#include <qrencode.h>

#include <cstring>
#include <limits>
#include <memory>

namespace {

constexpr int quietZone = 4;

struct FreeQRcode {
    void operator()(QRcode *code) const { QRcode_free(code); }
};

} // namespace

std::optional<QImage> qrCodeImage(const QString &text, int scale)
{
    if (scale < 1)
        return std::nullopt;
    const QByteArray bytes = text.toUtf8();
    if (bytes.isEmpty() || bytes.size() > std::numeric_limits<int>::max())
        return std::nullopt;
    const std::unique_ptr<QRcode, FreeQRcode> code(QRcode_encodeData(
        int(bytes.size()), reinterpret_cast<const unsigned char *>(bytes.constData()), 0, QR_ECLEVEL_M));
    if (!code)
        return std::nullopt;

    const int modules = code->width + 2 * quietZone;
    if (modules > std::numeric_limits<int>::max() / scale)
        return std::nullopt;
    QImage image(modules * scale, modules * scale, QImage::Format_Grayscale8);
    if (image.isNull())
        return std::nullopt;
    image.fill(Qt::white);
    for (int y = 0; y < code->width; ++y) {
        for (int x = 0; x < code->width; ++x) {
            // Bit 0 of each module's byte says dark.
            if ((code->data[y * code->width + x] & 1) == 0)
                continue;
            for (int row = 0; row < scale; ++row) {
                uchar *line = image.scanLine((y + quietZone) * scale + row);
                std::memset(line + (x + quietZone) * scale, 0, size_t(scale));
            }
        }
    }
    return image;
}
