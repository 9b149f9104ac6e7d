#include "records/JsonWriter.h"

#include "records/DateCoding.h"
#include "records/UuidText.h"

QJsonValue JsonWriter::uuid(const QUuid &id)
{
    return UuidText::toText(id);
}

QJsonValue JsonWriter::date(const QDateTime &date)
{
    return DateCoding::toSeconds(date);
}

QJsonValue JsonWriter::bytes(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toBase64());
}
