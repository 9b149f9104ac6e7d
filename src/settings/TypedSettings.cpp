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
#include <QSaveFile>
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

// value is of one of the kinds, or a QJsonValue kept from the file.
QJsonValue toJson(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::Int:
    case QMetaType::LongLong:
        return value.toLongLong();
    case QMetaType::QString:
        return value.toString();
    case QMetaType::QStringList:
        return QJsonArray::fromStringList(value.toStringList());
    case QMetaType::QByteArray:
        return QJsonObject {{dataMember, QString::fromLatin1(value.toByteArray().toBase64())}};
    case QMetaType::QJsonValue:
        return value.toJsonValue();
    default:
        Q_ASSERT_X(false, "TypedSettings", "value of no kind the file holds");
        return {};
    }
}

std::optional<QVariantMap> parse(const QByteArray &bytes)
{
    if (bytes.trimmed().isEmpty())
        return QVariantMap();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    QVariantMap values;
    const QJsonObject object = document.object();
    for (auto it = object.begin(); it != object.end(); ++it)
        values.insert(it.key(), fromJson(it.value()));
    return values;
}

QByteArray serialize(const QVariantMap &values)
{
    QJsonObject object;
    for (auto it = values.begin(); it != values.end(); ++it)
        object.insert(it.key(), toJson(it.value()));
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

struct ReadValues {
    QVariantMap values;
    std::optional<SettingsReset> reset;
};

// A file that cannot be read or parsed would be replaced by the next change;
// moving it aside keeps what the user had.
ReadValues readValues(const QString &filePath)
{
    QFile file(filePath);
    if (!file.exists())
        return {};
    std::optional<QVariantMap> values;
    if (file.open(QIODevice::ReadOnly))
        values = parse(file.readAll());
    file.close();
    if (values)
        return {*values, std::nullopt};
    QString kept
        = filePath + u".unreadable-"_s + QDateTime::currentDateTimeUtc().toString(u"yyyyMMddTHHmmsszzz"_s);
    if (QFile::rename(filePath, kept)) {
        Log::write(u"Settings file could not be read; moved it to "_s + kept);
    } else {
        Log::write(u"Settings file could not be read: "_s + filePath);
        kept.clear();
    }
    return {{}, SettingsReset {filePath, kept}};
}

} // namespace

TypedSettings::TypedSettings(QString filePath) : m_filePath(std::move(filePath))
{
    ReadValues read = readValues(m_filePath);
    m_values = std::move(read.values);
    m_resetOnRead = std::move(read.reset);
}

TypedSettings::~TypedSettings()
{
    if (!m_saved)
        (void)save();
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
    const QVariant stored = m_values.value(key);
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

std::expected<void, SettingsWriteError> TypedSettings::setValue(
    const SettingDefinition &setting, const QVariant &value)
{
    return setValues({{setting, value}});
}

std::expected<void, SettingsWriteError> TypedSettings::setValues(
    const QList<std::pair<SettingDefinition, QVariant>> &values)
{
    QList<std::pair<QString, QVariant>> writes;
    writes.reserve(values.size());
    bool changes = false;
    for (const auto &[setting, value] : values) {
        const QVariant stored = typed(setting, value);
        changes = changes || this->value(setting) != stored;
        writes.append({setting.key, stored});
    }
    return write(writes, changes);
}

std::expected<void, SettingsWriteError> TypedSettings::setRawValue(const QString &key, const QVariant &value)
{
    return write({{key, value}}, rawValue(key) != value);
}

void TypedSettings::makePrivate() const
{
    PrivateFiles::makeFolder(QFileInfo(m_filePath).path());
    PrivateFiles::restrictFile(m_filePath);
}

std::expected<void, SettingsWriteError> TypedSettings::write(
    const QList<std::pair<QString, QVariant>> &values, bool changes)
{
    for (const auto &[key, value] : values)
        m_values.insert(key, value);
    // Writing again what the file holds, or what it reads as, loses nothing
    // when it fails.
    if (auto saved = save(); !saved && (changes || !m_saved)) {
        if (m_saved)
            Log::write(u"Could not write the settings file "_s + m_filePath + u": "_s + saved.error().reason);
        m_saved = false;
        return saved;
    }
    m_saved = true;
    return {};
}

std::expected<void, SettingsWriteError> TypedSettings::save() const
{
    // The folder first, which keeps others out; the file is never
    // readable to them, not even while it is written.
    PrivateFiles::makeFolder(QFileInfo(m_filePath).path());
    QSaveFile file(m_filePath);
    file.setDirectWriteFallback(false);
    const auto failed = [&] { return std::unexpected(SettingsWriteError {m_filePath, file.errorString()}); };
    // Unbuffered: what the commit flushes short would still be put in place,
    // cut off.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)
        || !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return failed();
    const QByteArray bytes = serialize(m_values);
    // A short write (a disk with a little room) carries no reason; the next
    // one fails with it.
    for (qsizetype written = 0; written < bytes.size();) {
        const qint64 step = file.write(bytes.sliced(written));
        if (step <= 0)
            return failed();
        written += step;
    }
    if (!file.commit())
        return failed();
    return {};
}
