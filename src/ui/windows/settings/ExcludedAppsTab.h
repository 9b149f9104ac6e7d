#pragma once

#include "ui/windows/settings/ExcludedAppRows.h"
#include "ui/windows/settings/SettingsWindowContext.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QUuid>
#include <QtQmlIntegration>

// The Excluded Apps section's own logic: the list as the settings hold it,
// the selected rows, adding an application from its launcher file and
// removing rows. Made by the view each time the section is shown.
class ExcludedAppsTab : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_DISABLE_COPY(ExcludedAppsTab)
    // Set once, by the view.
    Q_PROPERTY(SettingsWindowContext *context READ context WRITE setContext NOTIFY contextChanged)
    Q_PROPERTY(QAbstractListModel *rows READ rows CONSTANT)
    Q_PROPERTY(bool hasSelection READ hasSelection NOTIFY selectionChanged)

public:
    explicit ExcludedAppsTab(QObject *parent = nullptr);

    SettingsWindowContext *context() const { return m_context; }
    void setContext(SettingsWindowContext *context);
    QAbstractListModel *rows() { return &m_rows; }
    const QSet<QUuid> &selection() const { return m_selection; }
    bool hasSelection() const { return !m_selection.isEmpty(); }

    // A click on a row: alone it selects only that row; with Ctrl it adds or
    // takes away the row; with Shift it selects the rows up to the last one
    // clicked.
    Q_INVOKABLE void selectRow(int row, int modifiers);
    // Asks for an application's launcher file and adds the application.
    Q_INVOKABLE void addExcludedApps();
    // Adds the application the launcher file at path describes, unless it is
    // no application or one already listed.
    void addApplicationAt(const QString &path);
    Q_INVOKABLE void deleteSelectedApps();
    // The row menu's Remove: only that row, whatever is selected.
    Q_INVOKABLE void removeExcludedApp(int row);
    void removeExcludedApps(const QSet<QUuid> &ids);

signals:
    void contextChanged();
    void selectionChanged();

private:
    void showApps(const QList<ExcludedApp> &apps);
    void setSelection(const QSet<QUuid> &selection);

    QPointer<SettingsWindowContext> m_context;
    ExcludedAppRows m_rows;
    QSet<QUuid> m_selection;
    QUuid m_anchor;
};
