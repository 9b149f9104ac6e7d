#include "settings/SettingDuration.h"

#include <algorithm>

namespace SettingDuration {

qint64 seconds(qint64 count, std::chrono::seconds unit)
{
    constexpr qint64 maxSeconds = qint64(10'000) * 366 * 24 * 3600;
    const qint64 maxCount = maxSeconds / unit.count();
    return std::clamp(count, -maxCount, maxCount) * unit.count();
}

} // namespace SettingDuration
