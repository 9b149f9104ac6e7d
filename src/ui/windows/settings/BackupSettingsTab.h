#pragma once

#include "ui/windows/settings/SettingsWindowContext.h"

#include <QDate>
#include <QObject>
#include <QPointer>
#include <QtQmlIntegration>

// The Backup section's own logic: the password chosen for a new backup and
// its confirmation, starting a backup or a restore, and the outcome of the
// last one. Made by the view each time the section is shown; the work it
// starts goes on without it (BackupWork), and the next section shows what
// it could not.
class BackupSettingsTab : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_DISABLE_COPY(BackupSettingsTab)
    // Set once, by the view.
    Q_PROPERTY(SettingsWindowContext *context READ context WRITE setContext NOTIFY contextChanged)
    Q_PROPERTY(QString password READ password WRITE setPassword NOTIFY passwordChanged)
    Q_PROPERTY(QString confirm READ confirm WRITE setConfirm NOTIFY confirmChanged)
    // Whether the user can see the section: not once its window is closed.
    Q_PROPERTY(bool shown READ isShown WRITE setShown NOTIFY shownChanged)
    Q_PROPERTY(bool isWorking READ isWorking NOTIFY isWorkingChanged)
    // Null while there is no outcome to show.
    Q_PROPERTY(QString result READ result NOTIFY resultChanged)
    Q_PROPERTY(bool resultIsError READ resultIsError NOTIFY resultChanged)
    // Null while there is nothing to correct.
    Q_PROPERTY(QString validationMessage READ validationMessage NOTIFY validationChanged)
    Q_PROPERTY(bool canCreate READ canCreate NOTIFY validationChanged)

public:
    static constexpr qsizetype minimumPasswordLength = 8;

    explicit BackupSettingsTab(QObject *parent = nullptr);

    SettingsWindowContext *context() const { return m_context; }
    void setContext(SettingsWindowContext *context);
    QString password() const { return m_password; }
    void setPassword(const QString &password);
    QString confirm() const { return m_confirm; }
    void setConfirm(const QString &confirm);
    bool isShown() const { return m_isShown; }
    void setShown(bool shown);
    bool isWorking() const;
    QString result() const { return m_result; }
    bool resultIsError() const { return m_resultIsError; }
    QString validationMessage() const;
    bool canCreate() const;

    Q_INVOKABLE void backUp();
    Q_INVOKABLE void restore();

    static QString suggestedFileName(QDate date);

signals:
    void contextChanged();
    void shownChanged();
    void passwordChanged();
    void confirmChanged();
    void isWorkingChanged();
    void resultChanged();
    void validationChanged();

private:
    bool refusedInPrivateSession();
    void workingChanged();
    void showOutcome();
    void setResult(const QString &result, bool isError);

    QPointer<SettingsWindowContext> m_context;
    bool m_isShown = true;
    QString m_password;
    QString m_confirm;
    QString m_result;
    bool m_resultIsError = false;
};
