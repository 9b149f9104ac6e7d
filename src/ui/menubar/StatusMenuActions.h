#pragma once

#include <QVariant>

// What the items of the status menu do. Those taking a payload get the
// chosen item's data and do nothing when it is not of the kind they expect.
class StatusMenuActions {
public:
    virtual ~StatusMenuActions() = default;

    virtual void openAccessibilityFromMenu() = 0;
    // The entry's id.
    virtual void pasteHistoryItem(const QVariant &payload) = 0;
    // The Snippet.
    virtual void pasteSnippetItem(const QVariant &payload) = 0;
    virtual void openSnippetManagerWindow() = 0;
    // The transform's raw value.
    virtual void transformClipboard(const QVariant &payload) = 0;
    virtual void ocrClipboardImage() = 0;
    // Minutes; 0 or less until resumed.
    virtual void pauseCapture(const QVariant &payload) = 0;
    virtual void resumeCapture() = 0;
    virtual void toggleSecureMode() = 0;
    virtual void clearHistoryFromMenu() = 0;
    virtual void panicClearFromMenu() = 0;
    virtual void openSettingsFromMenu() = 0;
    virtual void openPanelFromMenu() = 0;
    virtual void lockApp() = 0;
    virtual void quitApp() = 0;

protected:
    StatusMenuActions() = default;
    Q_DISABLE_COPY(StatusMenuActions)
};
