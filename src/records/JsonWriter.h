#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QUuid>

#include <functional>
#include <optional>

// The JSON forms of record fields: UUIDs as upper-case text, dates as
// seconds since 1970, bytes as padded standard Base64. An absent optional
// leaves its key out.
namespace JsonWriter {

QJsonValue uuid(const QUuid &id);
QJsonValue date(const QDateTime &date);
QJsonValue bytes(const QByteArray &bytes);

template<typename T, typename Convert = std::identity>
void insertOptional(
    QJsonObject &object, const QString &key, const std::optional<T> &value, Convert convert = {})
{
    if (value)
        object.insert(key, convert(*value));
}

} // namespace JsonWriter
