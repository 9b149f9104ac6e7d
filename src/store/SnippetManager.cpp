#include "store/SnippetManager.h"

#include "base/WhenFinished.h"
#include "records/AuditEvent.h"
#include "store/SecureStorageManager.h"

#include <QPromise>

#include <memory>

SnippetManager::SnippetManager(SecureStorageManager &storageManager, const Clock &clock, QObject *parent)
    : QObject(parent), m_storageManager(storageManager), m_clock(clock)
{
}

QFuture<SnippetManager::Result> SnippetManager::recordSnippetUse(const Snippet &snippet)
{
    // Shared by both steps; if the manager goes first, dropping it cancels
    // the caller's future.
    auto promise = std::make_shared<QPromise<Result>>();
    promise->start();
    const auto finish = [promise](const Result &result) {
        promise->addResult(result);
        promise->finish();
    };
    whenFinished(this, m_storageManager.incrementSnippetUsage(snippet.id),
        [this, finish](const std::expected<bool, SnippetError> &changed) {
            if (!changed || !*changed) {
                finish(changed ? Result() : Result(std::unexpected(changed.error())));
                return;
            }
            const AuditEvent event {
                QUuid::createUuid(), m_clock.now(), AuditEventType::snippetUsed, std::nullopt};
            // The use is stored; a refused audit row takes nothing from it.
            whenFinished(this, m_storageManager.logAuditEvent(event),
                [finish](const StorageOutcome &) { finish(Result()); });
        });
    return promise->future();
}

QFuture<SnippetManager::Result> SnippetManager::saveSnippet(const Snippet &snippet)
{
    Snippet saved = snippet;
    saved.updatedAt = m_clock.now();
    return m_storageManager.insertSnippet(saved);
}

QFuture<StorageOutcome> SnippetManager::deleteSnippet(const QUuid &id)
{
    return m_storageManager.deleteSnippet(id);
}
