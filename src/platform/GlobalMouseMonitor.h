#pragma once

#include <QObject>

// Watches for a left or right mouse-down that goes to another application:
// one over a window of ours, or taken by an open menu of ours, is not
// reported. Reports only while started, so that nothing wakes the program
// for every click in the session.
class GlobalMouseMonitor : public QObject {
    Q_OBJECT

public:
    virtual void start() = 0;
    virtual void stop() = 0;

signals:
    // On a later turn of the event loop than the press itself.
    void mouseDown();

protected:
    explicit GlobalMouseMonitor(QObject *parent = nullptr) : QObject(parent) { }
};
