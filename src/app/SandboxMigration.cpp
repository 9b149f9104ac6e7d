#include "app/SandboxMigration.h"

#include "base/Log.h"
#include "base/PrivateFiles.h"
#include "settings/TypedSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QStandardPaths>

#include <array>

using namespace Qt::StringLiterals;

namespace {

const QString containerPath = u"/.var/app/net.quenlax.Vantorell"_s;
const QString databaseName = u"vantorell.db"_s;
// The database last: once it is in place its companions already are.
const std::array<QString, 3> placementOrder {u"vantorell.db-wal"_s, u"vantorell.db-shm"_s, databaseName};
const QString copySuffix = u".migrating"_s;
const QString asideSuffix = u".before-migration"_s;

const SettingDefinition &migratedFlag()
{
    static const SettingDefinition flag {SandboxMigration::flagKey.toString(), SettingKind::boolean, false};
    return flag;
}

// A settings file that cannot be read is skipped, and left where it is.
bool isReadableSettingsFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (bytes.trimmed().isEmpty())
        return true;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    return error.error == QJsonParseError::NoError && document.isObject();
}

void removeFiles(const QStringList &paths)
{
    for (const QString &path : paths)
        QFile::remove(path);
}

} // namespace

SandboxMigration::SandboxMigration(QString homeFolder, QString settingsFile, QString dataFolder)
    : m_homeFolder(std::move(homeFolder)), m_settingsFile(std::move(settingsFile)),
      m_dataFolder(std::move(dataFolder))
{
}

SandboxMigration SandboxMigration::standard()
{
    return SandboxMigration(QDir::homePath(), TypedSettings::standardFilePath(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

bool SandboxMigration::isSandboxed()
{
    return qEnvironmentVariableIsSet("APP_SANDBOX_CONTAINER_ID");
}

std::optional<SettingsReset> SandboxMigration::migrateFromSandboxContainer() const
{
    if (isSandboxed())
        return std::nullopt;
    TypedSettings settings(m_settingsFile);
    if (settings.value(migratedFlag()).toBool())
        return std::nullopt;
    const QString container = m_homeFolder + containerPath;
    if (QFileInfo::exists(container)) {
        mergePreferences(settings, container + u"/config/Vantorell/Vantorell.conf"_s);
        const QString sourceFolder = container + u"/data/Vantorell"_s;
        if (QFileInfo::exists(sourceFolder + u'/' + databaseName)
            && !QFileInfo::exists(m_dataFolder + u'/' + databaseName)) {
            if (const auto copied = copyDatabase(sourceFolder))
                Log::write(u"Moved history from the sandbox container"_s);
            else
                Log::write(u"Sandbox migration failed: "_s + copied.error());
        }
    }
    // A failure is logged by the file, and the flag it leaves unset only runs
    // this again at the next start.
    (void)settings.setValue(migratedFlag(), true);
    return settings.resetOnRead();
}

void SandboxMigration::mergePreferences(TypedSettings &destination, const QString &containerFile)
{
    if (!isReadableSettingsFile(containerFile))
        return;
    const TypedSettings source(containerFile);
    const QStringList present = destination.keys();
    for (const QString &key : source.keys()) {
        // One the file does not take is saved by its next write that succeeds.
        if (!present.contains(key))
            (void)destination.setRawValue(key, source.rawValue(key));
    }
}

std::expected<void, QString> SandboxMigration::copyDatabase(const QString &sourceFolder) const
{
    if (!PrivateFiles::makeFolder(m_dataFolder))
        return std::unexpected(u"Could not create the folder "_s + m_dataFolder);

    QStringList copies;
    for (const QString &name : placementOrder) {
        const QString source = sourceFolder + u'/' + name;
        if (!QFileInfo::exists(source))
            continue;
        const QString copy = m_dataFolder + u'/' + name + copySuffix;
        QFile::remove(copy);
        QFile file(source);
        if (!file.copy(copy)) {
            removeFiles(copies);
            QFile::remove(copy);
            return std::unexpected(u"Could not copy "_s + name + u": "_s + file.errorString());
        }
        copies.append(copy);
    }

    // SQLite would replay a leftover journal into the copied database.
    for (const QString &name : {placementOrder[0], placementOrder[1]}) {
        const QString stale = m_dataFolder + u'/' + name;
        if (!QFileInfo::exists(stale))
            continue;
        QFile::remove(stale + asideSuffix);
        QFile file(stale);
        if (!file.rename(stale + asideSuffix)) {
            removeFiles(copies);
            return std::unexpected(u"Could not move "_s + name + u" aside: "_s + file.errorString());
        }
    }

    QStringList placed;
    for (const QString &copy : copies) {
        const QString target = copy.chopped(copySuffix.size());
        QFile file(copy);
        if (!file.rename(target)) {
            removeFiles(placed + copies);
            return std::unexpected(
                u"Could not place "_s + QFileInfo(target).fileName() + u": "_s + file.errorString());
        }
        placed.append(target);
    }
    return {};
}
