#include "records/ClipboardEntry.h"

#include "records/JsonReader.h"
#include "records/JsonWriter.h"

using namespace Qt::StringLiterals;

ClipboardEntry ClipboardEntry::published() const
{
    ClipboardEntry copy = *this;
    if (copy.hasRich()) {
        copy.encryptedRich.reset();
        copy.richLeftInStore = true;
    }
    if (holdsContent() && encryptedContent.size() > heldContentLimit) {
        copy.contentLeftInStore = encryptedContent.size();
        copy.encryptedContent = QByteArray();
    }
    return copy;
}

QJsonObject ClipboardEntry::toJson() const
{
    QJsonObject json {
        {u"id"_s, JsonWriter::uuid(id)},
        {u"contentType"_s, rawValue(contentType)},
        {u"createdAt"_s, JsonWriter::date(createdAt)},
        {u"isFavorite"_s, isFavorite},
        {u"isPinned"_s, isPinned},
        {u"isSensitive"_s, isSensitive},
        {u"encryptedContent"_s, JsonWriter::bytes(encryptedContent)},
    };
    JsonWriter::insertOptional(json, u"sourceApp"_s, sourceApp);
    JsonWriter::insertOptional(json, u"expiresAt"_s, expiresAt, JsonWriter::date);
    JsonWriter::insertOptional(json, u"encryptedPreview"_s, encryptedPreview, JsonWriter::bytes);
    JsonWriter::insertOptional(json, u"encryptedRich"_s, encryptedRich, JsonWriter::bytes);
    JsonWriter::insertOptional(json, u"encryptedSearchText"_s, encryptedSearchText, JsonWriter::bytes);
    return json;
}

std::expected<ClipboardEntry, DecodingError> ClipboardEntry::fromJson(const QJsonValue &json)
{
    JsonReader reader(json);
    ClipboardEntry entry {
        .id = reader.uuid(u"id"_s),
        .contentType = reader.rawEnum<ContentType>(u"contentType"_s),
        .createdAt = reader.date(u"createdAt"_s),
        .isFavorite = reader.boolean(u"isFavorite"_s),
        .isPinned = reader.boolean(u"isPinned"_s),
        .sourceApp = reader.optionalString(u"sourceApp"_s),
        .isSensitive = reader.boolean(u"isSensitive"_s),
        .expiresAt = reader.optionalDate(u"expiresAt"_s),
        .encryptedContent = reader.bytes(u"encryptedContent"_s),
        .encryptedPreview = reader.optionalBytes(u"encryptedPreview"_s),
        .encryptedRich = reader.optionalBytes(u"encryptedRich"_s),
        .encryptedSearchText = reader.optionalBytes(u"encryptedSearchText"_s),
    };
    if (reader.error())
        return std::unexpected(*reader.error());
    return entry;
}
