#pragma once

#include "settings/SettingsManager.h"
#include "support/FakeDockPresence.h"
#include "support/FakeLoginItem.h"
#include "support/OpenStore.h"

// An open store, its snippets and the settings, all in a fresh temporary folder.
struct StoreFixture : OpenStore {
    explicit StoreFixture(const EncryptionService &encryption, const Clock &clock = Clock::system())
        : OpenStore(encryption, clock),
          settings(home.filePath(QStringLiteral("Vantorell.conf")), loginItem, dock)
    {
    }

    FakeLoginItem loginItem;
    FakeDockPresence dock;
    SettingsManager settings;
};
