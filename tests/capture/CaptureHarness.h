#pragma once

#include "capture/ClipboardMonitor.h"
#include "crypto/EncryptionService.h"
#include "crypto/MasterKeyHolder.h"
#include "settings/SettingsManager.h"
#include "store/SecureStorageManager.h"
#include "support/FakeCaptureStateAccess.h"
#include "support/FakeDockPresence.h"
#include "support/FakeLoginItem.h"
#include "support/FakeSound.h"

#include <QTemporaryDir>

// The real capture pipeline around one running clipboard monitor: an
// unlocked key, the store in a temporary data folder, settings in a
// temporary file, a stand-in for the application state. Image recognition starts off.
class CaptureHarness final {
    Q_DISABLE_COPY(CaptureHarness)

public:
    CaptureHarness(Pasteboard &pasteboard, Workspace &workspace, const Clock &clock = Clock::system());
    ~CaptureHarness();

    void unlock();
    // Lets image conversion, the store and the steps queued after it finish.
    void settle();
    // Whole, newest first.
    QList<ClipboardEntry> stored();
    // Oldest first.
    QStringList storedContents();
    QByteArray open(const std::optional<QByteArray> &box) const;
    QString openText(const std::optional<QByteArray> &box) const { return QString::fromUtf8(open(box)); }
    QString databasePath() const;

    QTemporaryDir home;
    MasterKeyHolder key;
    EncryptionService encryption {key};
    FakeLoginItem loginItem;
    FakeDockPresence dock;
    FakeSound sound;
    SecureStorageManager store;
    SettingsManager settings;
    FakeCaptureStateAccess state;
    ClipboardMonitor monitor;
};
