#pragma once

#include <QEventLoop>
#include <QFuture>
#include <QFutureWatcher>

// Waits for a future while the event loop runs, so continuations that go
// through the main thread can finish it; returns its result.
template<class T> T awaitFuture(QFuture<T> future)
{
    if (!future.isFinished()) {
        QEventLoop loop;
        QFutureWatcher<T> watcher;
        QObject::connect(&watcher, &QFutureWatcher<T>::finished, &loop, &QEventLoop::quit);
        watcher.setFuture(future);
        if (!future.isFinished())
            loop.exec();
    }
    if constexpr (!std::is_void_v<T>)
        return future.result();
}
