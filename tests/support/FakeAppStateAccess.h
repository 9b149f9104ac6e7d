#pragma once

#include "app/AppStateAccess.h"

#include <QString>
#include <QStringList>

#include <functional>

// Application state for SecurityController tests: holds the flags and
// journals every call in order.
class FakeAppStateAccess final : public AppStateAccess {
public:
    bool isUnlocked() const override { return unlocked; }
    void setUnlocked(bool value) override
    {
        unlocked = value;
        note(u"unlocked=", value);
    }
    void setShowUnlockPrompt(bool value) override
    {
        showUnlockPrompt = value;
        note(u"showUnlockPrompt=", value);
    }
    void setShowOnboarding(bool value) override
    {
        showOnboarding = value;
        note(u"showOnboarding=", value);
    }
    bool isSecureModeActive() const override { return secureModeActive; }
    void setSecureModeActive(bool value) override
    {
        secureModeActive = value;
        note(u"secureModeActive=", value);
    }
    void prepareForLock() override
    {
        calls << QStringLiteral("prepareForLock");
        if (onPrepareForLock)
            onPrepareForLock();
    }
    void clearPublishedLists() override { calls << QStringLiteral("clearPublishedLists"); }
    SecureStorageManager *storageManager() const override { return store; }
    void reloadEntries() override { calls << QStringLiteral("reloadEntries"); }
    void loadSnippets() override { calls << QStringLiteral("loadSnippets"); }
    void resumeCapture() override { calls << QStringLiteral("resumeCapture"); }
    void stopMonitoring() override { calls << QStringLiteral("stopMonitoring"); }
    void clearLastContentHash() override { calls << QStringLiteral("clearLastContentHash"); }
    void setDatabaseError(const QString &error) override { databaseError = error; }
    void raiseAlert(const QString &title, const QString &informativeText) override
    {
        alerts << title + u'|' + informativeText;
    }

    bool unlocked = false;
    bool showUnlockPrompt = false;
    bool showOnboarding = false;
    bool secureModeActive = false;
    SecureStorageManager *store = nullptr;
    QString databaseError;
    QStringList calls;
    // Each alert's title and text, joined by "|".
    QStringList alerts;
    std::function<void()> onPrepareForLock;

private:
    void note(QStringView name, bool value)
    {
        calls << name.toString() + (value ? QStringLiteral("true") : QStringLiteral("false"));
    }
};
