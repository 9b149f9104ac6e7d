#pragma once

#include <QFuture>
#include <QPromise>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <type_traits>

// Runs tasks one at a time on its own thread, in the order they were
// submitted. Submitting is synchronous, so two tasks submitted one after the
// other from any thread run in that order. Destruction runs what is still
// queued, then joins the thread.
class SerialExecutor final {
    Q_DISABLE_COPY(SerialExecutor)

public:
    SerialExecutor();
    ~SerialExecutor();

    template<class Function> auto run(Function function) -> QFuture<std::invoke_result_t<Function>>
    {
        using Result = std::invoke_result_t<Function>;
        QPromise<Result> promise;
        QFuture<Result> future = promise.future();
        promise.start();
        submit([promise = std::move(promise), function = std::move(function)]() mutable {
            if constexpr (std::is_void_v<Result>)
                function();
            else
                promise.addResult(function());
            promise.finish();
        });
        return future;
    }

private:
    void submit(std::move_only_function<void()> task);
    void loop();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::move_only_function<void()>> m_queue;
    bool m_stopping = false;
    std::thread m_thread;
};
