#include "records/Snippet.h"

#include "records/JsonReader.h"
#include "records/JsonWriter.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;

QJsonObject Snippet::toJson() const
{
    QJsonObject json {
        {u"id"_s, JsonWriter::uuid(id)},
        {u"title"_s, title},
        {u"content"_s, content},
        {u"tags"_s, QJsonArray::fromStringList(tags)},
        {u"isFavorite"_s, isFavorite},
        {u"createdAt"_s, JsonWriter::date(createdAt)},
        {u"updatedAt"_s, JsonWriter::date(updatedAt)},
        {u"usageCount"_s, usageCount},
    };
    JsonWriter::insertOptional(json, u"group"_s, group);
    return json;
}

std::expected<Snippet, DecodingError> Snippet::fromJson(const QJsonValue &json)
{
    JsonReader reader(json);
    Snippet snippet {
        .id = reader.uuid(u"id"_s),
        .title = reader.string(u"title"_s),
        .content = reader.string(u"content"_s),
        .tags = reader.strings(u"tags"_s),
        .group = reader.optionalString(u"group"_s),
        .isFavorite = reader.boolean(u"isFavorite"_s),
        .createdAt = reader.date(u"createdAt"_s),
        .updatedAt = reader.date(u"updatedAt"_s),
        .usageCount = reader.integer(u"usageCount"_s),
    };
    if (reader.error())
        return std::unexpected(*reader.error());
    return snippet;
}
