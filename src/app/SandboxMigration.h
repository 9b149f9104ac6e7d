#pragma once

#include "settings/SettingsReset.h"

#include <QString>

#include <expected>
#include <optional>

class TypedSettings;

// The one-time copy of preferences and history out of the Flatpak sandbox's
// folder, for a user who ran the sandboxed build before this one.
class SandboxMigration final {
public:
    // Folders of the container under homeFolder; settingsFile and dataFolder
    // are where this build keeps its settings and its database.
    SandboxMigration(QString homeFolder, QString settingsFile, QString dataFolder);
    // This user's real places.
    static SandboxMigration standard();

    // Whether this process runs inside the sandbox.
    static bool isSandboxed();

    // Runs once per user: never inside the sandbox, and never again once the
    // flag is set, also after a failed copy. Reads the settings file first,
    // before anything else does: returns the reset that read met, if any.
    [[nodiscard]] std::optional<SettingsReset> migrateFromSandboxContainer() const;

    static constexpr QStringView flagKey = u"migration.sandboxContainer.v1";

private:
    static void mergePreferences(TypedSettings &destination, const QString &containerFile);
    // Either every file of the database is in place or none is.
    std::expected<void, QString> copyDatabase(const QString &sourceFolder) const;

    QString m_homeFolder;
    QString m_settingsFile;
    QString m_dataFolder;
};
