#include "CaptureHarness.h"

#include "support/AwaitFuture.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QThreadPool>

using namespace Qt::StringLiterals;

CaptureHarness::CaptureHarness(Pasteboard &pasteboard, Workspace &workspace, const Clock &clock)
    : store(encryption, clock), settings(home.filePath(u"Vantorell.conf"_s), loginItem, dock),
      monitor(store, state, settings, encryption, {pasteboard, workspace, sound}, clock)
{
    QCoreApplication::setApplicationName(u"Vantorell"_s);
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    unlock();
    awaitFuture(store.openDatabase());
    settings.setRecognizeTextInImages(false);
    monitor.startMonitoring();
}

CaptureHarness::~CaptureHarness()
{
    monitor.stopMonitoring();
    // Ends the pool's threads, and with them their text-recognition engines.
    QThreadPool::globalInstance()->waitForDone();
}

void CaptureHarness::unlock()
{
    key.set(SecureBytes(QByteArray(32, 'k')));
}

void CaptureHarness::settle()
{
    QThreadPool::globalInstance()->waitForDone();
    for (int round = 0; round < 4; ++round) {
        awaitFuture(store.entryCount());
        QCoreApplication::processEvents();
    }
}

QList<ClipboardEntry> CaptureHarness::stored()
{
    settle();
    QList<ClipboardEntry> entries;
    for (const ClipboardEntry &published : awaitFuture(store.fetchAllEntries()).entries)
        entries.append(awaitFuture(store.fetchEntry(published.id)).value().value());
    return entries;
}

QStringList CaptureHarness::storedContents()
{
    QStringList contents;
    for (const ClipboardEntry &entry : stored())
        contents.prepend(openText(entry.encryptedContent));
    return contents;
}

QByteArray CaptureHarness::open(const std::optional<QByteArray> &box) const
{
    if (!box)
        return "<none>";
    return encryption.decrypt(*box).value_or("<unreadable>");
}

QString CaptureHarness::databasePath() const
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u"/vantorell.db"_s;
}
