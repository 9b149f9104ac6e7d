#pragma once

#include "base/Clock.h"
#include "records/Snippet.h"
#include "store/SnippetError.h"

#include <QFuture>
#include <QObject>

#include <expected>

class SecureStorageManager;

// Records snippet use, saves edits and deletes snippets. Owns no snippet
// data: every change goes straight to the store and callers reload their
// lists. Lives on the main thread, where its continuations run.
class SnippetManager final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(SnippetManager)

public:
    using Result = std::expected<void, SnippetError>;

    explicit SnippetManager(SecureStorageManager &storageManager, const Clock &clock = Clock::system(),
        QObject *parent = nullptr);

    SecureStorageManager &storageManager() const { return m_storageManager; }

    // Adds one to the stored count (edits made meanwhile stay, a deleted
    // snippet stays deleted) and audits the use when a row changed. The
    // future ends canceled, without a result, if the manager goes first.
    [[nodiscard]] QFuture<Result> recordSnippetUse(const Snippet &snippet);
    // Saves the snippet with updatedAt set to now.
    [[nodiscard]] QFuture<Result> saveSnippet(const Snippet &snippet);
    // Why the snippet is still stored, when the database refused (the store
    // logs it too).
    [[nodiscard]] QFuture<StorageOutcome> deleteSnippet(const QUuid &id);

private:
    SecureStorageManager &m_storageManager;
    const Clock &m_clock;
};
