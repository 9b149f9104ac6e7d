#include "base/Clock.h"

#include <ctime>

namespace {

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTimeUtc(); }

    std::chrono::milliseconds elapsed() const override
    {
        timespec boot {};
        clock_gettime(CLOCK_BOOTTIME, &boot);
        return std::chrono::seconds(boot.tv_sec)
            + std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::nanoseconds(boot.tv_nsec));
    }
};

} // namespace

const Clock &Clock::system()
{
    static const SystemClock clock;
    return clock;
}
