#pragma once

#include <QByteArray>
#include <QString>
#include <QUuid>

#include <optional>

// What capture needs of the application state: whether capture is paused,
// the shown history entry to update once an image's text is recognised, and
// where to tell that the store refuses copies. The application state
// provides it.
class CaptureStateAccess {
public:
    virtual ~CaptureStateAccess() = default;

    virtual bool isPaused() const = 0;
    // Gives the history entry with id the sealed preview and search text the
    // store already holds; nothing when it is not shown.
    virtual void replaceEntry(const QUuid &id, const std::optional<QByteArray> &encryptedPreview,
        const std::optional<QByteArray> &encryptedSearchText)
        = 0;
    // Why the store refused the last copy, in its words; empty once a copy
    // is stored.
    virtual void setCopyRefusal(const QString &reason) = 0;

protected:
    CaptureStateAccess() = default;
    Q_DISABLE_COPY(CaptureStateAccess)
};
