#pragma once

#include <functional>
#include <memory>

class AppStateController;
class SettingsManager;

// The tray side of the application, built by the menu bar once the services
// exist; the application only asks it to open the panel.
class StatusBar {
public:
    virtual ~StatusBar() = default;
    // Another start of the application asked to be shown.
    virtual void openPanel() = 0;
};

using StatusBarFactory = std::function<std::unique_ptr<StatusBar>(AppStateController &, SettingsManager &)>;
