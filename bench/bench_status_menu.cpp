// The status menu is built anew, every preview decrypted, each time the tray
// icon is clicked or the hot key pressed; the aim is 30 ms for 2,500 entries
// with 1 KiB of text on the clipboard. Run on one core, Release build.
#include "app/AppStateController.h"
#include "crypto/EncryptionService.h"
#include "crypto/MasterKeyHolder.h"
#include "settings/SettingsManager.h"
#include "store/SecureStorageManager.h"
#include "store/SnippetManager.h"
#include "support/FakeDockPresence.h"
#include "support/FakeGlobalMouseMonitor.h"
#include "support/FakeKeySender.h"
#include "support/FakeLoginItem.h"
#include "support/FakePasteboard.h"
#include "support/FakeWorkspace.h"
#include "ui/menubar/StatusBarController.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// The median of runs after a first one that fills the caches, in
// milliseconds.
double millisecondsFor(const auto &work)
{
    work();
    QList<double> times;
    for (int run = 0; run < 15; ++run) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.append(double(timer.nsecsElapsed()) / 1e6);
    }
    std::ranges::sort(times);
    return times.at(times.size() / 2);
}

QList<ClipboardEntry> history(const EncryptionService &encryption, int count)
{
    QList<ClipboardEntry> entries;
    for (int i = 0; i < count; ++i) {
        ClipboardEntry entry;
        entry.id = QUuid::createUuid();
        entry.contentType = i % 10 == 0 ? ContentType::image : ContentType::plainText;
        entry.isPinned = i < 5;
        const QString preview
            = u"Entry %1: some copied text that runs longer than the menu shows, ü and 👍"_s.arg(i);
        entry.encryptedPreview = encryption.encrypt(preview.toUtf8()).value();
        entries.append(entry);
    }
    return entries;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform complains at every showing.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    QApplication app(argc, argv);
    QTemporaryDir home;
    MasterKeyHolder key;
    key.set(SecureBytes(QByteArray(32, 'k')));
    EncryptionService encryption(key);
    SecureStorageManager store(encryption);
    SnippetManager snippets(store);
    FakeLoginItem loginItem;
    FakeDockPresence dock;
    SettingsManager settings(home.filePath(u"Vantorell.conf"_s), loginItem, dock);
    AppStateController appState;
    appState.configure(nullptr, store, snippets, nullptr, settings);
    appState.setUnlocked(true);
    FakeWorkspace workspace;
    FakePasteboard pasteboard;
    FakeKeySender keySender;
    FakeGlobalMouseMonitor mouseMonitor;
    StatusBarController controller(appState, settings, {workspace, pasteboard, keySender, mouseMonitor});

    const QString kibibyte = QString(u"{\"key\": \"value\", \"list\": [1, 2, 3]}, "_s).repeated(28);
    QString large = u"["_s;
    while (large.size() < 250'000)
        large += u"{\"id\": 12345, \"name\": \"entry\", \"tags\": [\"a\", \"b\"]},\n"_s;
    large += u"{}]"_s;

    qsizetype items = 0;
    for (const int count : {2'500, 10'000}) {
        appState.setClipboardEntries(history(encryption, count));
        for (const auto &[name, text] : {std::pair {"1 KiB", kibibyte}, std::pair {"250 KB", large}}) {
            pasteboard.copy(PasteboardItem::fromString(text));
            const double built
                = millisecondsFor([&] { items += controller.buildStatusMenu()->actions().size(); });
            const double shown = millisecondsFor([&] {
                const std::unique_ptr<QMenu> menu = controller.buildStatusMenu();
                menu->popup(QPoint(0, 0));
                menu->hide();
            });
            std::printf("buildStatusMenu, %d entries, %s clipboard: %.1f ms (with showing %.1f ms)\n", count,
                name, built, shown);
        }
    }
    return items > 0 ? 0 : 1;
}
