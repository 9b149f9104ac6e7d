#pragma once

#include "platform/RunningApplication.h"

#include <QString>

#include <optional>

// What the entry tools need of pasting: the application a paste goes back
// to, and the paste of a plain text. The application's paste controller
// provides it.
class PasteAccess {
public:
    virtual ~PasteAccess() = default;

    // The application that was in front when the panel or the history menu
    // opened.
    virtual std::optional<RunningApplication> pasteTarget() const = 0;
    virtual void setPasteTarget(const std::optional<RunningApplication> &application) = 0;
    // Writes text to the pasteboard as our own write, closes the panel and
    // pastes into the target or only brings it forward.
    virtual void pasteText(const QString &text) = 0;

protected:
    PasteAccess() = default;
    Q_DISABLE_COPY(PasteAccess)
};
