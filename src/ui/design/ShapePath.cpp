#include "ui/design/ShapePath.h"

#include <algorithm>
#include <array>

namespace {

// How far along each edge a continuous corner reaches, in units of its radius.
constexpr qreal continuousReach = 1.52866483;

struct CornerPoint {
    qreal along; // back along the incoming edge
    qreal across; // forward along the outgoing edge
};

// One corner of the continuous outline: a line end, then three cubic curves
// (control, control, end) with a short straight piece between the first two.
constexpr CornerPoint cornerStart {continuousReach, 0};
constexpr std::array<CornerPoint, 3> firstCurve {
    {{1.08849323, 0}, {0.86840689, 0}, {0.66993427, 0.06549600}}};
constexpr CornerPoint joint {0.63149399, 0.07491100};
constexpr std::array<CornerPoint, 3> middleCurve {
    {{0.37282392, 0.16905899}, {0.16906013, 0.37282401}, {0.07491176, 0.63149399}}};
constexpr std::array<CornerPoint, 3> lastCurve {{{0, 0.86840701}, {0, 1.08849299}, {0, continuousReach}}};

void addCorner(QPainterPath &path, QPointF corner, QPointF back, QPointF forward, qreal radius)
{
    const auto at = [&](CornerPoint p) { return corner + radius * (p.along * back + p.across * forward); };
    path.lineTo(at(cornerStart));
    path.cubicTo(at(firstCurve[0]), at(firstCurve[1]), at(firstCurve[2]));
    path.lineTo(at(joint));
    path.cubicTo(at(middleCurve[0]), at(middleCurve[1]), at(middleCurve[2]));
    path.cubicTo(at(lastCurve[0]), at(lastCurve[1]), at(lastCurve[2]));
}

} // namespace

namespace ShapePath {

QPainterPath roundedRectangle(const QRectF &bounds, qreal radius)
{
    QPainterPath path;
    if (bounds.isEmpty())
        return path;
    const qreal half = std::min(bounds.width(), bounds.height()) / 2;
    radius = std::max<qreal>(radius, 0);
    if (radius >= half)
        return capsule(bounds);
    if (radius * continuousReach > half) {
        path.addRoundedRect(bounds, radius, radius);
        return path;
    }
    const QPointF left(-1, 0), right(1, 0), up(0, -1), down(0, 1);
    path.moveTo(bounds.left() + continuousReach * radius, bounds.top());
    addCorner(path, bounds.topRight(), left, down, radius);
    addCorner(path, bounds.bottomRight(), up, left, radius);
    addCorner(path, bounds.bottomLeft(), right, up, radius);
    addCorner(path, bounds.topLeft(), down, right, radius);
    path.closeSubpath();
    return path;
}

QPainterPath capsule(const QRectF &bounds)
{
    QPainterPath path;
    const qreal radius = std::min(bounds.width(), bounds.height()) / 2;
    path.addRoundedRect(bounds, radius, radius);
    return path;
}

QPainterPath circle(const QRectF &bounds)
{
    QPainterPath path;
    const qreal diameter = std::min(bounds.width(), bounds.height());
    QRectF square(0, 0, diameter, diameter);
    square.moveCenter(bounds.center());
    path.addEllipse(square);
    return path;
}

} // namespace ShapePath
