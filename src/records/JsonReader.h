#pragma once

#include "base/RawValueTable.h"
#include "records/DecodingError.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QStringList>
#include <QUuid>

#include <expected>
#include <optional>

// Reads the fields of one record from a JSON object. The first failure is
// kept and every later read returns a default, so a record is built field
// by field and checked once at the end.
class JsonReader final {
public:
    explicit JsonReader(const QJsonValue &value);

    QUuid uuid(const QString &key);
    QString string(const QString &key);
    std::optional<QString> optionalString(const QString &key);
    QStringList strings(const QString &key);
    bool boolean(const QString &key);
    qint64 integer(const QString &key);
    QDateTime date(const QString &key);
    std::optional<QDateTime> optionalDate(const QString &key);
    QByteArray bytes(const QString &key);
    std::optional<QByteArray> optionalBytes(const QString &key);

    // A value stored as its raw text; an unknown text is corrupt data.
    template<StoredAsText Enum> Enum rawEnum(const QString &key)
    {
        const QString raw = string(key);
        if (m_error)
            return {};
        const std::optional<Enum> value = fromRawValue<Enum>(raw);
        if (!value)
            fail(DecodingError::Code::dataCorrupted, key);
        return value.value_or(Enum {});
    }

    const std::optional<DecodingError> &error() const { return m_error; }

private:
    // The value of a required key, or nothing after a failure.
    std::optional<QJsonValue> required(const QString &key);
    // The value of an optional key; nothing when missing, null or after a
    // failure.
    std::optional<QJsonValue> present(const QString &key);
    // The array of a required key; empty after a failure.
    QJsonArray array(const QString &key);
    template<typename T> using Read = T (JsonReader::*)(const QString &key, const QJsonValue &value);

    template<typename T> T requiredOf(const QString &key, Read<T> read)
    {
        const auto value = required(key);
        return value ? (this->*read)(key, *value) : T();
    }

    template<typename T> std::optional<T> optionalOf(const QString &key, Read<T> read)
    {
        const auto value = present(key);
        if (!value)
            return std::nullopt;
        T result = (this->*read)(key, *value);
        return m_error ? std::nullopt : std::optional<T>(std::move(result));
    }

    QString stringValue(const QString &key, const QJsonValue &value);
    QDateTime dateValue(const QString &key, const QJsonValue &value);
    QByteArray bytesValue(const QString &key, const QJsonValue &value);
    void fail(DecodingError::Code code, const QString &key);

    QJsonObject m_object;
    std::optional<DecodingError> m_error;
};
