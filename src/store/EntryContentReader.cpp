#include "store/EntryContentReader.h"

#include "base/WhenFinished.h"
#include "crypto/EncryptionService.h"
#include "store/SecureStorageManager.h"

namespace {

using Result = EntryContentReader::Result;
using Unavailable = EntryContentReader::Unavailable;

Result opened(const EncryptionService &encryption, const ClipboardEntry &entry,
    const EncryptionService::KeySession &session, EntryContentReader::Rich rich)
{
    std::expected<QByteArray, SealingError> content = encryption.decrypt(entry.encryptedContent, session);
    if (!content) {
        const bool locked = content.error() == SealingError(EncryptionError::masterKeyUnavailable);
        return std::unexpected(Unavailable {locked ? Unavailable::Code::locked : Unavailable::Code::damaged});
    }
    EntryContentReader::Opened result {.id = entry.id, .content = std::move(*content)};
    if (rich == EntryContentReader::Rich::include && entry.encryptedRich) {
        if (auto openedRich = encryption.decrypt(*entry.encryptedRich, session))
            result.rich = std::move(*openedRich);
    }
    return result;
}

} // namespace

EntryContentReader::EntryContentReader(SecureStorageManager &store, Source source)
    : m_store(store), m_encryption(store.encryptionService()), m_source(source)
{
}

void EntryContentReader::open(const ClipboardEntry &entry, QObject *context, Handler handler, Rich rich) const
{
    const EncryptionService::KeySession session = m_encryption.keySession();
    if (session.expired()) {
        handler(std::unexpected(Unavailable {Unavailable::Code::locked}));
        return;
    }
    const bool needsStore = !entry.holdsContent() || (rich == Rich::include && entry.richLeftInStore);
    if (!needsStore) {
        handler(opened(m_encryption, entry, session, rich));
        return;
    }
    const auto fetched
        = m_source == Source::database ? m_store.fetchEntryOnDisk(entry.id) : m_store.fetchEntry(entry.id);
    whenFinished(context, fetched,
        [&encryption = m_encryption, id = entry.id, session, rich, handler = std::move(handler)](
            const StoredEntry &stored) {
            if (!stored) {
                const StorageError &error = stored.error();
                handler(std::unexpected(Unavailable {Unavailable::Code::unreadable,
                    error.detail.isEmpty() ? description(error) : error.detail}));
            } else if (!*stored || (*stored)->id != id) {
                handler(std::unexpected(Unavailable {Unavailable::Code::gone}));
            } else {
                handler(opened(encryption, **stored, session, rich));
            }
        });
}
