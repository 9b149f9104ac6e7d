#include "backup/BackupPayload.h"

#include "backup/JsonStream.h"
#include "backup/PayloadReader.h"
#include "records/JsonWriter.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>

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
    qsizetype position = 0;
    JsonStream stream([&](char *out, qsizetype size) {
        const qsizetype piece = std::min(size, json.size() - position);
        std::copy_n(json.constData() + position, piece, out);
        position += piece;
        return piece;
    });
    auto read = PayloadReader::read(stream, PayloadReader::Texts::asWritten);
    if (!read)
        return std::unexpected(read.error());
    return std::move(*read).joined();
}
