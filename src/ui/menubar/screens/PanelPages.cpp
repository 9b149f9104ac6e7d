#include "PanelPages.h"

#include "SampleDesktop.h"

#include "app/AppStateController.h"
#include "app/SecurityController.h"
#include "crypto/EncryptionService.h"
#include "crypto/KeyManager.h"
#include "settings/SettingsManager.h"
#include "store/SecureStorageManager.h"
#include "store/SnippetManager.h"
#include "ui/menubar/ClipboardListModel.h"
#include "ui/menubar/MainPopoverModel.h"
#include "ui/menubar/OnboardingModel.h"
#include "ui/menubar/PanelWindow.h"
#include "ui/menubar/UnlockModel.h"

#include <QEventLoop>
#include <QKeyEvent>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

const QString passcode = u"Sunflower-7"_s;

// Lets transitions finish and the window draw.
void settle()
{
    QEventLoop loop;
    QTimer::singleShot(450, &loop, &QEventLoop::quit);
    loop.exec();
}

QQuickItem *screenOf(const PanelWindow &window)
{
    const QList<QObject *> loaders = window.rootItem()->findChildren<QObject *>(u"screen"_s);
    return loaders.isEmpty() ? nullptr : loaders.constFirst()->property("item").value<QQuickItem *>();
}

template<class Model> Model *modelOf(const PanelWindow &window)
{
    QQuickItem *screen = screenOf(window);
    return screen ? screen->findChild<Model *>() : nullptr;
}

// Twelve entries of every kind, the first pinned, the second starred.
QList<ClipboardEntry> sampleHistory(const EncryptionService &encryption)
{
    const QList<std::pair<const char *, ContentType>> samples {
        {"git push origin main", ContentType::plainText},
        {"Meeting notes: roadmap & budget review", ContentType::richText},
        {"sk_live_51Hx", ContentType::plainText},
        {"https://example.org/articles/how-to-keep-a-clipboard-history", ContentType::plainText},
        {"Screenshot 2024-05-02", ContentType::image},
        {"/home/sam/Documents/report.pdf", ContentType::fileURL},
        {"Family 👩‍👩‍👧 photo caption", ContentType::plainText},
        {"SELECT id FROM users WHERE name = 'a'", ContentType::plainText},
        {"{\"name\": \"Vantorell\", \"tags\": [1, 2]}", ContentType::plainText},
        {"Résumé — final version", ContentType::richText},
        {"+1 555 0100", ContentType::plainText},
        {"Tab\tseparated\tcolumns", ContentType::plainText},
    };
    QList<ClipboardEntry> entries;
    for (const auto &[preview, type] : samples) {
        ClipboardEntry entry {.id = QUuid::createUuid(),
            .contentType = type,
            .createdAt = QDateTime::currentDateTimeUtc().addSecs(-400 * (entries.size() + 1))};
        entry.isPinned = entries.isEmpty();
        entry.isFavorite = entries.size() == 1;
        entry.isSensitive = entries.size() == 2;
        if (!entry.isSensitive) {
            entry.encryptedPreview = encryption.encrypt(QByteArray(preview)).value();
            entry.encryptedSearchText = encryption.encrypt(QByteArray(preview).toLower()).value();
        }
        entry.encryptedContent = encryption.encrypt(QByteArray(preview)).value();
        entries.append(entry);
    }
    return entries;
}

} // namespace

