#pragma once

#include "records/AuditEventType.h"
#include "records/DecodingError.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QUuid>

#include <expected>
#include <optional>

// One audit-log record. Audit events are never compared.
struct AuditEvent {
    QUuid id {};
    QDateTime timestamp {};
    AuditEventType eventType = AuditEventType::appUnlocked;
    std::optional<QString> detail {};

    QJsonObject toJson() const;
    static std::expected<AuditEvent, DecodingError> fromJson(const QJsonValue &json);
};
