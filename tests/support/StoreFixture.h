#pragma once

#include "settings/SettingsManager.h"
#include "store/SecureStorageManager.h"
#include "store/SnippetManager.h"
#include "support/AwaitFuture.h"
#include "support/FakeDockPresence.h"
#include "support/FakeLoginItem.h"

#include <QCoreApplication>
#include <QTemporaryDir>

// An open store, its snippets and the settings, all in a fresh temporary folder.
struct StoreFixture {
    StoreFixture(const EncryptionService &encryption, const Clock &clock)
        : store(encryption, clock), snippets(store, clock),
          settings(home.filePath(QStringLiteral("Vantorell.conf")), loginItem, dock)
    {
        awaitFuture(store.openDatabase());
    }

    // Lets queued steps and store continuations finish.
    void settle()
    {
        awaitFuture(store.entryCount());
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

    QTemporaryDir home;
    // Set before the store is made: it finds its folder there.
    bool dataHomeSet = qputenv("XDG_DATA_HOME", home.path().toUtf8());
    FakeLoginItem loginItem;
    FakeDockPresence dock;
    SecureStorageManager store;
    SnippetManager snippets;
    SettingsManager settings;
};
