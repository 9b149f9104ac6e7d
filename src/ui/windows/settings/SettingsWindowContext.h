#pragma once

#include "ui/windows/settings/BackupWork.h"

#include <QObject>
#include <QUrl>
#include <QtQmlIntegration>

class AppStateController;
class AutoPaste;
class BackupDialogs;
class BackupOperations;
class DeviceAuth;
class InstalledApplications;
class KeyCodeMap;
class KeyManager;
class SettingsManager;
class UpdateChecker;
class Workspace;

// What the settings window works with beyond the shared state and settings:
// one object for the life of the window host, so work a tab starts (an
// authentication prompt, a backup) finishes after the tab or the window has
// gone.
// Main thread only.
class SettingsWindowContext final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Made by the application")
    Q_DISABLE_COPY(SettingsWindowContext)
    Q_PROPERTY(QObject *updateChecker READ updateCheckerObject CONSTANT)
    Q_PROPERTY(QObject *keyCodeMap READ keyCodeMapObject CONSTANT)

public:
    struct Services {
        AppStateController &appState;
        SettingsManager &settings;
        DeviceAuth &deviceAuth;
        AutoPaste &autoPaste;
        KeyManager &keyManager;
        UpdateChecker &updateChecker;
        KeyCodeMap &keyCodeMap;
        Workspace &workspace;
        InstalledApplications &applications;
        BackupOperations &backupOperations;
        BackupDialogs &backupDialogs;
    };

    // The settings window's root view; it takes this object as "context".
    static const QUrl rootView;

    explicit SettingsWindowContext(Services services, QObject *parent = nullptr);

    AppStateController &appState() const { return m_services.appState; }
    SettingsManager &settings() const { return m_services.settings; }
    DeviceAuth &deviceAuth() const { return m_services.deviceAuth; }
    AutoPaste &autoPaste() const { return m_services.autoPaste; }
    KeyManager &keyManager() const { return m_services.keyManager; }
    UpdateChecker &updateChecker() const { return m_services.updateChecker; }
    KeyCodeMap &keyCodeMap() const { return m_services.keyCodeMap; }
    Workspace &workspace() const { return m_services.workspace; }
    InstalledApplications &applications() const { return m_services.applications; }
    BackupOperations &backupOperations() const { return m_services.backupOperations; }
    BackupDialogs &backupDialogs() const { return m_services.backupDialogs; }
    BackupWork &backupWork() { return m_backupWork; }

private:
    QObject *updateCheckerObject() const;
    QObject *keyCodeMapObject() const;

    Services m_services;
    BackupWork m_backupWork;
};
