#include "ui/windows/settings/ExcludedAppRows.h"

#include "platform/InstalledApplications.h"

ExcludedAppRows::ExcludedAppRows(QObject *parent) : QAbstractListModel(parent)
{
}

void ExcludedAppRows::setApps(const QList<ExcludedApp> &apps)
{
    beginResetModel();
    m_apps = apps;
    endResetModel();
}

void ExcludedAppRows::setSelection(const QSet<QUuid> &selection)
{
    if (selection == m_selection)
        return;
    m_selection = selection;
    if (!m_apps.isEmpty())
        emit dataChanged(index(0), index(int(m_apps.size()) - 1), {SelectedRole});
}

int ExcludedAppRows::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_apps.size());
}

QVariant ExcludedAppRows::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const ExcludedApp &app = m_apps.at(index.row());
    switch (role) {
    case NameRole:
        return app.name;
    case BundleIdentifierRole:
        return app.bundleIdentifier;
    case IconRole: {
        // Looked up each time: the application may have come or gone.
        const auto installed
            = m_applications ? m_applications->application(app.bundleIdentifier) : std::nullopt;
        return installed ? installed->iconName : QString();
    }
    case SelectedRole:
        return m_selection.contains(app.id);
    default:
        return {};
    }
}

QHash<int, QByteArray> ExcludedAppRows::roleNames() const
{
    return {{NameRole, "name"}, {BundleIdentifierRole, "bundleIdentifier"}, {IconRole, "iconName"},
        {SelectedRole, "selected"}};
}
