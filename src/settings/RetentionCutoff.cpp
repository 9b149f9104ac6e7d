#include "settings/RetentionCutoff.h"

#include <algorithm>

QDateTime retentionCutoff(const QDateTime &now, qint64 hours)
{
    // Absurd stored values would overflow; a cutoff thousands of years back
    // already keeps everything.
    constexpr qint64 maxHours = 24 * 366 * 10'000;
    return now.addSecs(-std::min(hours, maxHours) * 3600);
}
