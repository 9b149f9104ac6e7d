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

    // Identity only: an entry whose flags changed still equals its older copy.
    bool operator==(const ClipboardEntry &other) const { return id == other.id; }

    QJsonObject toJson() const;
    static std::expected<ClipboardEntry, DecodingError> fromJson(const QJsonValue &json);
};
