#pragma once

#include "platform/RunningApplication.h"

#include <QUrl>
#include <QtGlobal>

#include <optional>

// The desktop's applications: which one is in front, and bringing one
// forward.
class Workspace {
public:
    virtual ~Workspace() = default;

    virtual std::optional<RunningApplication> frontmostApplication() = 0;
    // Asks the window manager to bring the application's window forward.
    // False when that window no longer exists.
    virtual bool activate(const RunningApplication &application) = 0;
    // Hands the URL to the desktop's handler for its scheme (the browser, the
    // mail program). False when none took it.
    virtual bool openURL(const QUrl &url) = 0;

protected:
    Workspace() = default;
    Q_DISABLE_COPY(Workspace)
};
