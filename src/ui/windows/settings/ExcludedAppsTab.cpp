#include "ui/windows/settings/ExcludedAppsTab.h"

#include "platform/InstalledApplications.h"
#include "platform/OpenDialogs.h"
#include "settings/SettingsManager.h"

#include <QFileDialog>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

ExcludedAppsTab::ExcludedAppsTab(QObject *parent) : QObject(parent)
{
}

void ExcludedAppsTab::setContext(SettingsWindowContext *context)
{
    if (m_context || !context)
        return;
    m_context = context;
    m_rows.setApplications(&context->applications());
    SettingsManager &settings = context->settings();
    // A restore changes the list behind the section's back.
    connect(&settings, &SettingsManager::excludedAppsChanged, this, &ExcludedAppsTab::showApps);
    showApps(settings.excludedApps());
    emit contextChanged();
}

void ExcludedAppsTab::showApps(const QList<ExcludedApp> &apps)
{
    m_rows.setApps(apps);
    QSet<QUuid> shown;
    for (const ExcludedApp &app : apps) {
        if (m_selection.contains(app.id))
            shown.insert(app.id);
    }
    setSelection(shown);
}

void ExcludedAppsTab::setSelection(const QSet<QUuid> &selection)
{
    if (selection == m_selection)
        return;
    m_selection = selection;
    m_rows.setSelection(selection);
    emit selectionChanged();
}

void ExcludedAppsTab::selectRow(int row, int modifiers)
{
    const QList<ExcludedApp> &apps = m_rows.apps();
    if (row < 0 || row >= apps.size())
        return;
    const QUuid id = apps.at(row).id;
    const auto anchor = std::ranges::find(apps, m_anchor, &ExcludedApp::id);
    if (modifiers & Qt::ShiftModifier && anchor != apps.end()) {
        const qsizetype from = std::min(qsizetype(anchor - apps.begin()), qsizetype(row));
        const qsizetype to = std::max(qsizetype(anchor - apps.begin()), qsizetype(row));
        QSet<QUuid> range;
        for (qsizetype i = from; i <= to; ++i)
            range.insert(apps.at(i).id);
        setSelection(range);
        return;
    }
    m_anchor = id;
    if (modifiers & Qt::ControlModifier) {
        QSet<QUuid> toggled = m_selection;
        if (!toggled.remove(id))
            toggled.insert(id);
        setSelection(toggled);
        return;
    }
    setSelection({id});
}

void ExcludedAppsTab::addExcludedApps()
{
    const QPointer<ExcludedAppsTab> self(this);
    QFileDialog dialog(
        nullptr, QString(), m_context->applications().applicationsFolder(), u"Applications (*.desktop)"_s);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (!OpenDialogs::accepted(dialog) || dialog.selectedFiles().isEmpty())
        return;
    // The window may have closed under the dialog.
    if (self && m_context)
        addApplicationAt(dialog.selectedFiles().constFirst());
}

void ExcludedAppsTab::addApplicationAt(const QString &path)
{
    const std::optional<InstalledApplications::Application> application
        = m_context->applications().applicationAt(path);
    if (!application || application->bundleIdentifier.isEmpty())
        return;
    SettingsManager &settings = m_context->settings();
    QList<ExcludedApp> apps = settings.excludedApps();
    if (std::ranges::find(apps, application->bundleIdentifier, &ExcludedApp::bundleIdentifier) != apps.end())
        return;
    QString name = application->name;
    if (name.isEmpty()) {
        name = QFileInfo(path).fileName();
        name.chop(qsizetype(sizeof(".desktop") - 1));
    }
    apps.append({QUuid::createUuid(), application->bundleIdentifier, name});
    settings.setExcludedApps(apps);
}

void ExcludedAppsTab::deleteSelectedApps()
{
    removeExcludedApps(m_selection);
}

void ExcludedAppsTab::removeExcludedApp(int row)
{
    if (row >= 0 && row < m_rows.apps().size())
        removeExcludedApps({m_rows.apps().at(row).id});
}

void ExcludedAppsTab::removeExcludedApps(const QSet<QUuid> &ids)
{
    if (ids.isEmpty())
        return;
    // The ids may be the selection itself, which the write below changes.
    const QSet<QUuid> removed = ids;
    SettingsManager &settings = m_context->settings();
    QList<ExcludedApp> apps = settings.excludedApps();
    apps.removeIf([&removed](const ExcludedApp &app) { return removed.contains(app.id); });
    settings.setExcludedApps(apps);
    setSelection(m_selection - removed);
}
