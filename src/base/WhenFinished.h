#pragma once

#include <QFuture>
#include <QFutureWatcher>
#include <QObject>

#include <type_traits>

// Runs handler on context's thread once future has finished, with its result
// (none for a void future); never once context is gone, nor for a future that
// ended without a result. QFuture::then with a context that is destroyed
// first is not safe in Qt 6.4.
template<class T, class Handler> void whenFinished(QObject *context, QFuture<T> future, Handler handler)
{
    auto *watcher = new QFutureWatcher<T>(context);
    QObject::connect(
        watcher, &QFutureWatcherBase::finished, context, [watcher, handler = std::move(handler)]() mutable {
            watcher->deleteLater();
            if constexpr (std::is_void_v<T>)
                handler();
            else if (watcher->future().resultCount() > 0)
                handler(watcher->future().result());
        });
    watcher->setFuture(future);
}
