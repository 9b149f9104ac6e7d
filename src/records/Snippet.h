#pragma once

#include "records/DecodingError.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <expected>
#include <optional>

// A reusable text snippet; content may hold template placeholders.
struct Snippet {
    QUuid id {};
    QString title {};
    QString content {};
    QStringList tags {};
    // The folder; absent for an unfiled snippet (an empty name is a folder).
    std::optional<QString> group {};
    bool isFavorite = false;
    QDateTime createdAt {};
    QDateTime updatedAt {};
    qint64 usageCount = 0;

    bool operator==(const Snippet &other) const = default;

    QJsonObject toJson() const;
    static std::expected<Snippet, DecodingError> fromJson(const QJsonValue &json);
};
