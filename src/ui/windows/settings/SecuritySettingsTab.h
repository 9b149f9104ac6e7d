#pragma once

#include "ui/windows/settings/SettingsWindowContext.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QtQmlIntegration>

// The Security section's own logic: the two settings that keep a copy of the
// master key in the keychain (the passcode one behind the account password),
// the secret-handling choice and the erase-all confirmation. Made by the view
// each time the section is shown.
class SecuritySettingsTab : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_DISABLE_COPY(SecuritySettingsTab)
    // Set once, by the view.
    Q_PROPERTY(SettingsWindowContext *context READ context WRITE setContext NOTIFY contextChanged)
    // Null while there is nothing to show.
    Q_PROPERTY(QString touchIDError READ touchIDError NOTIFY touchIDErrorChanged)
    Q_PROPERTY(bool touchIDEnabled READ touchIDEnabled NOTIFY touchIDEnabledChanged)
    Q_PROPERTY(bool biometricsAvailable READ biometricsAvailable NOTIFY touchIDEnabledChanged)
    Q_PROPERTY(
        bool showResetConfirm READ showResetConfirm WRITE setShowResetConfirm NOTIFY showResetConfirmChanged)
    // The setting's raw text.
    Q_PROPERTY(
        QString secretHandling READ secretHandling WRITE setSecretHandling NOTIFY secretHandlingChanged)
    Q_PROPERTY(QStringList secretHandlingOptions READ secretHandlingOptions CONSTANT)
    Q_PROPERTY(QString eraseAllAlertMessage READ eraseAllAlertMessage CONSTANT)

public:
    static inline const QString passcodeOffReason = QStringLiteral("turn off the Vantorell passcode");

    explicit SecuritySettingsTab(QObject *parent = nullptr);

    SettingsWindowContext *context() const { return m_context; }
    void setContext(SettingsWindowContext *context);
    QString touchIDError() const { return m_touchIDError; }
    bool touchIDEnabled() const;
    bool biometricsAvailable() const;
    bool showResetConfirm() const { return m_showResetConfirm; }
    void setShowResetConfirm(bool show);
    QString secretHandling() const;
    void setSecretHandling(const QString &raw);
    static QStringList secretHandlingOptions();
    Q_INVOKABLE static QString secretHandlingOptionLabel(const QString &raw);
    static QString eraseAllAlertMessage();

    // Off asks for the account password first; on deletes the raw key at once.
    Q_INVOKABLE void setRequirePasscode(bool required);
    Q_INVOKABLE void setUseBiometrics(bool use);
    Q_INVOKABLE void confirmEraseAll();

    // The prompt's answer; it outlives the tab, so it works on the context.
    static void passcodeOffReply(SettingsWindowContext &context, bool authenticated);

signals:
    void contextChanged();
    void touchIDErrorChanged();
    void touchIDEnabledChanged();
    void showResetConfirmChanged();
    void secretHandlingChanged();

private:
    void setTouchIDError(const QString &error);
    static void turnPasscodeOff(SettingsWindowContext &context);

    QPointer<SettingsWindowContext> m_context;
    QString m_touchIDError;
    bool m_showResetConfirm = false;
};
