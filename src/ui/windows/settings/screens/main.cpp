// Writes the settings window on each section, and on the states worth a
// look, over sample services, as PNG files in light and dark appearance.

#include "app/AppStateController.h"
#include "backup/BackupError.h"
#include "crypto/KeyManager.h"
#include "paste/AutoPaste.h"
#include "platform/Alerts.h"
#include "platform/DeviceAuth.h"
#include "platform/InstalledApplications.h"
#include "platform/KeyCodeMap.h"
#include "platform/KeySender.h"
#include "platform/Keychain.h"
#include "platform/Workspace.h"
#include "settings/SettingsManager.h"
#include "ui/design/SceneGraphBackend.h"
#include "ui/design/gallery/Appearance.h"
#include "ui/menubar/screens/SampleDesktop.h"
#include "ui/windows/settings/BackupDialogs.h"
#include "ui/windows/settings/BackupOperations.h"
#include "ui/windows/settings/BackupSettingsTab.h"
#include "ui/windows/settings/ExcludedAppsTab.h"
#include "ui/windows/settings/SecuritySettingsTab.h"
#include "ui/windows/settings/SettingsWindowContext.h"
#include "update/UpdateChecker.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickView>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <tuple>

using namespace Qt::StringLiterals;

namespace {

// Nothing here leaves the process: no prompt, keyring, browser or key map.
struct SampleServices {
    class DeviceAuth final : public ::DeviceAuth {
    public:
        bool canEvaluate(Policy) const override { return false; }
        void evaluate(Policy, const QString &, QObject *, std::function<void(Reply)>) override { }
    };

    class Keychain final : public ::Keychain {
    public:
        std::expected<void, KeychainError> store(const QString &, const QByteArray &, bool) override
        {
            return {};
        }
        std::expected<std::optional<QByteArray>, KeychainError> load(const QString &) override
        {
            return std::nullopt;
        }
        std::expected<void, KeychainError> remove(const QString &) override { return {}; }
        std::expected<bool, KeychainError> exists(const QString &) override { return false; }
        bool canProtectWithBiometrics() const override { return false; }
    };

    class Workspace final : public ::Workspace {
    public:
        std::optional<RunningApplication> frontmostApplication() override { return std::nullopt; }
        bool activate(const RunningApplication &) override { return false; }
        bool openURL(const QUrl &) override { return false; }
    };

    class Alerts final : public ::Alerts {
    public:
        void beep() override { }
        void showAlert(const QString &, const QString &) override { }
        bool askAlert(const QString &, const QString &, const QString &, const QString &) override
        {
            return false;
        }
    };

    class KeySender final : public ::KeySender {
    public:
        bool isPermitted() const override { return permitted; }
        void postPasteChord() override { }
        void postCaretLeft(int) override { }

        bool permitted = true;
    };

    class KeyCodeMap final : public ::KeyCodeMap {
    public:
        std::optional<quint32> macKeyCode(quint32) const override { return std::nullopt; }
    };

    // One application installed, with an icon from the desktop's theme.
    class InstalledApplications final : public ::InstalledApplications {
    public:
        std::optional<Application> applicationAt(const QString &) override { return std::nullopt; }
        std::optional<Application> application(const QString &bundleIdentifier) override
        {
            if (bundleIdentifier != u"vim"_s)
                return std::nullopt;
            return Application {bundleIdentifier, u"Vim"_s, u"gvim"_s};
        }
        QString applicationsFolder() const override { return {}; }
    };

    // A backup ends as set, by default with one item and twelve snippets
    // written; a restore too, by default meeting a wrong password.
    class BackupOperations final : public ::BackupOperations {
    public:
        QFuture<Outcome<Written>> exportBackup(const QString &, const QString &) override
        {
            return QtFuture::makeReadyFuture(written);
        }
        QFuture<Outcome<Restored>> importBackup(const QString &, const QString &) override
        {
            return QtFuture::makeReadyFuture(restored);
        }

