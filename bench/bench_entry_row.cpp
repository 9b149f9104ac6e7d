// A history row coming on screen whose entry holds 250 KB of JSON: the
// row reads it from the store and decides its transforms, which takes tens
// of milliseconds. The aim is no stall of the main thread longer than a
// frame (16 ms) while scrolling. Release build, one core:
//   taskset -c 0 bench_entry_row
#include "app/AppStateController.h"
#include "base/Utf8Text.h"
#include "crypto/EncryptionService.h"
#include "crypto/MasterKeyHolder.h"
#include "settings/SettingsManager.h"
#include "store/SecureStorageManager.h"
#include "store/SnippetManager.h"
#include "support/FakeDockPresence.h"
#include "support/FakeKeySender.h"
#include "support/FakeLoginItem.h"
#include "support/OpenStore.h"
#include "tools/TextTransform.h"
#include "ui/design/SceneGraphBackend.h"
#include "ui/menubar/ClipboardEntryRowModel.h"
#include "ui/menubar/MainPopoverModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

QByteArray json(qsizetype size)
{
    QByteArray text = "[";
    for (int i = 0; text.size() < size - 64; ++i)
        text += R"({"id": )" + QByteArray::number(i) + R"(, "name": "item", "tags": ["a", "b"]},)" + '\n';
    text.chop(2);
    return text + "]";
}

// The main thread's own processor time, which the scheduler's pauses do not
// count.
qint64 threadTime()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

double milliseconds(qint64 nanoseconds)
{
    return double(nanoseconds) / 1e6;
}

double median(QList<double> values)
{
    std::ranges::sort(values);
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    SceneGraphBackend::choose();
    QApplication app(argc, argv);
    MasterKeyHolder key;
    key.set(SecureBytes(QByteArray(32, 'k')));
    EncryptionService encryption(key);
    OpenStore open(encryption);
    FakeLoginItem loginItem;
    FakeDockPresence dock;
    SettingsManager settings(open.home.filePath(u"Vantorell.conf"_s), loginItem, dock);
    AppStateController appState;
    appState.configure(nullptr, open.store, open.snippets, nullptr, settings);
    appState.setUnlocked(true);
    FakeKeySender keySender;
    MainPopoverModel panel(appState, keySender);

    const QByteArray content = json(250'000);
    ClipboardEntry entry {.id = QUuid::createUuid(),
        .createdAt = QDateTime::currentDateTimeUtc(),
        .encryptedContent = encryption.encrypt(content).value(),
        .encryptedPreview = encryption.encrypt(content.left(100)).value()};
    awaitFuture(open.store.insertEntry(entry));
    appState.setClipboardEntries({entry.published()});

    QList<double> inline_;
    for (int run = 0; run < 11; ++run) {
        QElapsedTimer timer;
        timer.start();
        const QList<TextTransform> found = TextTransform::applicableTransforms(*Utf8Text::decode(content));
        inline_.append(milliseconds(timer.nsecsElapsed()));
        if (found.isEmpty())
            return 1;
    }

    // The longest time the main thread did not get back to its event loop.
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 worst = 0;
    qint64 lastWork = 0;
    qint64 worstWork = 0;
    QTimer beat;
    beat.setInterval(0ms);
    QEventLoop loop;
    std::function<bool()> done;
    QObject::connect(&beat, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        worst = std::max(worst, now - last);
        last = now;
        const qint64 work = threadTime();
        worstWork = std::max(worstWork, work - lastWork);
        lastWork = work;
        if (done())
            loop.quit();
    });
    QTimer::singleShot(60s, &loop, [&loop] { loop.exit(1); });

    // The same beat with nothing to do: what the machine itself takes away.
    QList<double> idle;
    for (int run = 0; run < 21; ++run) {
        last = clock.nsecsElapsed();
        worst = 0;
        const qint64 until = last + 40'000'000;
        done = [&clock, until] { return clock.nsecsElapsed() > until; };
        beat.start();
        loop.exec();
        beat.stop();
        idle.append(milliseconds(worst));
    }

    QList<double> calls;
    QList<double> works;
    QList<double> stalls;
    QList<double> ready;
    for (int run = 0; run < 21; ++run) {
        ClipboardEntryRowModel row;
        row.setPanel(&panel);
        row.setEntryId(entry.id.toString());
        last = clock.nsecsElapsed();
        worst = 0;
        lastWork = threadTime();
        worstWork = 0;
        beat.start();
        const qint64 start = clock.nsecsElapsed();
        row.loadPreview();
        calls.append(milliseconds(clock.nsecsElapsed() - start));
        done = [&row] { return !row.transforms().isEmpty(); };
        if (loop.exec() != 0)
            return 1;
        ready.append(milliseconds(clock.nsecsElapsed() - start));
        beat.stop();
        stalls.append(milliseconds(worst));
        works.append(milliseconds(worstWork));
    }
    std::printf(
        "row with %lld bytes of JSON coming on screen (median of %lld): loadPreview returns in %.2f ms; "
        "longest main-thread work between two turns of its event loop %.2f ms; longest wait %.2f ms (slowest "
        "run %.2f ms); transforms ready after %.1f ms; "
        "the same transforms decided on the main thread: %.1f ms; longest wait while idle %.2f ms\n",
        qlonglong(content.size()), qlonglong(calls.size()), median(calls), median(works), median(stalls),
        *std::ranges::max_element(stalls), median(ready), median(inline_), median(idle));
    return 0;
}
