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
#include "ui/windows/settings/BackupDialogs.h"
#include "ui/windows/settings/BackupOperations.h"
#include "ui/windows/settings/SettingsWindowContext.h"
#include "update/UpdateChecker.h"

#include <QPromise>

#include <memory>

// Answers the Backup section's questions as set, counting them; keeps what
// it was told.
struct FakeBackupDialogs final : BackupDialogs {
    std::optional<QString> chooseDestination(const QString &) override { return ++asked, destination; }
    std::optional<QString> chooseBackup() override { return ++asked, backup; }
    std::optional<QString> askBackupPassword(const QString &) override { return ++asked, password; }
    void showUnfinished(const QString &heading, const QString &result) override
    {
        headings.append(heading);
        told.append(result);
    }

    std::optional<QString> destination = QStringLiteral("/a.vtbackup");
    std::optional<QString> backup = QStringLiteral("/b.vtbackup");
    std::optional<QString> password = QStringLiteral("restore pass");
    int asked = 0;
    QStringList headings;
    QStringList told;
};

// Backup work that runs until the test finishes it; each call's path and
// password.
struct FakeBackupOperations final : BackupOperations {
    QFuture<Outcome<Written>> exportBackup(const QString &path, const QString &password) override
    {
        return start(exported, {path, password});
    }
    QFuture<Outcome<Restored>> importBackup(const QString &path, const QString &password) override
    {
        return start(imported, {path, password});
    }
    template<class T> QFuture<T> start(QPromise<T> &promise, const QStringList &call)
    {
        calls.append(call);
        promise = QPromise<T>();
        promise.start();
        return promise.future();
    }

    QPromise<Outcome<Written>> exported;
    QPromise<Outcome<Restored>> imported;
    QList<QStringList> calls;
};

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
    FakeBackupOperations backup;
    FakeBackupDialogs backupDialogs;
    SettingsWindowContext context {{appState, store.settings, deviceAuth, autoPaste, keys, updateChecker,
        keyCodeMap, workspace, applications, backup, backupDialogs}};
};
