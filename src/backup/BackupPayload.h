#pragma once

#include "backup/BackupEntry.h"
#include "backup/BackupError.h"
#include "records/ExcludedApp.h"
#include "records/Snippet.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <expected>

// What a backup file carries, as one JSON object.
struct BackupPayload {
    QDateTime createdAt {};
    // The writer's version; empty when it has none.
    QString appVersion {};
    QList<BackupEntry> entries {};
    QList<Snippet> snippets {};
    QList<ExcludedApp> excludedApps {};
    QStringList snippetFolders {};

    bool operator==(const BackupPayload &other) const = default;

    // Compact JSON of the current payload format.
    QByteArray encode() const;
    // Every text as written. A newer payload format is reported as such even
    // when the rest of it does not decode; anything else unreadable is
    // damaged.
    static std::expected<BackupPayload, BackupError> decode(const QByteArray &json);
};
