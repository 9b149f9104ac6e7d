#pragma once

#include "base/Log.h"

#include <QMutex>
#include <QStringList>

// Collects every log line written while it lives.
class LogCapture final {
    Q_DISABLE_COPY(LogCapture)

public:
    LogCapture();
    ~LogCapture();

    QStringList lines() const;
    bool contains(const QString &line) const { return lines().contains(line); }
    void clear();

private:
    mutable QMutex m_mutex;
    QStringList m_lines;
    Log::Sink m_previous;
};
