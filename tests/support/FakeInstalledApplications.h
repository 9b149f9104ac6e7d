#pragma once

#include "platform/InstalledApplications.h"

#include <QMap>

// Applications the test installs, by identifier; no launcher file describes
// one.
class FakeInstalledApplications final : public InstalledApplications {
public:
    std::optional<Application> applicationAt(const QString &) override { return std::nullopt; }

    std::optional<Application> application(const QString &bundleIdentifier) override
    {
        if (!installed.contains(bundleIdentifier))
            return std::nullopt;
        return installed.value(bundleIdentifier);
    }

    QString applicationsFolder() const override { return {}; }

    QMap<QString, Application> installed;
};
