#pragma once

#include <QObject>

// Qt, or Xlib beneath it, ends the process with exit() when the connection
// to the X server breaks: the event loop never returns and nothing shuts
// down. The warning Qt writes just before, or Xlib's I/O error handler, is
// the last moment the application still runs; this turns it into a signal,
// so the shutdown can run in order. One at a time.
class X11ConnectionLoss final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(X11ConnectionLoss)

public:
    explicit X11ConnectionLoss(QObject *parent = nullptr);
    ~X11ConnectionLoss() override;

signals:
    // On the main thread; the process exits once the slots return.
    void lost();
};
