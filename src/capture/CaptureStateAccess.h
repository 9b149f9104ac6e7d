#pragma once

#include <QByteArray>
#include <QUuid>

#include <optional>

// What capture needs of the application state: whether capture is paused,
// and the shown history entry to update once an image's text is recognised.
// The application state provides it.
class CaptureStateAccess {
public:
    virtual ~CaptureStateAccess() = default;

    virtual bool isPaused() const = 0;
    // Gives the history entry with id the sealed preview and search text the
    // store already holds; nothing when it is not shown.
    virtual void replaceEntry(const QUuid &id, const std::optional<QByteArray> &encryptedPreview,
        const std::optional<QByteArray> &encryptedSearchText)
        = 0;

protected:
    CaptureStateAccess() = default;
    Q_DISABLE_COPY(CaptureStateAccess)
};
