#include "ui/menubar/SettingsSection.h"

QString rawValue(SettingsSection section)
{
    for (const SettingsSectionName &name : settingsSections) {
        if (name.section == section)
            return QStringView(name.rawValue).toString();
    }
    return {};
}

std::optional<SettingsSection> settingsSectionFromRawValue(QStringView text)
{
    for (const SettingsSectionName &name : settingsSections) {
        if (text == QStringView(name.rawValue))
            return name.section;
    }
    return std::nullopt;
}
