#include "backup/BackupEntry.h"

#include "records/JsonReader.h"
#include "records/JsonWriter.h"

using namespace Qt::StringLiterals;

QJsonObject BackupEntry::toJson() const
{
    QJsonObject json {
        {u"id"_s, JsonWriter::uuid(id)},
        {u"contentType"_s, rawValue(contentType)},
        {u"createdAt"_s, JsonWriter::date(createdAt)},
        {u"isFavorite"_s, isFavorite},
        {u"isPinned"_s, isPinned},
        {u"isSensitive"_s, isSensitive},
        {u"content"_s, JsonWriter::bytes(content)},
    };
    JsonWriter::insertOptional(json, u"sourceApp"_s, sourceApp);
    JsonWriter::insertOptional(json, u"preview"_s, preview);
    JsonWriter::insertOptional(json, u"searchText"_s, searchText);
    JsonWriter::insertOptional(json, u"rich"_s, rich, JsonWriter::bytes);
    return json;
}

std::expected<BackupEntry, DecodingError> BackupEntry::fromJson(const QJsonValue &json)
{
    JsonReader reader(json);
    BackupEntry entry {
        .id = reader.uuid(u"id"_s),
        .contentType = reader.rawEnum<ContentType>(u"contentType"_s),
        .createdAt = reader.date(u"createdAt"_s),
        .isFavorite = reader.boolean(u"isFavorite"_s),
        .isPinned = reader.boolean(u"isPinned"_s),
        .sourceApp = reader.optionalString(u"sourceApp"_s),
        .isSensitive = reader.boolean(u"isSensitive"_s),
        .content = reader.bytes(u"content"_s),
        .preview = reader.optionalString(u"preview"_s),
        .searchText = reader.optionalString(u"searchText"_s),
        .rich = reader.optionalBytes(u"rich"_s),
    };
    if (reader.error())
        return std::unexpected(*reader.error());
    return entry;
}
