#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>

class AppStateController;
class GlobalHotkey;
class SettingsManager;

// The one system-wide shortcut that opens the history menu at the pointer
// (the panel while locked). Registers the shortcut of the settings at once
// and again whenever it changes, and reports problems in hotkeyError.
class HotkeyManager final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(HotkeyManager)

public:
    // A new key and new modifiers recorded together register once.
    static constexpr std::chrono::milliseconds debounceInterval {60};

    HotkeyManager(AppStateController &appState, SettingsManager &settings, GlobalHotkey &hotkey,
        QObject *parent = nullptr);
    ~HotkeyManager() override;

    void registerHotkey();
    // The settings' modifier flags as the four modifier bits the platform
    // takes; every other bit dropped.
    static quint32 carbonModifiers(qint64 flags);

private:
    void handlePress();

    AppStateController &m_appState;
    SettingsManager &m_settings;
    GlobalHotkey &m_hotkey;
    bool m_registered = false;
    QTimer m_debounce;
};
