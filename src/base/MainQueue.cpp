#include "base/MainQueue.h"

#include <QTimer>

namespace {

class TimerQueue final : public MainQueue {
public:
    void after(std::chrono::milliseconds delay, QObject *context, std::function<void()> work) override
    {
        QTimer::singleShot(delay, Qt::PreciseTimer, context, std::move(work));
    }
};

} // namespace

MainQueue &MainQueue::system()
{
    static TimerQueue queue;
    return queue;
}
