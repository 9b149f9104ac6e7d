#pragma once

#include "app/AppStateController.h"
#include "app/SecurityController.h"
#include "crypto/EncryptionService.h"
#include "crypto/KeyManager.h"
#include "support/FakeClock.h"
#include "support/FakeDeviceAuth.h"
#include "support/FakeIdleTime.h"
#include "support/FakeKeySender.h"
#include "support/FakeKeychain.h"
#include "support/FakeMainQueue.h"
#include "support/StoreFixture.h"
#include "ui/menubar/MainPopoverModel.h"

#include <QCoreApplication>
#include <QQuickItem>

// The first item of that name in the tree under root.
inline QQuickItem *findItem(QQuickItem *root, const QString &name)
{
    if (!root || root->objectName() == name)
        return root;
    for (QQuickItem *child : root->childItems()) {
        if (QQuickItem *found = findItem(child, name))
            return found;
    }
    return nullptr;
}

// The panel's model over the real application state, security controller
// and store, on fake desktop services, with no vault yet.
struct PanelFixture {
    PanelFixture()
    {
        appState.configure(nullptr, store.store, store.snippets, &security, store.settings);
        appState.setShowOnboarding(true);
    }

    // A vault under passcode, locked.
    bool createLockedVault(const QString &passcode)
    {
        if (!security.completePasscodeSetup(passcode))
            return false;
        security.lockNow();
        store.settle();
        return !appState.isUnlocked();
    }

    FakeClock clock;
    FakeKeychain keychain;
    FakeDeviceAuth deviceAuth;
    FakeIdleTime idleTime;
    FakeKeySender keySender;
    FakeMainQueue mainQueue;
    KeyManager keys {keychain, deviceAuth};
    EncryptionService encryption {keys.masterKey()};
    StoreFixture store {encryption, clock};
    AppStateController appState {clock, mainQueue};
    SecurityController security {keys, appState, store.settings, deviceAuth, idleTime, clock};
    MainPopoverModel panel {appState, keySender, mainQueue};
};
