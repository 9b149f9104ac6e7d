// The panel is made once, at start-up, and shown on every click while the
// vault is locked and from the menu. The aim for a showing, from the call to
// the first frame on screen, is 100 ms. Run on one core under Xvfb with the
// program's renderer (software unless QT_QUICK_BACKEND says otherwise),
// Release build, the working screen optionally over a history of short
// texts, whose first rows are made and drawn at the first showing:
//   taskset -c 0 bench_panel working|lock|setup [entries]
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
#include "ui/menubar/MainPopoverModel.h"
#include "ui/menubar/PanelWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// From the call to the frame swapped after it, in milliseconds; -1 when
// no frame came within ten seconds.
double untilFrame(PanelWindow &window, QPoint at)
{
    std::atomic<bool> swapped = false;
    const auto connection = QObject::connect(
        &window, &QQuickWindow::frameSwapped, &window, [&swapped] { swapped = true; }, Qt::DirectConnection);
    QElapsedTimer timer;
    timer.start();
    window.showAt(at);
    const bool shown = QTest::qWaitFor([&swapped] { return swapped.load(); }, 10'000);
    const double elapsed = double(timer.nsecsElapsed()) / 1e6;
    QObject::disconnect(connection);
    return shown ? elapsed : -1;
}

} // namespace

int main(int argc, char *argv[])
{
    SceneGraphBackend::choose();
    QApplication app(argc, argv);
    const QString screen = argc > 1 ? QString::fromLocal8Bit(argv[1]) : u"working"_s;
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
    appState.setShowOnboarding(screen == u"setup"_s);
    appState.setUnlocked(screen == u"working"_s);
    QList<ClipboardEntry> entries;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (int index = 0, count = argc > 2 ? atoi(argv[2]) : 0; index < count; ++index) {
        const QByteArray text = "Note " + QByteArray::number(index) + " from the bench";
        entries.append({.id = QUuid::createUuid(),
            .createdAt = now.addSecs(-index),
            .encryptedContent = *encryption.encrypt(text),
            .encryptedPreview = *encryption.encrypt(text),
            .encryptedSearchText = *encryption.encrypt(text.toLower())});
    }
    appState.setClipboardEntries(entries);
    FakeKeySender keySender;
    MainPopoverModel panel(appState, keySender);
    QQmlEngine engine;

    QElapsedTimer making;
    making.start();
    PanelWindow window(engine, QUrl(u"qrc:/qt-project.org/imports/Vantorell/MenuBar/MainPopoverView.qml"_s),
        {{u"panel"_s, QVariant::fromValue(&panel)}});
    const double made = double(making.nsecsElapsed()) / 1e6;

    const double first = untilFrame(window, {100, 100});
    QList<double> later;
    for (int run = 0; run < 21; ++run) {
        window.hide();
        QTest::qWait(50);
        later.append(untilFrame(window, {100, 100}));
    }
    std::ranges::sort(later);
    std::printf(
        "panel on the %s screen, %lld entries: made in %.1f ms; first showing %.1f ms; later showings "
        "%.1f ms (median of %lld, slowest %.1f ms)\n",
        qPrintable(screen), qlonglong(entries.size()), made, first, later.at(later.size() / 2),
        qlonglong(later.size()), later.last());
    return first >= 0 ? 0 : 1;
}
