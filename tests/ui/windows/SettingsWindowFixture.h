#pragma once

#include "app/AppStateController.h"
#include "app/SecurityController.h"
#include "crypto/EncryptionService.h"
#include "crypto/KeyManager.h"
#include "paste/AutoPaste.h"
#include "support/FakeAlerts.h"
#include "support/FakeDeviceAuth.h"
#include "support/FakeIdleTime.h"
#include "support/FakeInstalledApplications.h"
#include "support/FakeKeyCodeMap.h"
#include "support/FakeKeySender.h"
#include "support/FakeKeychain.h"
#include "support/FakeWorkspace.h"
#include "support/StoreFixture.h"
#include "ui/windows/settings/SettingsWindowContext.h"
#include "update/UpdateChecker.h"

#include <memory>

// The settings window's services: a real key manager over a fake keychain
// holding an unlocked vault's key, a real store and settings in a temporary
// folder, and the security controller only when asked for.
struct SettingsWindowFixture {
    explicit SettingsWindowFixture(bool withSecurityController = true)
    {
        keychain.items.insert(KeyManager::rawKeyAccount, QByteArray(KeyManager::keySize, 'k'));
        (void)keys.unlockFromKeychain();
        keychain.items.clear();
        keychain.calls.clear();
        if (withSecurityController) {
            security = std::make_unique<SecurityController>(keys, appState, store.settings, deviceAuth, idle);
            appState.configure(nullptr, store.store, store.snippets, security.get(), store.settings);
        }
    }

    SettingsManager &settings() { return store.settings; }

    FakeKeychain keychain;
    FakeDeviceAuth deviceAuth;
    KeyManager keys {keychain, deviceAuth};
    EncryptionService encryption {keys.masterKey()};
    StoreFixture store {encryption};
    FakeIdleTime idle;
    AppStateController appState;
    std::unique_ptr<SecurityController> security;
    FakeKeySender keySender;
    FakeWorkspace workspace;
    FakeAlerts alerts;
    AutoPaste autoPaste {keySender, workspace, alerts};
    UpdateChecker updateChecker;
    FakeKeyCodeMap keyCodeMap;
    FakeInstalledApplications applications;
    SettingsWindowContext context {{appState, store.settings, deviceAuth, autoPaste, keys, updateChecker,
        keyCodeMap, workspace, applications}};
};
