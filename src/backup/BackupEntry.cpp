#include "backup/BackupEntry.h"

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
