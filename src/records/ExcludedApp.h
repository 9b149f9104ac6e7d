#pragma once

#include "records/DecodingError.h"

#include <QHashFunctions>
#include <QJsonObject>
#include <QString>
#include <QUuid>

#include <expected>

// An application whose copies are never captured.
struct ExcludedApp {
    QUuid id {};
    QString bundleIdentifier {};
    QString name {};

    bool operator==(const ExcludedApp &other) const = default;

    QJsonObject toJson() const;
    static std::expected<ExcludedApp, DecodingError> fromJson(const QJsonValue &json);
};

inline size_t qHash(const ExcludedApp &app, size_t seed = 0)
{
    return qHashMulti(seed, app.id, app.bundleIdentifier, app.name);
}
