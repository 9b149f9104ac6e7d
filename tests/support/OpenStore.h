#pragma once

#include "store/SecureStorageManager.h"
#include "store/SnippetManager.h"
#include "support/AwaitFuture.h"

#include <QCoreApplication>
#include <QTemporaryDir>

// The store's folder is the application's name under the data home.
inline bool useAsDataHome(const QTemporaryDir &home)
{
    QCoreApplication::setApplicationName(QStringLiteral("Vantorell"));
    return qputenv("XDG_DATA_HOME", home.path().toUtf8());
}

// An open store and its snippets in a fresh temporary data folder.
struct OpenStore {
    explicit OpenStore(const EncryptionService &encryption, const Clock &clock = Clock::system())
        : store(encryption, clock), snippets(store, clock)
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

    QString databasePath() const { return home.filePath(QStringLiteral("Vantorell/vantorell.db")); }

    QTemporaryDir home;
    // Set before the store is made: it finds its folder there.
    bool dataHomeSet = useAsDataHome(home);
    SecureStorageManager store;
    SnippetManager snippets;
};
