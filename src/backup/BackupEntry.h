#pragma once

#include "records/ContentType.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QUuid>

#include <optional>

// One history entry in a backup, in plain form. It has no expiry time:
// entries that expire never go into a backup.
struct BackupEntry {
    QUuid id {};
    ContentType contentType = ContentType::plainText;
    QDateTime createdAt {};
    bool isFavorite = false;
    bool isPinned = false;
    std::optional<QString> sourceApp {};
    bool isSensitive = false;
    // Byte for byte as the history holds it.
    QByteArray content {};
    std::optional<QString> preview {};
    std::optional<QString> searchText {};
    std::optional<QByteArray> rich {};

    bool operator==(const BackupEntry &other) const = default;

    QJsonObject toJson() const;
};
