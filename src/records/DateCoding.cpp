#include "records/DateCoding.h"

#include <cmath>

double DateCoding::toSeconds(const QDateTime &date)
{
    return static_cast<double>(date.toMSecsSinceEpoch()) / 1000.0;
}

QDateTime DateCoding::fromSeconds(double seconds)
{
    // Far beyond any real date, yet well inside qint64 milliseconds.
    constexpr double limit = 1e14;
    if (!std::isfinite(seconds) || std::fabs(seconds) > limit)
        return {};
    return QDateTime::fromMSecsSinceEpoch(std::llround(seconds * 1000.0), Qt::UTC);
}
