// Memory and start-up of the real program over a large history. It needs
// the session keyring, so it runs inside the test desktop:
//     scripts/test-session build/release/bench/bench_history_memory
// Each case gets a home folder with a vault seeded here (the master key in
// the keyring, no passcode, the history limit raised above the entries).
// Per case, median of three starts of `vantorell`: the time from process
// start until "fetchAllEntries: loaded N entries from DB", and the resident
// memory one second later. Then, in this process, the time from unlock to
// the history published, and the read and opening of a 2 MB picture for a
// paste.
#include "SeededVault.h"

#include "app/AppStateController.h"
#include "crypto/EncryptionService.h"
#include "crypto/KeyManager.h"
#include "platform/linux/DesktopKeychain.h"
#include "settings/SettingsManager.h"
#include "store/SecureStorageManager.h"
#include "store/SnippetManager.h"
#include "support/AwaitFuture.h"
#include "support/FakeDeviceAuth.h"
#include "support/FakeDockPresence.h"
#include "support/FakeLoginItem.h"
#include "support/NoiseImage.h"
#include "support/TestImages.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int runs = 3;

struct Case {
    const char *name;
    SeededVault vault;
};

struct Start {
    double loadedMs = -1;
    double residentMiB = -1;
};

Start startOnce(const Case &bench)
{
    QProcess process;
    process.setProcessEnvironment(bench.vault.environment());
    process.setProcessChannelMode(QProcess::MergedChannels);

    const QByteArray loaded
        = "[Vantorell] fetchAllEntries: loaded " + QByteArray::number(bench.vault.count) + " entries from DB";
    Start start;
    QElapsedTimer timer;
    timer.start();
    process.start(QStringLiteral(VANTORELL_EXECUTABLE), {});
    QByteArray output;
    QDeadlineTimer deadline(60'000);
    while (!output.contains(loaded) && !deadline.hasExpired()) {
        process.waitForReadyRead(100);
        output += process.readAll();
    }
    if (output.contains(loaded)) {
        start.loadedMs = timer.nsecsElapsed() / 1e6;
        QDeadlineTimer settled(1000);
        while (!settled.hasExpired())
            process.waitForReadyRead(int(settled.remainingTime()));
        start.residentMiB = residentKiB(process.processId()) / 1024.0;
    } else {
        std::fprintf(stderr, "%s: no load line:\n%s\n", bench.name, output.constData());
    }
    process.terminate();
    process.waitForFinished(30'000);
    return start;
}

// Unlocking as a start without passcode does it, until the history is
// published; then the read and opening of the first picture, as a paste does.
struct InProcess {
    double unlockToPublishedMs = -1;
    double pictureOpenMs = -1;
};

InProcess inProcess(const Case &bench, KeyManager &keys)
{
    qputenv("XDG_DATA_HOME", bench.vault.dataHome().toUtf8());
    FakeLoginItem loginItem;
    FakeDockPresence dock;
    SettingsManager settings(bench.vault.settingsFile(), loginItem, dock);
    EncryptionService encryption(keys.masterKey());
    SecureStorageManager store(encryption);
    awaitFuture(store.openDatabase());
    SnippetManager snippets(store);
    AppStateController state;
    state.configure(nullptr, store, snippets, nullptr, settings);

    InProcess figures;
    std::vector<double> unlocks;
    for (int run = 0; run < runs; ++run) {
        keys.dropMasterKey();
        state.setUnlocked(false);
        state.clearPublishedLists();
        QEventLoop published;
        const QMetaObject::Connection connection = QObject::connect(
            &state, &AppStateController::clipboardEntriesChanged, &published, &QEventLoop::quit);
        QElapsedTimer timer;
        timer.start();
        if (!keys.unlockFromKeychain())
            return figures;
        state.setUnlocked(true);
        state.reloadEntries();
        published.exec();
        unlocks.push_back(timer.nsecsElapsed() / 1e6);
        QObject::disconnect(connection);
    }
    figures.unlockToPublishedMs = median(unlocks);
    if (!bench.vault.picture || state.clipboardEntries().isEmpty())
        return figures;

    const ClipboardEntry picture = state.clipboardEntries().first();
    std::vector<double> opens;
    for (int run = 0; run < 11; ++run) {
        QEventLoop answered;
        QElapsedTimer timer;
        timer.start();
        std::optional<qsizetype> size;
        state.entryContent()->open(picture, &answered, [&](const EntryContentReader::Result &opened) {
            size = opened ? opened->content.size() : 0;
            answered.quit();
        });
        if (!size)
            answered.exec();
        opens.push_back(timer.nsecsElapsed() / 1e6);
        if (*size < 2'000'000)
            return figures;
    }
    figures.pictureOpenMs = median(opens);
    return figures;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(u"Vantorell"_s);

    DesktopKeychain keychain(KeyManager::service);
    FakeDeviceAuth deviceAuth;
    KeyManager keys(keychain, deviceAuth);
    keys.deleteAllKeys();
    if (!keys.setupPasscode(u"bench passcode"_s) || !keys.storeRawMasterKey()) {
        std::fprintf(stderr, "no keyring: run inside scripts/test-session\n");
        return 1;
    }
    const EncryptionService encryption(keys.masterKey());

    // About 2 MB of PNG that does not compress.
    const QByteArray png = encodedImage(noiseImage(816, 816));
    Case cases[] = {
        {"100 texts of 1 KiB", {100, [](int index) { return sampleText(index, 1024); }}},
        {"10,000 texts of 1 KiB", {10'000, [](int index) { return sampleText(index, 1024); }}},
        {"300 short texts", {300, [](int index) { return "Short note " + QByteArray::number(index); }}},
        {"300 pictures of 2 MB", {300, [&png](int) { return png; }, true}},
    };
    for (Case &bench : cases)
        bench.vault.seed(encryption);
    std::printf("picture: %.2f MB of PNG\n", png.size() / 1e6);

    double loaded[4] {};
    double resident[4] {};
    for (int index = 0; index < 4; ++index) {
        std::vector<double> times;
        std::vector<double> memory;
        for (int run = 0; run < runs; ++run) {
            const Start start = startOnce(cases[index]);
            times.push_back(start.loadedMs);
            memory.push_back(start.residentMiB);
        }
        loaded[index] = median(times);
        resident[index] = median(memory);
        std::printf("%-22s start until loaded %7.1f ms, resident 1 s later %7.1f MiB\n", cases[index].name,
            loaded[index], resident[index]);
    }
    std::printf("10,000 texts: %.2f KiB resident per entry above 100 (aim: at most 1.0 KiB), start "
                "until loaded %+.1f ms (aim: at most +30 ms)\n",
        (resident[1] - resident[0]) * 1024 / 9'900, loaded[1] - loaded[0]);
    std::printf("300 pictures: %+.1f MiB resident above 300 short texts (aim: at most +64 MiB)\n",
        resident[3] - resident[2]);

    for (int index = 0; index < 4; ++index) {
        const InProcess figures = inProcess(cases[index], keys);
        std::printf("%-22s in process, unlock until published %7.1f ms\n", cases[index].name,
            figures.unlockToPublishedMs);
        if (cases[index].vault.picture)
            std::printf("paste of a 2 MB picture: read and opened in %.1f ms (aim: under 30 ms)\n",
                figures.pictureOpenMs);
    }
    keys.deleteAllKeys();
    return 0;
}
