#pragma once

#include "base/MainQueue.h"
#include "platform/RunningApplication.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <optional>

class Alerts;
class KeySender;
class Workspace;

// Brings the application the user worked in back to the front and types the
// paste chord into it, optionally followed by caret steps to the left. Runs
// on the main thread.
class AutoPaste final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(AutoPaste)

public:
    // From the pasteboard write to the permission check.
    static constexpr std::chrono::milliseconds handOverDelay {120};
    static constexpr std::chrono::milliseconds activationDelay {120};
    static constexpr std::chrono::milliseconds ownDelay {100};
    static constexpr std::chrono::milliseconds caretDelay {50};

    AutoPaste(KeySender &keySender, Workspace &workspace, Alerts &alerts,
        MainQueue &mainQueue = MainQueue::system(), QObject *parent = nullptr);

    bool hasPastePermission() const;
    void autoPaste(const std::optional<RunningApplication> &targetApp, int cursorBackSteps);
    void postPasteKeystroke(int cursorBackSteps);
    void moveCaretLeft(int steps);
    // The chord at once, with no activation and no caret steps.
    void pasteNow();
    // Where every "turn it on" button leads. No desktop pane grants
    // synthetic keys: the X server offers XTEST or it does not, so the user
    // is told how to switch it on.
    void openAccessibilitySettings();
    // Shown at most once by this object, which the application makes once
    // per run.
    void showPastePermissionAlert();

private:
    static bool isThisApplication(const RunningApplication &application);

    KeySender &m_keySender;
    Workspace &m_workspace;
    Alerts &m_alerts;
    MainQueue &m_mainQueue;
    bool m_pastePermissionAlertShown = false;
};
