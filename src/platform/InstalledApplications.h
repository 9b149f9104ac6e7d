#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// The applications installed on the desktop, as their launcher files
// describe them, under the identifier capture tells the front application
// by.
class InstalledApplications {
public:
    struct Application {
        QString bundleIdentifier;
        // Empty when the file names none.
        QString name;
        // A theme icon name or an absolute image path; empty when none.
        QString iconName;
    };

    virtual ~InstalledApplications() = default;

    // The application the file at path launches; nothing for a file that
    // launches none.
    virtual std::optional<Application> applicationAt(const QString &path) = 0;
    // The installed application with this identifier, if any.
    virtual std::optional<Application> application(const QString &bundleIdentifier) = 0;
    // Where the system's own applications are listed.
    virtual QString applicationsFolder() const = 0;

protected:
    InstalledApplications() = default;
    Q_DISABLE_COPY(InstalledApplications)
};
