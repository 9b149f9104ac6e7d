#include "store/SnippetManager.h"

#include "records/AuditEvent.h"
#include "store/SecureStorageManager.h"

SnippetManager::SnippetManager(SecureStorageManager &storageManager, const Clock &clock, QObject *parent)
    : QObject(parent), m_storageManager(storageManager), m_clock(clock)
{
}

QFuture<SnippetManager::Result> SnippetManager::recordSnippetUse(const Snippet &snippet)
{
    return m_storageManager.incrementSnippetUsage(snippet.id)
        .then(this,
            [this](const std::expected<bool, SnippetError> &changed) {
                if (!changed)
                    return QtFuture::makeReadyFuture(Result(std::unexpected(changed.error())));
                if (!*changed)
                    return QtFuture::makeReadyFuture(Result());
                const AuditEvent event {
                    QUuid::createUuid(), m_clock.now(), AuditEventType::snippetUsed, std::nullopt};
                return m_storageManager.logAuditEvent(event).then([] { return Result(); });
            })
        .unwrap();
}

QFuture<SnippetManager::Result> SnippetManager::saveSnippet(const Snippet &snippet)
{
    Snippet saved = snippet;
    saved.updatedAt = m_clock.now();
    return m_storageManager.insertSnippet(saved);
}

QFuture<bool> SnippetManager::deleteSnippet(const QUuid &id)
{
    return m_storageManager.deleteSnippet(id);
}
