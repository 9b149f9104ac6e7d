#pragma once

#include <QPainterPath>
#include <QRectF>

// Outlines of the design's surfaces.
namespace ShapePath {

// A rounded rectangle with continuous ("squircle") corners: the curvature
// grows smoothly from the straight edge instead of jumping onto a circular
// arc. When the bounds are too small for the smooth corner the corner becomes
// circular, and a radius of half the shorter side or more gives a capsule.
QPainterPath roundedRectangle(const QRectF &bounds, qreal radius);

// Fully rounded ends on the shorter side.
QPainterPath capsule(const QRectF &bounds);

// The largest circle centred in the bounds.
QPainterPath circle(const QRectF &bounds);

} // namespace ShapePath
