#include "backup/BackupPayload.h"

#include "records/JsonReader.h"
#include "records/JsonWriter.h"

#include <QJsonArray>
#include <QJsonDocument>

using namespace Qt::StringLiterals;

namespace {

constexpr int currentFormat = 1;

template<typename T> QJsonArray arrayOf(const QList<T> &records)
{
    QJsonArray array;
    for (const T &record : records)
        array.append(record.toJson());
    return array;
}

} // namespace

QByteArray BackupPayload::encode() const
{
    const QJsonObject json {
        {u"format"_s, currentFormat},
        {u"createdAt"_s, JsonWriter::date(createdAt)},
        {u"appVersion"_s, appVersion},
        {u"entries"_s, arrayOf(entries)},
        {u"snippets"_s, arrayOf(snippets)},
        {u"excludedApps"_s, arrayOf(excludedApps)},
        {u"snippetFolders"_s, QJsonArray::fromStringList(snippetFolders)},
    };
    return QJsonDocument(json).toJson(QJsonDocument::Compact);
}

std::expected<BackupPayload, BackupError> BackupPayload::decode(const QByteArray &json)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return std::unexpected(BackupError {BackupError::damaged});
    const QJsonValue format = document.object().value(u"format"_s);
    if (format.isDouble() && format.toDouble() > currentFormat)
        return std::unexpected(BackupError {BackupError::newerVersion});
    JsonReader reader(document.object());
    // Required, and an integer, though only a newer number matters.
    reader.integer(u"format"_s);
    BackupPayload payload {
        .createdAt = reader.date(u"createdAt"_s),
        .appVersion = reader.string(u"appVersion"_s),
        .entries = reader.records(u"entries"_s, &BackupEntry::fromJson),
        .snippets = reader.records(u"snippets"_s, &Snippet::fromJson),
        .excludedApps = reader.records(u"excludedApps"_s, &ExcludedApp::fromJson),
        .snippetFolders = reader.strings(u"snippetFolders"_s),
    };
    if (reader.error())
        return std::unexpected(BackupError {BackupError::damaged});
    return payload;
}
