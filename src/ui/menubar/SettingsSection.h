#pragma once

#include <QString>

#include <array>
#include <optional>
#include <string_view>

// A section of the settings window, in sidebar order; its raw text is the
// case name.
enum class SettingsSection : int {
    general,
    clipboard,
    security,
    backup,
    appearance,
    excluded,
    about,
};

struct SettingsSectionName {
    SettingsSection section;
    std::u16string_view rawValue;
};

inline constexpr std::array<SettingsSectionName, 7> settingsSections {{
    {SettingsSection::general, u"general"},
    {SettingsSection::clipboard, u"clipboard"},
    {SettingsSection::security, u"security"},
    {SettingsSection::backup, u"backup"},
    {SettingsSection::appearance, u"appearance"},
    {SettingsSection::excluded, u"excluded"},
    {SettingsSection::about, u"about"},
}};

QString rawValue(SettingsSection section);

// Exact, case-sensitive match of the whole text.
std::optional<SettingsSection> settingsSectionFromRawValue(QStringView text);