bool PanelPages::write(const QString &appearance)
{
    QTemporaryDir home;
    SampleDesktop desktop;
    desktop.keySender.permitted = false;
    SettingsManager settings(home.filePath(u"Vantorell.conf"_s), desktop.loginItem, desktop.dockPresence);
    KeyManager keys(desktop.keychain, desktop.deviceAuth);
    EncryptionService encryption(keys.masterKey());
    SecureStorageManager store(encryption);
    SnippetManager snippets(store);
    AppStateController appState;
    SecurityController security(keys, appState, settings, desktop.deviceAuth, desktop.idleTime);
    appState.configure(nullptr, store, snippets, &security, settings);
    appState.setShowOnboarding(true);
    MainPopoverModel panel(appState, desktop.keySender);
    QQmlEngine engine;
    PanelWindow window(engine, QUrl(u"qrc:/qt-project.org/imports/Vantorell/MenuBar/MainPopoverView.qml"_s),
        {{u"panel"_s, QVariant::fromValue(&panel)}});
    window.showAt({0, 0});
    settle();

    const auto save = [&](const QString &name) {
        settle();
        const QString file = m_folder.filePath(u"%1-%2.png"_s.arg(name, appearance));
        if (window.grabWindow().save(file))
            return true;
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return false;
    };

    OnboardingModel *setup = modelOf<OnboardingModel>(window);
    if (!setup || !save(u"setup-welcome"_s))
        return false;
    setup->validateAndAdvance();
    setup->setPasscode(passcode);
    setup->setConfirmPasscode(passcode.chopped(1));
    setup->validateAndAdvance();
    if (!save(u"setup-passcode"_s))
        return false;
    setup->setConfirmPasscode(passcode);
    setup->validateAndAdvance();
    if (!save(u"setup-touch-id"_s))
        return false;
    setup->validateAndAdvance();
    if (!save(u"setup-permission"_s))
        return false;
    desktop.keySender.permitted = true;
    setup->refreshAccessibilityStatus();
    if (!save(u"setup-permission-granted"_s))
        return false;
    desktop.keySender.permitted = false;
    desktop.keychain.refuseStores = true;
    setup->completeSetup();
    if (!save(u"setup-failed"_s))
        return false;
    desktop.keychain.refuseStores = false;
    setup->completeSetup();

    // As a launch shows it when the keyring cannot answer.
    security.setAuthError(u"Keyring unavailable: KWallet did not answer in time"_s);
    security.lockNow();
    settle();
    if (!save(u"lock-keyring-unavailable"_s))
        return false;
    UnlockModel *lock = modelOf<UnlockModel>(window);
    if (!lock)
        return false;
    lock->setPasscode(u"Sunflower"_s);
    lock->submitPasscode();
    if (!save(u"lock"_s))
        return false;

    lock->setPasscode(passcode);
    lock->submitPasscode();
    appState.pauseCapture(15);
    appState.setSecureModeActive(true);
    if (!save(u"panel"_s))
        return false;
    return writeHistory({appState, encryption, desktop, panel, window}, save);
}

bool PanelPages::writeHistory(const Working &working, const std::function<bool(const QString &)> &save)
{
    auto &[appState, encryption, desktop, panel, window] = working;
    appState.resumeCapture();
    appState.setSecureModeActive(false);
    desktop.keySender.permitted = true;
    panel.refreshCanAutoPaste();
    appState.setPanelKeyQuery(&window, [] { return true; });
    const QList<ClipboardEntry> history = sampleHistory(encryption);
    appState.setClipboardEntries(history);
    ClipboardListModel *list = modelOf<ClipboardListModel>(window);
    if (!list)
        return false;
    settle();
    for (int step = 0; step < 3; ++step)
        list->handleKey(QKeyEvent(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier));
    if (!save(u"history"_s))
        return false;
    appState.setPasteStack({history.at(3), history.at(7), history.at(8)});
    if (!save(u"history-stack"_s))
        return false;
    list->showQrCode(u"https://example.org/articles/how-to-keep-a-clipboard-history"_s);
    if (!save(u"history-qr"_s))
        return false;
    list->closeQrCode();
    appState.setPasteStack({});
    appState.setSearchQuery(u"zebra"_s);
    if (!save(u"history-no-matches"_s))
        return false;
    appState.setSearchQuery({});
    appState.setCopyRefusal(u"Database write failed: database disk image is malformed"_s);
    if (!save(u"history-copy-refused"_s))
        return false;
    appState.setCopyRefusal({});
    appState.setClipboardEntries({});
    appState.setDatabaseError(
        u"Couldn't open /home/sam/.local/share/Vantorell/vantorell.db: unable to open database file"_s);
    return save(u"history-not-saved"_s);
}
