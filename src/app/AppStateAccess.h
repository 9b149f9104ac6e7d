#pragma once

#include <QString>

class SecureStorageManager;

// What SecurityController reads and changes of the application state, its
// clipboard monitor and its store. The application state implements it.
class AppStateAccess {
public:
    virtual ~AppStateAccess() = default;

    virtual bool isUnlocked() const = 0;
    virtual void setUnlocked(bool unlocked) = 0;
    virtual void setShowUnlockPrompt(bool show) = 0;
    virtual void setShowOnboarding(bool show) = 0;
    virtual bool isSecureModeActive() const = 0;

    // Runs first when the vault locks, while the master key is still loaded:
    // what is written now is still sealed.
    virtual void prepareForLock() = 0;
    virtual void setSecureModeActive(bool active) = 0;

    // Empties the published history, snippets and paste stack, and the
    // search text.
    virtual void clearPublishedLists() = 0;

    // The store once the application is configured, else null.
    virtual SecureStorageManager *storageManager() const = 0;

    // Reads the history again from the store.
    virtual void reloadEntries() = 0;
    // Reads all snippets from the store; nothing without a snippet manager.
    virtual void loadSnippets() = 0;
    // Ends any pause of capture.
    virtual void resumeCapture() = 0;

    // Both do nothing without a clipboard monitor.
    virtual void stopMonitoring() = 0;
    // Forgets the last captured content, so the next copy is not taken for
    // a repeat of it.
    virtual void clearLastContentHash() = 0;

    // Why the store keeps nothing, shown where the history would be; empty
    // while it keeps what is copied.
    virtual void setDatabaseError(const QString &error) = 0;

    // Tells the user of a failure in an alert.
    virtual void raiseAlert(const QString &title, const QString &informativeText) = 0;

protected:
    AppStateAccess() = default;
    Q_DISABLE_COPY(AppStateAccess)
};
