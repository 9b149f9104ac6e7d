#pragma once

#include "app/StatusBar.h"

#include <QIcon>
#include <QObject>
#include <QString>
#include <QSystemTrayIcon>

class AppStateController;
class SettingsManager;

// The tray icon, showing whether the vault is locked, capture paused or a
// private session running. A click, like a request to open the panel, only
// logs until the status menu and the panel exist.
class StatusItem final : public QObject, public StatusBar {
    Q_OBJECT
    Q_DISABLE_COPY(StatusItem)

public:
    StatusItem(AppStateController &appState, SettingsManager &settings, QObject *parent = nullptr);

    // The symbol for a state: locked, then paused, then private, else the
    // user's choice.
    static QString symbolName(
        bool isUnlocked, bool isPaused, bool isSecureModeActive, const QString &menubarIconName);

    void openPanel() override;

    QString shownSymbolName() const { return m_shownSymbolName; }
    QIcon icon() const { return m_trayIcon.icon(); }

private:
    void updateStatusIcon();
    void show(const QString &symbol);

    AppStateController &m_appState;
    SettingsManager &m_settings;
    QSystemTrayIcon m_trayIcon;
    QString m_shownSymbolName;
};
