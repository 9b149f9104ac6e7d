#include "ui/design/SoftShadow.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

std::vector<float> gaussianKernel(qreal sigma)
{
    const int reach = std::max(1, static_cast<int>(std::ceil(3 * sigma)));
    std::vector<float> kernel(2 * reach + 1);
    float sum = 0;
    for (int i = -reach; i <= reach; ++i) {
        const float weight = static_cast<float>(std::exp(-(i * i) / (2 * sigma * sigma)));
        kernel[i + reach] = weight;
        sum += weight;
    }
    for (float &weight : kernel)
        weight /= sum;
    return kernel;
}

// One pass of the separable blur over a width x height plane; step is 1 for
// rows and width for columns.
void blurPass(const std::vector<float> &from, std::vector<float> &to, int width, int height, bool rows,
    const std::vector<float> &kernel)
{
    const int reach = static_cast<int>(kernel.size() / 2);
    const int lines = rows ? height : width;
    const int length = rows ? width : height;
    const int step = rows ? 1 : width;
    for (int line = 0; line < lines; ++line) {
        const int base = rows ? line * width : line;
        for (int i = 0; i < length; ++i) {
            float value = 0;
            const int first = std::max(0, i - reach), last = std::min(length - 1, i + reach);
            for (int j = first; j <= last; ++j)
                value += from[base + j * step] * kernel[j - i + reach];
            to[base + i * step] = value;
        }
    }
}

} // namespace

namespace SoftShadow {

qreal margin(qreal blurRadius)
{
    return std::ceil(1.5 * std::max<qreal>(blurRadius, 0)) + 1;
}

QImage render(
    const QPainterPath &path, QSizeF shapeSize, qreal blurRadius, QColor color, qreal devicePixelRatio)
{
    const qreal pad = margin(blurRadius);
    const QSize pixels = ((shapeSize + QSizeF(2 * pad, 2 * pad)) * devicePixelRatio).toSize();
    if (pixels.isEmpty())
        return {};

    QImage mask(pixels, QImage::Format_Alpha8);
    mask.fill(0);
    {
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(devicePixelRatio, devicePixelRatio);
        painter.translate(pad, pad);
        painter.fillPath(path, Qt::black);
    }

    const int width = pixels.width(), height = pixels.height();
    std::vector<float> plane(static_cast<size_t>(width) * height), scratch(plane.size());
    for (int y = 0; y < height; ++y) {
        const uchar *line = mask.constScanLine(y);
        for (int x = 0; x < width; ++x)
            plane[static_cast<size_t>(y) * width + x] = line[x] / 255.0f;
    }
    if (blurRadius > 0) {
        const std::vector<float> kernel = gaussianKernel(blurRadius / 2 * devicePixelRatio);
        blurPass(plane, scratch, width, height, true, kernel);
        blurPass(scratch, plane, width, height, false, kernel);
    }

    QImage shadow(pixels, QImage::Format_ARGB32_Premultiplied);
    const float alpha = color.alphaF();
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(shadow.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const float coverage = std::clamp(plane[static_cast<size_t>(y) * width + x] * alpha, 0.0f, 1.0f);
            line[x] = qPremultiply(qRgba(
                color.red(), color.green(), color.blue(), static_cast<int>(std::lround(coverage * 255))));
        }
    }
    shadow.setDevicePixelRatio(devicePixelRatio);
    return shadow;
}

} // namespace SoftShadow
