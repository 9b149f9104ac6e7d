#include "ui/windows/settings/SettingsViewModel.h"

#include "ui/design/DesignTokens.h"

#include <QVariantMap>

using namespace Qt::StringLiterals;

namespace {

// The desktop has no named system colours; these are the usual shades.
const QColor systemGrey(0x8e, 0x8e, 0x93);
const QColor systemBlue(0x00, 0x7a, 0xff);
const QColor systemTeal(0x30, 0xb0, 0xc7);
const QColor systemPurple(0xaf, 0x52, 0xde);
const QColor systemOrange(0xff, 0x95, 0x00);

} // namespace

SettingsViewModel::Section SettingsViewModel::section(SettingsSection section)
{
    switch (section) {
    case SettingsSection::general:
        return {u"General"_s, u"Startup, shortcut and updates."_s, u"gearshape.fill"_s, systemGrey};
    case SettingsSection::clipboard:
        return {u"Clipboard"_s, u"How much history Vantorell keeps, and what it captures."_s,
            u"list.clipboard.fill"_s, systemBlue};
    case SettingsSection::security:
        return {u"Security & Privacy"_s, u"Passcode, auto-lock, and how secrets are handled."_s,
            u"lock.shield.fill"_s, DesignTokens::success()};
    case SettingsSection::backup:
        return {u"Backup & Restore"_s,
            u"Move your history and snippets to another computer, or keep a safe copy."_s,
            u"externaldrive.fill"_s, systemTeal};
    case SettingsSection::appearance:
        return {u"Appearance"_s, u"The icon Vantorell shows in your system tray."_s, u"paintbrush.fill"_s,
            systemPurple};
    case SettingsSection::excluded:
        return {u"Excluded Apps"_s, u"Apps whose copies are never recorded."_s, u"xmark.app.fill"_s,
            systemOrange};
    case SettingsSection::about:
        return {u"About"_s, u"Version, credits and support."_s, u"info.circle.fill"_s, systemGrey};
    }
    return {};
}

SettingsViewModel::SettingsViewModel(QObject *parent) : QObject(parent)
{
}

QString SettingsViewModel::selection() const
{
    return rawValue(m_selection);
}

void SettingsViewModel::setSelection(const QString &raw)
{
    const SettingsSection selection = fromRawValue<SettingsSection>(raw).value_or(SettingsSection::general);
    if (selection == m_selection)
        return;
    m_selection = selection;
    emit selectionChanged();
}

QVariantList SettingsViewModel::sections()
{
    QVariantList list;
    for (const auto &[value, raw] : RawValueTable<SettingsSection>::entries) {
        const Section shown = section(value);
        list.append(QVariantMap {{u"raw"_s, raw.toString()}, {u"title"_s, shown.title},
            {u"symbol"_s, shown.symbol}, {u"badge"_s, shown.badge}});
    }
    return list;
}
