// One keystroke in the panel's search field, from the new query to the
// frame that shows the list: opening every search text, the filter, the
// row updates and the view's layout and drawing. The aim is 16 ms at 2,500
// entries of 1 KiB text. Figures are the main thread's processor time, so
// other work on a shared machine does not count, and wall time. Run on one
// core, offscreen with the software renderer (the program's own), Release
// build:
//   taskset -c 0 env QT_QPA_PLATFORM=offscreen bench_history_list 2500 [accents]
#include "app/AppStateController.h"
#include "crypto/EncryptionService.h"
#include "crypto/MasterKeyHolder.h"
#include "settings/SettingsManager.h"
#include "store/SecureStorageManager.h"
#include "store/SnippetManager.h"
#include "support/FakeDockPresence.h"
#include "support/FakeKeySender.h"
#include "support/FakeLoginItem.h"
#include "ui/design/SceneGraphBackend.h"
#include "ui/menubar/ClipboardListModel.h"
#include "ui/menubar/MainPopoverModel.h"
#include "ui/menubar/PanelWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QQmlEngine>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>

using namespace Qt::StringLiterals;

namespace {

const QStringList words {u"report"_s, u"meeting"_s, u"budget"_s, u"origin"_s, u"secret"_s, u"invoice"_s,
    u"deploy"_s, u"letter"_s, u"photo"_s, u"address"_s, u"token"_s, u"lunch"_s, u"Café"_s, u"résumé"_s};

// With accents, most texts have one of the last two words; without, none.
QString kibibyteText(QRandomGenerator &random, bool accents)
{
    const int choices = int(words.size()) - (accents ? 0 : 2);
    QString text;
    while (text.toUtf8().size() < 1024)
        text += words.at(random.bounded(choices)) + u' ';
    return text;
}

QList<ClipboardEntry> history(const EncryptionService &encryption, int count, bool accents)
{
    QRandomGenerator random(7);
    QList<ClipboardEntry> entries;
    entries.reserve(count);
    for (int at = 0; at < count; ++at) {
        const QString text = kibibyteText(random, accents);
        ClipboardEntry entry {.id = QUuid::createUuid(), .createdAt = QDateTime::currentDateTimeUtc()};
        entry.contentLeftInStore = encryption.encrypt(text.toUtf8()).value().size();
        entry.encryptedPreview = encryption.encrypt(text.left(100).toUtf8()).value();
        entry.encryptedSearchText = encryption.encrypt(text.left(500).toLower().toUtf8()).value();
        entries.append(entry);
    }
    return entries;
}

double threadMilliseconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// In milliseconds of processor time, and the wall time until the frame;
// frame is -1 when no frame came within ten seconds.
struct Figures {
    double list = 0;
    double frame = 0;
    double wall = 0;
};

// The query set, the list updated, then the frame drawn after it.
Figures keystroke(AppStateController &appState, QQuickWindow &window, const QString &query)
{
    std::atomic<bool> swapped = false;
    const auto connection = QObject::connect(
        &window, &QQuickWindow::frameSwapped, &window, [&swapped] { swapped = true; }, Qt::DirectConnection);
    QElapsedTimer timer;
    timer.start();
    const double start = threadMilliseconds();
    appState.setSearchQuery(query);
    Figures figures;
    figures.list = threadMilliseconds() - start;
    window.update();
    const bool drawn = QTest::qWaitFor([&swapped] { return swapped.load(); }, 10'000);
    figures.frame = drawn ? threadMilliseconds() - start : -1;
    figures.wall = drawn ? double(timer.nsecsElapsed()) / 1e6 : -1;
    QObject::disconnect(connection);
    return figures;
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
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 2500;
    const bool accents = argc > 2 && QByteArray(argv[2]) == "accents";
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
    appState.setClipboardEntries(history(encryption, count, accents));
    FakeKeySender keySender;
    MainPopoverModel panel(appState, keySender);
    QQmlEngine engine;
    PanelWindow window(engine, QUrl(u"qrc:/qt-project.org/imports/Vantorell/MenuBar/MainPopoverView.qml"_s),
        {{u"panel"_s, QVariant::fromValue(&panel)}});
    window.showAt({0, 0});
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    const auto *list = window.rootItem()->findChild<ClipboardListModel *>();

    // Typed and then erased, letter by letter: from the whole history to a
    // few matches and back.
    QStringList queries;
    const QString typed = accents ? u"résumé letter"_s : u"report letter"_s;
    for (qsizetype length = 1; length <= typed.size(); ++length)
        queries.append(typed.left(length));
    for (qsizetype length = typed.size() - 1; length >= 0; --length)
        queries.append(typed.left(length));

    QList<double> lists;
    QList<double> frames;
    QList<double> walls;
    for (int round = 0; round < 3; ++round) {
        for (const QString &query : std::as_const(queries)) {
            const Figures figures = keystroke(appState, window, query);
            lists.append(figures.list);
            frames.append(figures.frame);
            walls.append(figures.wall);
        }
    }
    std::printf("%d entries of 1 KiB%s, processor time: a keystroke updates the list in %.1f ms (median, "
                "slowest %.1f ms) and shows it in %.1f ms (median, slowest %.1f ms); wall time to the frame "
                "%.1f ms (median, slowest %.1f ms); %d shown at the end\n",
        count, accents ? " with accents" : "", median(lists), *std::ranges::max_element(lists),
        median(frames), *std::ranges::max_element(frames), median(walls), *std::ranges::max_element(walls),
        list ? list->count() : -1);
    return 0;
}
