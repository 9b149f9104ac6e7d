#pragma once

#include <QDateTime>

// Dates are stored and exchanged as seconds since 1970 (a double; the
// fraction carries the milliseconds).
namespace DateCoding {

double toSeconds(const QDateTime &date);

// Invalid for NaN, infinities and values outside QDateTime's range.
QDateTime fromSeconds(double seconds);

} // namespace DateCoding
