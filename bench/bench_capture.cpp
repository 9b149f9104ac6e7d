// Capture of distinct text copies through the whole pipeline (filters, text
// analysis, sealing, store insert, audit, publication) with an in-memory
// clipboard: the time of each poll tick on the main thread, and captures
// per second until every entry is published.
#include "capture/ClipboardMonitor.h"
#include "crypto/EncryptionService.h"
#include "crypto/MasterKeyHolder.h"
#include "crypto/SecureRandom.h"
#include "settings/SettingsManager.h"
#include "store/SecureStorageManager.h"
#include "support/AwaitFuture.h"
#include "support/FakeCaptureStateAccess.h"
#include "support/FakeDockPresence.h"
#include "support/FakeLoginItem.h"
#include "support/FakePasteboard.h"
#include "support/FakeSound.h"
#include "support/FakeWorkspace.h"

#include <QApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int copies = 1000;
// Texts at the length limit are few: each takes a while.
constexpr int longCopies = 5;

// Prose with a link and numbers, about size bytes, different for each index.
QString copiedText(int index, qsizetype size)
{
    QString text = u"Copy %1: see https://example.org/docs/page?id=%1#top for details. "_s.arg(index);
    const QString sentence
        = u"The quick brown fox jumps over the lazy dog while the clipboard keeps count %1. "_s.arg(index);
    while (text.size() + sentence.size() <= size)
        text += sentence;
    return text;
}

struct Figures {
    double medianTickMs = 0;
    double p95TickMs = 0;
    double maxTickMs = 0;
    double capturesPerSecond = 0;
};

Figures run(qsizetype size, int count)
{
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    MasterKeyHolder key;
    key.set(SecureRandom::bytes(32).value());
    EncryptionService encryption(key);
    SecureStorageManager store(encryption);
    awaitFuture(store.openDatabase());
    FakeLoginItem loginItem;
    FakeDockPresence dock;
    SettingsManager settings(home.filePath(u"Vantorell.conf"_s), loginItem, dock);
    FakeCaptureStateAccess state;
    FakePasteboard pasteboard;
    FakeWorkspace workspace;
    workspace.setFrontmostApplication(RunningApplication {u"org.example.Editor"_s, u"Editor"_s, 1, 1});
    FakeSound sound;
    ClipboardMonitor monitor(store, state, settings, encryption, {pasteboard, workspace, sound});
    int published = 0;
    QObject::connect(&monitor, &ClipboardMonitor::latestEntryChanged, [&published] { ++published; });
    monitor.startMonitoring();

    std::vector<QString> texts;
    for (int index = 0; index < count; ++index)
        texts.push_back(copiedText(index, size));

    using Clock = std::chrono::steady_clock;
    std::vector<double> ticks;
    const auto start = Clock::now();
    for (const QString &text : texts) {
        pasteboard.copy(PasteboardItem::fromString(text));
        const auto before = Clock::now();
        monitor.checkForChanges();
        ticks.push_back(std::chrono::duration<double, std::milli>(Clock::now() - before).count());
        QCoreApplication::processEvents();
    }
    while (published < count) {
        awaitFuture(store.entryCount());
        QCoreApplication::processEvents();
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    monitor.stopMonitoring();

    std::ranges::sort(ticks);
    return {ticks[ticks.size() / 2], ticks[ticks.size() * 95 / 100], ticks.back(), count / seconds};
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"Vantorell"_s);
    std::printf("%d distinct text copies each; tick = one poll tick on the main thread\n", copies);
    std::printf("%-10s %12s %12s %12s %14s\n", "text", "median tick", "p95 tick", "max tick", "captures/s");
    for (const qsizetype size : {100, 10 * 1024, 100 * 1024}) {
        const Figures figures = run(size, copies);
        std::printf("%7lld B %9.3f ms %9.3f ms %9.3f ms %14.0f\n", qlonglong(size), figures.medianTickMs,
            figures.p95TickMs, figures.maxTickMs, figures.capturesPerSecond);
    }
    std::printf("%d copies at the length limit (%lld characters)\n", longCopies,
        qlonglong(ClipboardMonitor::maxTextLength));
    const Figures figures = run(ClipboardMonitor::maxTextLength, longCopies);
    std::printf("%7lld c %9.3f ms %9.3f ms %9.3f ms %14.1f\n", qlonglong(ClipboardMonitor::maxTextLength),
        figures.medianTickMs, figures.p95TickMs, figures.maxTickMs, figures.capturesPerSecond);
    return 0;
}
