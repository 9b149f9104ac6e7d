#pragma once

#include "platform/InstalledApplications.h"

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

// The desktop files of the installed applications, for telling which
// application a window belongs to and the name the desktop shows for it.
// Rescanned when one of the applications folders changes.
class DesktopEntryIndex final : public InstalledApplications {
    Q_DISABLE_COPY(DesktopEntryIndex)

public:
    struct Entry {
        // The desktop-file id: the path below applications/ with '/' as '-',
        // without ".desktop".
        QString id;
        QString name;
        QString startupWmClass;
        QString icon;
    };

    // folders: the applications folders, most important first; locale: as
    // "de_DE", for the localized Name.
    explicit DesktopEntryIndex(QStringList folders = standardFolders(), QString locale = QLocale().name());

    std::optional<Entry> entryForId(const QString &id);
    // The application whose windows carry this WM_CLASS.
    std::optional<Entry> entryForWindowClass(const QString &instance, const QString &className);

    // The id of a file outside the applications folders is its file name
    // without ".desktop".
    std::optional<Application> applicationAt(const QString &path) override;
    std::optional<Application> application(const QString &bundleIdentifier) override;
    // The last, least important folder: the system's own.
    QString applicationsFolder() const override;

    static QStringList standardFolders();

private:
    struct Folder {
        QString path;
        QDateTime modified;
    };

    void refresh();
    void scanFolder(const QString &root, const QString &folder, QStringList &seenIds);
    std::optional<Entry> readEntry(const QString &path, const QString &id) const;

    QStringList m_roots;
    QStringList m_localeKeys;
    QList<Folder> m_folders;
    bool m_scanned = false;
    QList<Entry> m_entries;
};
