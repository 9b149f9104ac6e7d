#pragma once

#include "records/ContentType.h"
#include "records/DecodingError.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QUuid>

#include <expected>
#include <optional>

// One history item. The encrypted fields are sealed blobs (EncryptionService).
struct ClipboardEntry {
    // Sealed content up to this size stays in the published history's copy:
    // a text of a few hundred bytes costs no more than its preview and search
    // text. Larger content, and rich text always, stay in the store until
    // someone needs them (EntryContentReader).
    static constexpr qsizetype heldContentLimit = 512;

    QUuid id {};
    ContentType contentType = ContentType::plainText;
    QDateTime createdAt {};
    bool isFavorite = false;
    bool isPinned = false;
    std::optional<QString> sourceApp {};
    bool isSensitive = false;
    std::optional<QDateTime> expiresAt {};
    QByteArray encryptedContent {};
    std::optional<QByteArray> encryptedPreview {};
    std::optional<QByteArray> encryptedRich {};
    std::optional<QByteArray> encryptedSearchText {};

    // What a published copy left in the store: the sealed content's size
    // (encryptedContent is then empty) and whether rich text is there.
    // Neither is encoded nor compared; the encoding is for whole entries.
    std::optional<qint64> contentLeftInStore {};
    bool richLeftInStore = false;

    bool holdsContent() const { return !contentLeftInStore; }
    // The sealed content's size, held or not.
    qint64 contentSize() const { return contentLeftInStore.value_or(encryptedContent.size()); }
    bool hasRich() const { return encryptedRich || richLeftInStore; }
    // This entry as the published history keeps it.
    ClipboardEntry published() const;

    // Identity only: an entry whose flags changed still equals its older copy.
    bool operator==(const ClipboardEntry &other) const { return id == other.id; }

    QJsonObject toJson() const;
    static std::expected<ClipboardEntry, DecodingError> fromJson(const QJsonValue &json);
};
