#pragma once

#include "crypto/EncryptionService.h"
#include "records/ClipboardEntry.h"
#include "support/FakeClock.h"

// History entries for tests, each with a fresh id.

enum EntryFlags { plain = 0, starred = 1, pinned = 2 };

// Its content is a blob that the store keeps as it is and nothing opens.
inline ClipboardEntry entryAt(const QDateTime &createdAt, int flags = plain)
{
    return {.id = QUuid::createUuid(),
        .createdAt = createdAt,
        .isFavorite = (flags & starred) != 0,
        .isPinned = (flags & pinned) != 0,
        .encryptedContent = QByteArray(40, 'c')};
}

// Sealed under the service, so it opens and pastes; created when a fake
// clock starts.
inline ClipboardEntry sealedEntry(
    const EncryptionService &encryption, ContentType type, const QByteArray &content, bool sensitive = false)
{
    return {.id = QUuid::createUuid(),
        .contentType = type,
        .createdAt = FakeClock().now(),
        .isSensitive = sensitive,
        .encryptedContent = encryption.encrypt(content).value()};
}
