#pragma once

#include "records/ExcludedApp.h"

#include <QAbstractListModel>
#include <QList>
#include <QSet>
#include <QtQmlIntegration>

class InstalledApplications;

// The rows of the excluded-apps list: each application's name, identifier
// and icon, and whether the row is selected.
class ExcludedAppRows : public QAbstractListModel {
    Q_OBJECT
    QML_ANONYMOUS
    Q_DISABLE_COPY(ExcludedAppRows)

public:
    enum Role {
        NameRole = Qt::UserRole + 1,
        BundleIdentifierRole,
        // The installed application's icon; empty when it is not installed.
        IconRole,
        SelectedRole,
    };

    explicit ExcludedAppRows(QObject *parent = nullptr);

    // applications must outlive this model.
    void setApplications(InstalledApplications *applications) { m_applications = applications; }
    void setApps(const QList<ExcludedApp> &apps);
    const QList<ExcludedApp> &apps() const { return m_apps; }
    void setSelection(const QSet<QUuid> &selection);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    InstalledApplications *m_applications = nullptr;
    QList<ExcludedApp> m_apps;
    QSet<QUuid> m_selection;
};
