#include "records/AuditEvent.h"

#include "records/JsonReader.h"
#include "records/JsonWriter.h"

using namespace Qt::StringLiterals;

QJsonObject AuditEvent::toJson() const
{
    QJsonObject json {
        {u"id"_s, JsonWriter::uuid(id)},
        {u"timestamp"_s, JsonWriter::date(timestamp)},
        {u"eventType"_s, rawValue(eventType)},
    };
    JsonWriter::insertOptional(json, u"detail"_s, detail);
    return json;
}

std::expected<AuditEvent, DecodingError> AuditEvent::fromJson(const QJsonValue &json)
{
    JsonReader reader(json);
    AuditEvent event {
        .id = reader.uuid(u"id"_s),
        .timestamp = reader.date(u"timestamp"_s),
        .eventType = reader.rawEnum<AuditEventType>(u"eventType"_s),
        .detail = reader.optionalString(u"detail"_s),
    };
    if (reader.error())
        return std::unexpected(*reader.error());
    return event;
}
