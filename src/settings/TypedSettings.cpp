#include "settings/TypedSettings.h"

#include "base/Log.h"
#include "base/PrivateFiles.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QStandardPaths>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QString dataMember = u"base64"_s;

QMetaType metaTypeOf(SettingKind kind)
{
    switch (kind) {
    case SettingKind::boolean:
        return QMetaType::fromType<bool>();
    case SettingKind::integer:
        return QMetaType::fromType<qint64>();
    case SettingKind::text:
        return QMetaType::fromType<QString>();
    case SettingKind::textList:
        return QMetaType::fromType<QStringList>();
    case SettingKind::data:
        return QMetaType::fromType<QByteArray>();
    }
    Q_UNREACHABLE();
    return {};
}

// Anything that is not one of the kinds stays a QJsonValue, so it is written
// back untouched when another setting changes.
QVariant fromJson(const QJsonValue &json)
{
    switch (json.type()) {
    case QJsonValue::Bool:
        return json.toBool();
    case QJsonValue::Double: {
        const QVariant number = json.toVariant();
        if (number.typeId() == QMetaType::LongLong)
            return number;
        break;
    }
    case QJsonValue::String:
        return json.toString();
    case QJsonValue::Array: {
        const QJsonArray array = json.toArray();
        QStringList texts;
        texts.reserve(array.size());
        for (const QJsonValue &element : array) {
            if (!element.isString())
                return QVariant::fromValue(json);
            texts.append(element.toString());
        }
        return texts;
    }
    case QJsonValue::Object: {
        const QJsonObject object = json.toObject();
        if (object.size() != 1 || !object.value(dataMember).isString())
            break;
        const auto decoded = QByteArray::fromBase64Encoding(
            object.value(dataMember).toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (decoded)
            return *decoded;
        break;
    }
    case QJsonValue::Null:
    case QJsonValue::Undefined:
        break;
    }
    return QVariant::fromValue(json);
}

std::optional<QJsonValue> toJson(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return QJsonValue(value.toBool());
    case QMetaType::Int:
    case QMetaType::LongLong:
        return QJsonValue(value.toLongLong());
    case QMetaType::QString:
        return QJsonValue(value.toString());
    case QMetaType::QStringList:
        return QJsonValue(QJsonArray::fromStringList(value.toStringList()));
    case QMetaType::QByteArray:
        return QJsonValue(QJsonObject {{dataMember, QString::fromLatin1(value.toByteArray().toBase64())}});
    case QMetaType::QJsonValue:
        return value.toJsonValue();
    default:
        return std::nullopt;
    }
}

bool readFile(QIODevice &device, QSettings::SettingsMap &map)
{
    const QByteArray bytes = device.readAll();
    if (bytes.trimmed().isEmpty())
        return true;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    const QJsonObject object = document.object();
    for (auto it = object.begin(); it != object.end(); ++it)
        map.insert(it.key(), fromJson(it.value()));
    return true;
}

bool writeFile(QIODevice &device, const QSettings::SettingsMap &map)
{
    QJsonObject object;
    for (auto it = map.begin(); it != map.end(); ++it) {
        const std::optional<QJsonValue> json = toJson(it.value());
        if (!json)
            return false;
        object.insert(it.key(), *json);
    }
    const QByteArray bytes = QJsonDocument(object).toJson(QJsonDocument::Indented);
    return device.write(bytes) == bytes.size();
}

QSettings::Format fileFormat()
{
    static const QSettings::Format format = QSettings::registerFormat(u"conf"_s, readFile, writeFile);
    return format;
}

// QSettings would replace a file it cannot parse with the next change; moving
// it aside keeps what the user had.
QString setAsideIfUnreadable(const QString &filePath)
{
    bool unreadable = false;
    {
        const QSettings probe(filePath, fileFormat());
        unreadable = probe.status() == QSettings::FormatError;
    }
    if (unreadable) {
        const QString kept = filePath + u".unreadable-"_s
            + QDateTime::currentDateTimeUtc().toString(u"yyyyMMddTHHmmsszzz"_s);
        if (QFile::rename(filePath, kept))
            Log::write(u"Settings file could not be read; moved it to "_s + kept);
        else
            Log::write(u"Settings file could not be read: "_s + filePath);
    }
    return filePath;
}

} // namespace

TypedSettings::TypedSettings(const QString &filePath)
    : m_settings(setAsideIfUnreadable(filePath), fileFormat())
{
}

QString TypedSettings::standardFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + u"/Vantorell/Vantorell.conf"_s;
}

QVariant TypedSettings::value(const SettingDefinition &setting) const
{
    const QVariant stored = storedValue(setting.key, setting.kind);
    return stored.isValid() ? stored : setting.defaultValue;
}

QVariant TypedSettings::storedValue(const QString &key, SettingKind kind) const
{
    const QVariant stored = m_settings.value(key);
    return stored.metaType() == metaTypeOf(kind) ? stored : QVariant();
}

QVariant TypedSettings::typed(const SettingDefinition &setting, const QVariant &value)
{
    QVariant typed = value;
    const bool integral = value.typeId() == QMetaType::Int || value.typeId() == QMetaType::UInt;
    if (setting.kind == SettingKind::integer && integral)
        typed.convert(QMetaType::fromType<qint64>());
    Q_ASSERT_X(
        typed.metaType() == metaTypeOf(setting.kind), "TypedSettings::setValue", "value of another kind");
    return typed;
}

void TypedSettings::setValue(const SettingDefinition &setting, const QVariant &value)
{
    write({{setting.key, typed(setting, value)}});
}

void TypedSettings::setValues(const QList<std::pair<SettingDefinition, QVariant>> &values)
{
    QList<std::pair<QString, QVariant>> writes;
    writes.reserve(values.size());
    for (const auto &[setting, value] : values)
        writes.append({setting.key, typed(setting, value)});
    write(writes);
}

void TypedSettings::setRawValue(const QString &key, const QVariant &value)
{
    write({{key, value}});
}

void TypedSettings::makePrivate() const
{
    PrivateFiles::makeFolder(QFileInfo(m_settings.fileName()).path());
    PrivateFiles::restrictFile(m_settings.fileName());
}

void TypedSettings::write(const QList<std::pair<QString, QVariant>> &values)
{
    const bool wasWritable = m_settings.status() == QSettings::NoError;
    for (const auto &[key, value] : values)
        m_settings.setValue(key, value);
    // The folder first: a new file gets the usual mode, and must not be
    // reachable until it is restricted.
    makePrivate();
    m_settings.sync();
    PrivateFiles::restrictFile(m_settings.fileName());
    // QSettings keeps the first error it meets, so this is reported once.
    if (wasWritable && m_settings.status() != QSettings::NoError)
        Log::write(u"Could not write the settings file "_s + m_settings.fileName());
}
