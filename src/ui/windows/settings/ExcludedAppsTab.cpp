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
    const int currentBefore = currentRow();
    m_rows.setApps(apps);
    QSet<QUuid> shown;
    for (const ExcludedApp &app : apps) {
        if (m_selection.contains(app.id))
            shown.insert(app.id);
    }
    setSelection(shown);
    if (std::ranges::find(apps, m_current, &ExcludedApp::id) == apps.end())
        m_current = QUuid();
    if (currentRow() != currentBefore)
        emit currentRowChanged();
}

void ExcludedAppsTab::setSelection(const QSet<QUuid> &selection)
{
    if (selection == m_selection)
        return;
    m_selection = selection;
    m_rows.setSelection(selection);
    emit selectionChanged();
}

int ExcludedAppsTab::currentRow() const
{
    const QList<ExcludedApp> &apps = m_rows.apps();
    const auto current = std::ranges::find(apps, m_current, &ExcludedApp::id);
    return current == apps.end() ? -1 : int(current - apps.begin());
}

void ExcludedAppsTab::setCurrent(const QUuid &id)
{
    const int before = currentRow();
    m_current = id;
    if (currentRow() != before)
        emit currentRowChanged();
}

void ExcludedAppsTab::selectRow(int row, int modifiers)
{
    const QList<ExcludedApp> &apps = m_rows.apps();
    if (row < 0 || row >= apps.size())
        return;
    const QUuid id = apps.at(row).id;
    setCurrent(id);
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

void ExcludedAppsTab::stepRow(int by, int modifiers)
{
    const int count = int(m_rows.apps().size());
    if (count == 0)
        return;
    const int current = currentRow();
    const int row = current < 0 ? (by > 0 ? 0 : count - 1) : std::clamp(current + by, 0, count - 1);
    selectRow(row, modifiers & Qt::ShiftModifier);
}

void ExcludedAppsTab::selectCurrentRow(int modifiers)
{
    selectRow(std::max(currentRow(), 0), modifiers);
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
    // The keyboard stays where it was: on the next row left, else the one
    // before.
    QUuid current = m_current;
    if (removed.contains(current)) {
        const auto at = std::ranges::find(apps, current, &ExcludedApp::id);
        const auto kept = [&removed](const ExcludedApp &app) { return !removed.contains(app.id); };
        const auto after = std::find_if(at, apps.end(), kept);
        const auto before = std::find_if(std::make_reverse_iterator(at), apps.rend(), kept);
        current = after != apps.end() ? after->id : before != apps.rend() ? before->id : QUuid();
    }
    apps.removeIf([&removed](const ExcludedApp &app) { return removed.contains(app.id); });
    settings.setExcludedApps(apps);
    setSelection(m_selection - removed);
    setCurrent(current);
}
