#pragma once

#include "base/Clock.h"
#include "records/ClipboardEntry.h"

#include <QByteArray>
#include <QFuture>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <QUuid>

#include <chrono>
#include <functional>
#include <optional>

class CaptureStateAccess;
class EncryptionService;
class Pasteboard;
class SecureStorageManager;
class SettingsManager;
class Sound;
class Workspace;

// Watches the clipboard while the vault is unlocked: polls its change count,
// lets each new change through the filters and captures the first kind of
// content on offer (files, text, image, rich text) into the store, then
// publishes the stored entry. Lives on the main thread; only sealing waits
// for the store, and HTML and image conversion and text recognition run on
// workers.
class ClipboardMonitor final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(ClipboardMonitor)

    Q_PROPERTY(bool isMonitoring READ isMonitoring NOTIFY isMonitoringChanged)

public:
    // What capture reads from and plays through on the desktop.
    struct Desktop {
        Pasteboard &pasteboard;
        Workspace &workspace;
        Sound &sound;
    };

    static constexpr std::chrono::milliseconds pollInterval {500};
    // Longer copied texts are not captured: far above any real paste (a few
    // thousand pages), and such a text would hold the main thread and take
    // hundreds of megabytes on its way to the store.
    static constexpr qsizetype maxTextLength = 4 * 1024 * 1024;

    ClipboardMonitor(SecureStorageManager &storageManager, CaptureStateAccess &appState,
        SettingsManager &settings, const EncryptionService &encryptionService, Desktop desktop,
        const Clock &clock = Clock::system(), QObject *parent = nullptr);

    // A copy offering any of these is never captured.
    static const QStringList &ignoredPasteboardTypes();

    // The entry most recently stored by capture, as the history keeps it.
    const std::optional<ClipboardEntry> &latestEntry() const { return m_latestEntry; }
    bool isMonitoring() const { return m_isMonitoring; }

    // Whatever the clipboard holds when monitoring starts is never captured.
    void startMonitoring();
    void stopMonitoring();
    // One poll tick.
    void checkForChanges();

    qint64 ownChangeCount() const { return m_ownChangeCount; }
    // Our own clipboard writes give the change count they produced, so that
    // they are not captured back.
    void setOwnChangeCount(qint64 changeCount) { m_ownChangeCount = changeCount; }
    // The digest of the last content taken; a repeat of it is not captured.
    const std::optional<QByteArray> &lastContentHash() const { return m_lastContentHash; }
    // Lets the last content be captured again.
    void clearLastContentHash() { m_lastContentHash.reset(); }

signals:
    void latestEntryChanged(const ClipboardEntry &entry);
    void isMonitoringChanged(bool monitoring);

private:
    struct CaptureRequest {
        QString content {};
        QString previewSource {};
        QByteArray digest {};
        bool isSensitive = false;
        ContentType contentType = ContentType::plainText;
        std::optional<QString> sourceApp {};
        std::optional<QDateTime> expiresAt {};
    };

    void captureFromPasteboard(const std::optional<QString> &sourceApp);
    void handleFiles(const QList<QUrl> &urls, const std::optional<QString> &sourceApp);
    void handleText(const QString &string, const std::optional<QString> &sourceApp);
    // The text capture's steps after the text is known.
    void takeText(const QString &text, const std::optional<QString> &sourceApp);
    void handleImage(const QByteArray &bytes, const std::optional<QString> &sourceApp);
    void handleRichText(const QByteArray &rtf, const std::optional<QString> &sourceApp);
    QString cleanLinksOnPasteboard(const QString &text);

    // Captures decide and store in the order they were copied, even while an
    // earlier one converts its HTML on a worker: finish runs with work's
    // result once every capture before it has had its turn.
    template<class T, class Finish> void afterEarlierCaptures(QFuture<T> work, Finish finish);
    // At once when no capture is waiting.
    void inCaptureOrder(const std::function<void()> &step);
    // False, with a log line, for a text over maxTextLength.
    bool isWithinTextBound(const QString &text);

    // The duplicate test: true for a repeat; otherwise digest becomes the
    // last one at once.
    bool isRepeat(const QByteArray &digest);
    bool isEncryptionReady(const QByteArray &digest);
    // A capture that failed before storing may be retried: drop its digest,
    // unless a later capture has already replaced it.
    void forgetDigest(const QByteArray &digest);

    void storeCapturedEntry(const CaptureRequest &request);
    void storeImageEntry(
        const QByteArray &bytes, const QByteArray &digest, const std::optional<QString> &sourceApp);
    // Inserts, audits, publishes as the history keeps it, then runs
    // afterPublishing. An entry the store could not insert is neither
    // audited nor published, its digest is forgotten, and the application
    // state is told why.
    void storeEntry(
        const ClipboardEntry &entry, const QByteArray &digest, std::function<void()> afterPublishing = {});
    void publishCapturedEntry(const ClipboardEntry &entry);
    void playCaptureSound();
    void recognizeTextInImageEntry(const QUuid &id, const QByteArray &png);

    SecureStorageManager &m_storageManager;
    CaptureStateAccess &m_appState;
    SettingsManager &m_settings;
    const EncryptionService &m_encryptionService;
    Desktop m_desktop;
    const Clock &m_clock;

    std::optional<ClipboardEntry> m_latestEntry;
    bool m_isMonitoring = false;
    QTimer m_pollTimer;
    qint64 m_lastChangeCount = 0;
    std::optional<QByteArray> m_lastContentHash;
    qint64 m_ownChangeCount = -1;
    // Finished once every capture so far has had its turn.
    QFuture<void> m_earlierCaptures;
};
