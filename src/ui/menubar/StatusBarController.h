#pragma once

#include "app/StatusBar.h"
#include "ui/menubar/SettingsSection.h"
#include "ui/menubar/StatusMenuActions.h"

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QQmlEngine>
#include <QString>
#include <QSystemTrayIcon>

#include <chrono>
#include <memory>
#include <optional>

class AppStateController;
class GlobalMouseMonitor;
class KeySender;
class MainPopoverModel;
class PanelWindow;
class Pasteboard;

class SettingsManager;
class WindowHost;
class Workspace;

// Every surface the user reaches the application through: the tray icon
// with its state symbol, the status menu it opens (the panel while the vault
// is locked), the panel, and the settings and snippet windows. Installs the
// application state's hooks, runs the status menu's commands and closes
// everything when the vault locks. Main thread only.
class StatusBarController final : public QObject, public StatusBar, public StatusMenuActions {
    Q_OBJECT
    Q_DISABLE_COPY(StatusBarController)

public:
    // The desktop services the surfaces use.
    struct Desktop {
        Workspace &workspace;
        Pasteboard &pasteboard;
        const KeySender &keySender;
        GlobalMouseMonitor &mouseMonitor;
    };

    // How long Quit waits for the store to answer the saves it starts.
    static constexpr std::chrono::seconds quitSaveBound {2};

    StatusBarController(
        AppStateController &appState, SettingsManager &settings, Desktop desktop, QObject *parent = nullptr);
    ~StatusBarController() override;

    // The symbol for a state: locked, then paused, then private, else the
    // user's choice.
    static QString symbolName(
        bool isUnlocked, bool isPaused, bool isSecureModeActive, const QString &menubarIconName);

    // A click on the tray icon: the status menu at the pointer in place of
    // the panel, or the panel while the vault is locked.
    void handleClick();
    // The global hot key: the status menu at the pointer, or the panel while
    // the vault is locked.
    void presentClipboardMenuAtCursor();
    // Under the tray icon, or at the pointer when its place is unknown.
    void showPanel();
    void openPanel() override;
    void dismissPanel();
    bool isPanelKey() const;
    void openSettingsWindow(std::optional<SettingsSection> section);
    // A new menu built from the state of this moment.
    std::unique_ptr<QMenu> buildStatusMenu();

    void openAccessibilityFromMenu() override;
    void pasteHistoryItem(const QVariant &payload) override;
    void pasteSnippetItem(const QVariant &payload) override;
    void openSnippetManagerWindow() override;
    void transformClipboard(const QVariant &payload) override;
    void ocrClipboardImage() override;
    void pauseCapture(const QVariant &payload) override;
    void resumeCapture() override;
    void toggleSecureMode() override;
    void clearHistoryFromMenu() override;
    void panicClearFromMenu() override;
    void openSettingsFromMenu() override;
    void openPanelFromMenu() override;
    void lockApp() override;
    // Saves the Snippets window's unsaved edits first and waits for the
    // store; a refusal keeps the program running, and an alert says why.
    void quitApp() override;

    QString shownSymbolName() const { return m_shownSymbolName; }
    QSystemTrayIcon &trayIcon() { return m_trayIcon; }
    PanelWindow &panel() { return *m_panel; }
    MainPopoverModel &popover() { return *m_popover; }
    WindowHost &windows() { return *m_windows; }
    // The status menu while it is open.
    QMenu *openMenu() const { return m_openMenu; }

protected:
    // The settings command, Ctrl+comma, in every window of the application.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void closePanelOnClicksElsewhere();
    void installHooks();
    void observeState();
    void updateStatusIcon();
    void show(const QString &symbol);
    void popUpMenuAtPointer();
    void handleLock();
    void recordActivity();
    void rememberFrontApplication();

    AppStateController &m_appState;
    SettingsManager &m_settings;
    Desktop m_desktop;
    QSystemTrayIcon m_trayIcon;
    QString m_shownSymbolName;
    QQmlEngine m_engine;
    std::unique_ptr<MainPopoverModel> m_popover;
    std::unique_ptr<PanelWindow> m_panel;
    std::unique_ptr<WindowHost> m_windows;
    QPointer<QMenu> m_openMenu;
    bool m_quitWaiting = false;
};
