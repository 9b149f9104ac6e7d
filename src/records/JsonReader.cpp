#include "records/JsonReader.h"

#include "records/DateCoding.h"
#include "records/UuidText.h"

JsonReader::JsonReader(const QJsonValue &value) : m_object(value.toObject())
{
    if (!value.isObject())
        fail(DecodingError::Code::typeMismatch, {});
}

QUuid JsonReader::uuid(const QString &key)
{
    const QString text = string(key);
    if (m_error)
        return {};
    const std::optional<QUuid> parsed = UuidText::parse(text);
    if (!parsed)
        fail(DecodingError::Code::dataCorrupted, key);
    return parsed.value_or(QUuid());
}

QString JsonReader::string(const QString &key)
{
    return requiredOf(key, &JsonReader::stringValue);
}

std::optional<QString> JsonReader::optionalString(const QString &key)
{
    return optionalOf(key, &JsonReader::stringValue);
}

QStringList JsonReader::strings(const QString &key)
{
    QStringList list;
    for (const QJsonValue &item : array(key)) {
        if (!item.isString()) {
            fail(DecodingError::Code::typeMismatch, key);
            return {};
        }
        list.append(item.toString());
    }
    return list;
}

bool JsonReader::boolean(const QString &key)
{
    const auto value = required(key);
    if (!value)
        return false;
    if (!value->isBool())
        fail(DecodingError::Code::typeMismatch, key);
    return value->toBool();
}

qint64 JsonReader::integer(const QString &key)
{
    const auto value = required(key);
    if (!value)
        return 0;
    if (!value->isDouble()) {
        fail(DecodingError::Code::typeMismatch, key);
        return 0;
    }
    // toInteger gives the default for fractions and numbers beyond qint64.
    const qint64 integer = value->toInteger(0);
    if (integer != value->toInteger(1)) {
        fail(DecodingError::Code::dataCorrupted, key);
        return 0;
    }
    return integer;
}

QDateTime JsonReader::date(const QString &key)
{
    return requiredOf(key, &JsonReader::dateValue);
}

std::optional<QDateTime> JsonReader::optionalDate(const QString &key)
{
    return optionalOf(key, &JsonReader::dateValue);
}

QByteArray JsonReader::bytes(const QString &key)
{
    return requiredOf(key, &JsonReader::bytesValue);
}

std::optional<QByteArray> JsonReader::optionalBytes(const QString &key)
{
    return optionalOf(key, &JsonReader::bytesValue);
}

std::optional<QJsonValue> JsonReader::required(const QString &key)
{
    if (m_error)
        return std::nullopt;
    const auto found = m_object.constFind(key);
    if (found == m_object.constEnd()) {
        fail(DecodingError::Code::keyNotFound, key);
        return std::nullopt;
    }
    if (found->isNull()) {
        fail(DecodingError::Code::typeMismatch, key);
        return std::nullopt;
    }
    return *found;
}

QJsonArray JsonReader::array(const QString &key)
{
    const auto value = required(key);
    if (!value)
        return {};
    if (!value->isArray()) {
        fail(DecodingError::Code::typeMismatch, key);
        return {};
    }
    return value->toArray();
}

std::optional<QJsonValue> JsonReader::present(const QString &key)
{
    if (m_error)
        return std::nullopt;
    const QJsonValue value = m_object.value(key);
    if (value.isUndefined() || value.isNull())
        return std::nullopt;
    return value;
}

QString JsonReader::stringValue(const QString &key, const QJsonValue &value)
{
    if (!value.isString())
        fail(DecodingError::Code::typeMismatch, key);
    return value.toString();
}

QDateTime JsonReader::dateValue(const QString &key, const QJsonValue &value)
{
    if (!value.isDouble()) {
        fail(DecodingError::Code::typeMismatch, key);
        return {};
    }
    const QDateTime date = DateCoding::fromSeconds(value.toDouble());
    if (!date.isValid())
        fail(DecodingError::Code::dataCorrupted, key);
    return date;
}

QByteArray JsonReader::bytesValue(const QString &key, const QJsonValue &value)
{
    if (!value.isString()) {
        fail(DecodingError::Code::typeMismatch, key);
        return {};
    }
    const QByteArray text = value.toString().toLatin1();
    // Standard alphabet with "=" padding only: the length is a multiple of 4.
    auto decoded = QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
    if (text.size() % 4 != 0 || !decoded) {
        fail(DecodingError::Code::dataCorrupted, key);
        return {};
    }
    return std::move(*decoded);
}

void JsonReader::fail(DecodingError::Code code, const QString &key)
{
    if (!m_error)
        m_error = DecodingError {code, key};
}
