#pragma once

#include "platform/LoginItem.h"

#include <QString>

// The XDG autostart entry $XDG_CONFIG_HOME/autostart/vantorell.desktop. It is
// enabled when present and not hidden; requiring approval does not exist here,
// and an entry that cannot be read is reported as not found.
class AutostartLoginItem final : public LoginItem {
    Q_DISABLE_COPY(AutostartLoginItem)

public:
    // The entry starts executablePath (the running program by default).
    explicit AutostartLoginItem(QString executablePath = {});

    // Where the entry lives for the current XDG_CONFIG_HOME.
    static QString entryPath();

    Status status() const override;
    std::expected<void, QString> registerItem() override;
    std::expected<void, QString> unregisterItem() override;
    // The desktops have no common place for this; nothing is opened.
    void openSystemSettings() override;

private:
    QString m_executablePath;
};
