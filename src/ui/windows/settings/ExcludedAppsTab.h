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
    // The row the keyboard is on, the one assistive tools report as focused:
    // the last one clicked or stepped to; -1 for none.
    Q_PROPERTY(int currentRow READ currentRow NOTIFY currentRowChanged)

public:
    explicit ExcludedAppsTab(QObject *parent = nullptr);

    SettingsWindowContext *context() const { return m_context; }
    void setContext(SettingsWindowContext *context);
    QAbstractListModel *rows() { return &m_rows; }
    const QSet<QUuid> &selection() const { return m_selection; }
    bool hasSelection() const { return !m_selection.isEmpty(); }
    int currentRow() const;

    // A click on a row: alone it selects only that row; with Ctrl it adds or
    // takes away the row; with Shift it selects the rows up to the last one
    // clicked.
    Q_INVOKABLE void selectRow(int row, int modifiers);
    // Up (-1) or Down (1): selects the next row as a click does, with Shift
    // extending the selection; from no row, Down takes the first and Up the
    // last.
    Q_INVOKABLE void stepRow(int by, int modifiers);
    // Space: a click on the keyboard's row, or on the first row when there is
    // none.
    Q_INVOKABLE void selectCurrentRow(int modifiers);
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
    void currentRowChanged();

private:
    void showApps(const QList<ExcludedApp> &apps);
    void setSelection(const QSet<QUuid> &selection);
    void setCurrent(const QUuid &id);

    QPointer<SettingsWindowContext> m_context;
    ExcludedAppRows m_rows;
    QSet<QUuid> m_selection;
    QUuid m_anchor;
    QUuid m_current;
};
