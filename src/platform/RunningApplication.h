#pragma once

#include <QString>

// An application with a window on the desktop.
struct RunningApplication {
    // The freedesktop application id; empty when it cannot be told.
    QString bundleIdentifier;
    // The name the desktop shows for it; empty when it has none.
    QString localizedName;
    qint64 processIdentifier = 0;
    // The top-level window that activation brings forward.
    quint32 window = 0;

    friend bool operator==(const RunningApplication &, const RunningApplication &) = default;
};