        static inline const Outcome<Restored> wrongPassword
            = std::unexpected(u"Wrong password, or the backup file is damaged."_s);
        Outcome<Restored> restored = wrongPassword;
        Outcome<Written> written = Written {1, 12};
    };

    class BackupDialogs final : public ::BackupDialogs {
    public:
        std::optional<QString> chooseDestination(const QString &name) override { return name; }
        std::optional<QString> chooseBackup() override { return u"Vantorell Backup.vtbackup"_s; }
        std::optional<QString> askBackupPassword(const QString &) override { return u"password"_s; }
        void showUnfinished(const QString &, const QString &) override { }
    };

    DeviceAuth deviceAuth;
    Keychain keychain;
    Workspace workspace;
    Alerts alerts;
    KeySender keySender;
    KeyCodeMap keyCodeMap;
    InstalledApplications applications;
    BackupOperations backupOperations;
    BackupDialogs backupDialogs;
};

void settle(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// The first item of that name, also among those a Repeater made.
QQuickItem *findItem(QQuickItem *item, const QString &name)
{
    if (item->objectName() == name)
        return item;
    for (QQuickItem *child : item->childItems()) {
        if (QQuickItem *found = findItem(child, name))
            return found;
    }
    return nullptr;
}

// shown, when set, acts on the view once it is on screen.
bool writeSection(SettingsWindowContext &context, SettingsManager &settings, const QString &section,
    const std::function<void(QObject &)> &shown, const QString &file)
{
    QQuickView view;
    view.setInitialProperties({{u"settings"_s, QVariant::fromValue<QObject *>(&settings)},
        {u"section"_s, section}, {u"context"_s, QVariant::fromValue<QObject *>(&context)}});
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    view.setSource(SettingsWindowContext::rootView);
    if (view.status() != QQuickView::Ready) {
        for (const QQmlError &error : view.errors())
            std::fprintf(stderr, "%s\n", qPrintable(error.toString()));
        return false;
    }
    view.resize(780, 560);
    view.show();
    view.requestActivate();
    if (shown)
        shown(*view.rootObject());
    // Let layouts and animations finish.
    settle(400);
    if (view.grabWindow().save(file))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    QQuickStyle::setStyle(u"Basic"_s);
    SceneGraphBackend::choose();
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(u"The settings window over sample services."_s);
    parser.addHelpOption();
    parser.addPositionalArgument(u"folder"_s, u"Write settings-<section>-light.png and -dark.png here."_s);
    parser.process(app);
    if (parser.positionalArguments().isEmpty())
        parser.showHelp(2);
    const QDir folder(parser.positionalArguments().constFirst());
    QTemporaryDir settingsFolder;
    if (!folder.mkpath(u"."_s) || !settingsFolder.isValid()) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder.path()));
        return 1;
    }

    SampleDesktop desktop;
    SampleServices services;
    SettingsManager settings(
        settingsFolder.filePath(u"Vantorell.conf"_s), desktop.loginItem, desktop.dockPresence);
    settings.setAutoPaste(true);
    AppStateController appState;
    KeyManager keyManager(services.keychain, services.deviceAuth);
    AutoPaste autoPaste(services.keySender, services.workspace, services.alerts);
    UpdateChecker updateChecker;
    SettingsWindowContext context(
        {appState, settings, services.deviceAuth, autoPaste, keyManager, updateChecker, services.keyCodeMap,
            services.workspace, services.applications, services.backupOperations, services.backupDialogs});

    const auto reset = [&] {
        services.keySender.permitted = true;
        settings.setHotkeyModifiers(0x120000);
        settings.setGlobalHotkey(u"⌘⇧V"_s);
        settings.setHotkeyError({});
        settings.setRequirePasscode(false);
        settings.setAutoLockTimeout(0);
        settings.setDetectSecrets(true);
        settings.setCaptureImages(true);
        settings.setMaxHistoryCount(500);
        settings.setMenubarIconName(u"doc.on.clipboard"_s);
        settings.setExcludedApps(SettingsManager::defaultExcludedApps()
            + QList<ExcludedApp> {{QUuid::createUuid(), u"vim"_s, u"Vim"_s}});
        services.backupOperations.restored = SampleServices::BackupOperations::wrongPassword;
    };
    const auto record = [](QObject &view) {
        auto *recorder = view.findChild<QQuickItem *>(u"recorder"_s);
        const QPointF centre = recorder->boundingRect().center();
        const QPointF inScene = recorder->mapToScene(centre);
        QMouseEvent press(QEvent::MouseButtonPress, inScene, inScene, recorder->mapToGlobal(centre),
            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(recorder->window(), &press);
    };
    const auto askToErase
        = [](QObject &view) { view.findChild<SecuritySettingsTab *>()->setShowResetConfirm(true); };
    const auto selectTwo = [](QObject &view) {
        auto *tab = view.findChild<ExcludedAppsTab *>();
        tab->selectRow(1, Qt::NoModifier);
        tab->selectRow(3, Qt::ControlModifier);
    };
    // A click on the second row, then Down twice and Shift+Down: the list
    // has the keyboard on the last row reached. Once laid out, so the list
    // scrolls only as far as it must.
    const auto selectByKeys = [](QObject &view) {
        settle(100);
        view.findChild<ExcludedAppsTab *>()->selectRow(1, Qt::NoModifier);
        auto *list = view.findChild<QQuickItem *>(u"apps"_s);
        list->forceActiveFocus();
        for (const auto &[key, modifiers] : {std::pair {Qt::Key_Down, Qt::NoModifier},
                 std::pair {Qt::Key_Down, Qt::NoModifier}, std::pair {Qt::Key_Down, Qt::ShiftModifier}}) {
            QKeyEvent down(QEvent::KeyPress, key, modifiers);
            QKeyEvent up(QEvent::KeyRelease, key, modifiers);
            QCoreApplication::sendEvent(list->window(), &down);
            QCoreApplication::sendEvent(list->window(), &up);
        }
    };
    const auto backUp = [](QObject &view) {
        auto *tab = view.findChild<BackupSettingsTab *>();
        tab->setPassword(u"correct horse"_s);
        tab->setConfirm(u"correct horse"_s);
        tab->backUp();
    };
    const auto restoreWithShortPassword = [](QObject &view) {
        auto *tab = view.findChild<BackupSettingsTab *>();
        tab->setPassword(u"secret"_s);
        tab->restore();
    };
    const auto restore = [](QObject &view) { view.findChild<BackupSettingsTab *>()->restore(); };
    const auto tabTo = [](const QString &control) {
        return [control](QObject &view) {
            settle(100);
            findItem(qobject_cast<QQuickItem *>(&view), control)->forceActiveFocus(Qt::TabFocusReason);
        };
    };
    // Restore… pressed from the keyboard: disabled while it works, enabled
    // again when it ends.
    const auto restoreByKeyboard = [&](QObject &view) {
        tabTo(u"restore"_s)(view);
        restore(view);
    };
    // Restores that end short of the backup: a lock, a private session, a
    // full disk.
    const auto restoreCutShort = [&](const QString &reason, qsizetype entries, qsizetype skipped) {
        return [&, reason, entries, skipped] {
            using Restored = BackupOperations::Restored;
            services.backupOperations.restored
                = Restored {entries, 0, skipped, Restored::CutShort {reason, 20, 3}};
        };
    };
    // Each picture: its name, the section, the state it shows and what is
    // done once it is on screen.
    const QList<std::tuple<QString, QString, std::function<void()>, std::function<void(QObject &)>>>
        pictures {
            {u"general"_s, u"general"_s, [] {}, {}},
            {u"general-attention"_s, u"general"_s,
                [&] {
                    services.keySender.permitted = false;
                    settings.setHotkeyModifiers(0x20000);
                    settings.setGlobalHotkey(u"⇧K"_s);
                    settings.setHotkeyError(u"Add Super or Ctrl to the shortcut."_s);
                },
                {}},
            {u"general-recording"_s, u"general"_s, [] {}, record},
            // The longest combination, the field reached by Tab.
            {u"general-keyboard"_s, u"general"_s,
                [&] {
                    settings.setHotkeyModifiers(0x1E0000);
                    settings.setGlobalHotkey(u"⌃⌥⇧⌘F12"_s);
                },
                [](QObject &view) {
                    view.findChild<QQuickItem *>(u"recorder"_s)->forceActiveFocus(Qt::TabFocusReason);
                }},
            {u"security"_s, u"security"_s, [] {}, {}},
            {u"security-passcode"_s, u"security"_s,
                [&] {
                    settings.setRequirePasscode(true);
                    settings.setAutoLockTimeout(10);
                    settings.setDetectSecrets(false);
                },
                {}},
            {u"security-erase"_s, u"security"_s, [] {}, askToErase},
            // The last control, below the window's edge until Tab reaches it.
            {u"security-keyboard"_s, u"security"_s, [] {}, tabTo(u"eraseAllData"_s)},
            {u"clipboard"_s, u"clipboard"_s, [] {}, {}},
            {u"clipboard-unmatched"_s, u"clipboard"_s,
                [&] {
                    settings.setMaxHistoryCount(300);
                    settings.setCaptureImages(false);
                },
                {}},
            // A switch reached by Tab.
            {u"clipboard-keyboard"_s, u"clipboard"_s, [] {},
                [](QObject &view) {
                    view.findChild<QQuickItem *>(u"switch"_s)->forceActiveFocus(Qt::TabFocusReason);
                }},
            {u"backup"_s, u"backup"_s, [] {}, {}},
            {u"backup-done"_s, u"backup"_s, [] {}, backUp},
            {u"backup-unread"_s, u"backup"_s,
                [&] {
                    const UnreadRows one {1, false, u"database disk image is malformed"_s};
                    services.backupOperations.written = BackupOperations::Written {39, 9, one, one};
                },
                backUp},
            {u"backup-failed"_s, u"backup"_s, [] {}, restoreWithShortPassword},
            {u"backup-locked"_s, u"backup"_s,
                restoreCutShort(description(BackupError {BackupError::interrupted}), 5, 0), restore},
            {u"backup-private"_s, u"backup"_s,
                restoreCutShort(description(BackupError {BackupError::privateSessionStarted}), 5, 0),
                restore},
            {u"backup-unsaved"_s, u"backup"_s,
                restoreCutShort(description(BackupError::failedToStore(u"No space left on device"_s)), 12, 2),
                restore},
            {u"backup-keyboard"_s, u"backup"_s, [] {}, restoreByKeyboard},
            {u"appearance"_s, u"appearance"_s, [] {}, {}},
            {u"appearance-keyboard"_s, u"appearance"_s, [] {}, tabTo(u"iconTile"_s)},
            {u"excluded"_s, u"excluded"_s, [] {}, selectTwo},
            {u"excluded-keyboard"_s, u"excluded"_s, [] {}, selectByKeys},
            {u"about"_s, u"about"_s, [] {}, {}},
            {u"about-keyboard"_s, u"about"_s, [] {}, tabTo(u"link"_s)},
        };
    for (const auto &[appearance, palette] :
        {std::pair {u"light"_s, Appearance::light()}, std::pair {u"dark"_s, Appearance::dark()}}) {
        QApplication::setPalette(palette);
        for (const auto &[name, section, prepare, shown] : pictures) {
            reset();
            prepare();
            const QString file = folder.filePath(u"settings-%1-%2.png"_s.arg(name, appearance));
            if (!writeSection(context, settings, section, shown, file))
                return 1;
        }
    }
    return 0;
}
