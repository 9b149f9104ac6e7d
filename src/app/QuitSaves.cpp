#include "app/QuitSaves.h"

#include "base/WhenFinished.h"

#include <QTimer>

#include <memory>
#include <utility>

QuitSaves::Answer QuitSaves::answer() const
{
    bool missing = false;
    for (const QFuture<Result> &save : m_saves) {
        // A future that ended without a result is a save nobody will answer.
        if (!save.isFinished() || save.resultCount() == 0) {
            missing = true;
            continue;
        }
        if (const Result result = save.result(); !result)
            return result;
    }
    if (missing)
        return std::nullopt;
    return Result();
}

void QuitSaves::whenAnswered(
    QObject *context, std::chrono::milliseconds bound, std::function<void(const Answer &)> answered) const
{
    // Whichever comes first, the answer or the bound, ends the wait.
    auto pending = std::make_shared<std::function<void(const Answer &)>>(std::move(answered));
    const auto deliver = [pending](const Answer &answer) {
        if (*pending)
            std::exchange(*pending, {})(answer);
    };
    if (const Answer now = answer()) {
        deliver(now);
        return;
    }
    for (const QFuture<Result> &save : m_saves) {
        whenFinished(context, save, [saves = *this, deliver](const Result &) {
            if (const Answer now = saves.answer())
                deliver(now);
        });
    }
    QTimer::singleShot(bound, context, [deliver] { deliver(std::nullopt); });
}
