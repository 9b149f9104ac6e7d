#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>

// The blurred silhouette of a shape, as drawn under raised surfaces. Shader
// effects draw nothing on the software renderer, so the blur is computed on
// the CPU once and the image kept by its user.
namespace SoftShadow {

// Margin the blur spreads beyond the shape, in device-independent pixels.
qreal margin(qreal blurRadius);

// The silhouette of path (in a frame of size shapeSize) in color, blurred by
// blurRadius (a Gaussian of standard deviation blurRadius / 2), on an image
// margin(blurRadius) larger than shapeSize on every side.
QImage render(
    const QPainterPath &path, QSizeF shapeSize, qreal blurRadius, QColor color, qreal devicePixelRatio);

} // namespace SoftShadow
