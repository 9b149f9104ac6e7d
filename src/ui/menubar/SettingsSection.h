#pragma once

#include "base/RawValueTable.h"

#include <array>
#include <utility>

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

template<> struct RawValueTable<SettingsSection> {
    static constexpr std::array<std::pair<SettingsSection, QStringView>, 7> entries {{
        {SettingsSection::general, u"general"},
        {SettingsSection::clipboard, u"clipboard"},
        {SettingsSection::security, u"security"},
        {SettingsSection::backup, u"backup"},
        {SettingsSection::appearance, u"appearance"},
        {SettingsSection::excluded, u"excluded"},
        {SettingsSection::about, u"about"},
    }};
};
