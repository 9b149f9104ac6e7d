#pragma once

#include "app/AppStateController.h"
#include "crypto/EncryptionService.h"
#include "settings/SettingsManager.h"
#include "store/SecureStorageManager.h"
#include "store/SnippetManager.h"
#include "support/FakeDockPresence.h"
#include "support/FakeLoginItem.h"

#include <QDir>
#include <QTemporaryDir>

// A store, its snippets, settings and application state in a fresh folder
// under the home folder, where the real store's writes pay for real syncs.
struct BenchVault {
    explicit BenchVault(const EncryptionService &encryption, qint64 historyLimit) : store(encryption)
    {
        qputenv("XDG_DATA_HOME", home.path().toUtf8());
        store.openDatabase().waitForFinished();
        settings.setMaxHistoryCount(historyLimit);
        state.configure(nullptr, store, snippets, nullptr, settings);
        state.setUnlocked(true);
    }

    QTemporaryDir home {QDir::home().filePath(QStringLiteral(".vantorell-bench-XXXXXX"))};
    FakeLoginItem loginItem;
    FakeDockPresence dock;
    SettingsManager settings {home.filePath(QStringLiteral("Vantorell.conf")), loginItem, dock};
    SecureStorageManager store;
    SnippetManager snippets {store};
    AppStateController state;
};
