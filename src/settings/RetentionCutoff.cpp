#include "settings/RetentionCutoff.h"

#include "settings/SettingDuration.h"

QDateTime retentionCutoff(const QDateTime &now, qint64 hours)
{
    return now.addSecs(-SettingDuration::seconds(hours, std::chrono::hours(1)));
}
