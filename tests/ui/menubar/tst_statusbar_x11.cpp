#include "../windows/SettingsWindowFixture.h"
#include "LaunchedApp.h"
#include "app/SecurityController.h"
#include "platform/linux/DesktopEntryIndex.h"
#include "platform/linux/PamDeviceAuth.h"
#include "platform/linux/X11DockPresence.h"
#include "platform/linux/X11GlobalMouseMonitor.h"
#include "records/Snippet.h"
#include "support/AwaitFuture.h"
#include "support/DesktopPeer.h"
#include "support/QuickScene.h"
#include "support/TestFiles.h"
#include "ui/menubar/PanelWindow.h"
#include "ui/windows/settings/BackupFileDialogs.h"
#include "ui/windows/settings/ExcludedAppsTab.h"
#include "ui/windows/snippets/FolderRenamePrompt.h"
#include "ui/windows/snippets/SnippetManagerViewModel.h"

#include <QApplication>
#include <QCursor>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRasterWindow>
#include <QTest>
#include <QTimer>

// Last: the X11 headers define names that Qt uses.
#include "XUser.h"

using namespace Qt::StringLiterals;

namespace {

QAction *findAction(QMenu &menu, const QString &text)
{
    for (QAction *action : menu.findChildren<QAction *>()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

// The open menu that shows action.
QMenu *menuShowing(const QAction &action)
{
    for (QObject *object : action.associatedObjects()) {
        if (auto *menu = qobject_cast<QMenu *>(object); menu && menu->isVisible())
            return menu;
    }
    return nullptr;
}

// A dialog of ours on screen, modal or not.
QWidget *shownDialog()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && qobject_cast<QDialog *>(widget))
            return widget;
    }
    return nullptr;
}

// Counts the dialogs of ours that show, however briefly.
class DialogShows final : public QObject {
public:
    DialogShows() { QCoreApplication::instance()->installEventFilter(this); }

    int count() const { return m_count; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<QDialog *>(watched))
            ++m_count;
        return false;
    }

private:
    int m_count = 0;
};

} // namespace

// Locks the vault once a dialog of ours has the keyboard, then
// answers the dialog as the user would: types text and presses Return. In
// the lock's own turn the answer comes at once, through the dialog's default
// button, before the lock's published state follows.
class LockedAnswer final {
    Q_DISABLE_COPY(LockedAnswer)

public:
    LockedAnswer(XUser &user, AppStateController &state, std::function<void()> lock, const QString &typed,
        bool inTheLocksTurn)
    {
        QObject::connect(&m_poll, &QTimer::timeout, [=, this, &user, &state] {
            if (m_answered)
                return;
            if (!m_locked) {
                QWidget *dialog = shownDialog();
                if (!dialog || (!dialog->isActiveWindow() && ++m_polls < 100))
                    return;
                m_dialog = dialog;
                m_locked = true;
                lock();
                if (inTheLocksTurn) {
                    m_answered = true;
                    answerAtOnce(*dialog, typed);
                }
                return;
            }
            // What the lock closes, it closes once its state has followed.
            if (state.isUnlocked() || ++m_afterTheLock < 6)
                return;
            m_answered = true;
            m_openAfterTheLock = m_dialog && m_dialog->isVisible();
            user.type(typed);
            user.press(XK_Return);
        });
        m_poll.start(50);
    }

    bool answered() const { return m_answered; }
    bool openAfterTheLock() const { return m_openAfterTheLock; }

private:
    static void answerAtOnce(QWidget &dialog, const QString &typed)
    {
        if (auto *field = dialog.findChild<QLineEdit *>(); field && !typed.isEmpty())
            field->setText(typed);
        for (QPushButton *button : dialog.findChildren<QPushButton *>()) {
            if (button->isDefault()) {
                button->click();
                return;
            }
        }
    }

    QTimer m_poll;
    QPointer<QWidget> m_dialog;
    int m_polls = 0;
    int m_afterTheLock = 0;
    bool m_locked = false;
    bool m_answered = false;
    bool m_openAfterTheLock = false;
};

// The settings window's parts, over the launched application, with one
// application to add, "editor".
struct WindowParts {
    Q_DISABLE_COPY(WindowParts)

    explicit WindowParts(LaunchedApp &app)
        : ready(writeFile(launchers.filePath(u"applications/editor.desktop"_s),
            "[Desktop Entry]\nType=Application\nName=Editor\nExec=editor\n")),
          context({app.appState(), app.delegate->settingsManager(), app.deviceAuth,
              *app.delegate->autoPaste(), *app.delegate->keyManager(), *app.delegate->updateChecker(),
              keyCodeMap, app.workspace, applications, backups, backupDialogs})
    {
        excludedApps.setContext(&context);
    }

    QTemporaryDir launchers;
    const bool ready;
    DesktopEntryIndex applications {QStringList {launchers.filePath(u"applications"_s)}};
    FakeKeyCodeMap keyCodeMap;
    FakeBackupOperations backups;
    FakeBackupDialogs backupDialogs;
    SettingsWindowContext context;
    ExcludedAppsTab excludedApps;
};

// The status item in the test desktop's tray, clicked and typed at as the
// user would.
class StatusBarX11Test final : public QObject {
    Q_OBJECT

    X11GlobalMouseMonitor m_mouseMonitor;
    std::unique_ptr<LaunchedApp> m_app;

    // A snippet that asks for a name.
    void addGreetingSnippet()
    {
        Snippet greeting;
        greeting.id = QUuid::createUuid();
        greeting.title = u"Greeting"_s;
        greeting.content = u"Hello {{prompt:Name}}!"_s;
        m_app->appState().setSnippets({greeting});
    }

    // The tray host shows a new icon a moment after the old one has gone:
    // clicks before that reach nothing.
    QMenu *clickTrayIcon(XUser &user)
    {
        QSystemTrayIcon &tray = m_app->controller->trayIcon();
        const auto opened
            = [this] { return m_app->controller->openMenu() && m_app->controller->openMenu()->isVisible(); };
        for (int attempt = 0; attempt < 20 && !opened(); ++attempt) {
            if (!tray.geometry().isEmpty())
                user.click(tray.geometry().center());
            if (QTest::qWaitFor(opened, 500))
                break;
        }
        return opened() ? m_app->controller->openMenu() : nullptr;
    }

private slots:
    void init()
    {
        m_app = std::make_unique<LaunchedApp>(nullptr, &m_mouseMonitor);
        QVERIFY(m_app->unlocked());
    }

    void cleanup() { m_app.reset(); }

    void clickOpensTheMenuAndCtrl2PastesTheSecondEntryOnce()
    {
        XUser user;
        QVERIFY(user.isConnected());
        m_app->appState().setClipboardEntries(
            {m_app->textEntry(u"first"_s), m_app->textEntry(u"second"_s), m_app->textEntry(u"third"_s)});
        QVERIFY(clickTrayIcon(user));
        user.pressWithControl(XK_2);
        QTRY_VERIFY(!m_app->controller->openMenu());
        QTRY_COMPARE(m_app->pasteboard.writes().size(), 1);
        QTest::qWait(200);
        const QList<PasteboardItem> &writes = m_app->pasteboard.writes();
        QCOMPARE(writes.size(), 1);
        QCOMPARE(writes.constFirst().data(u"text/plain"_s), QByteArray("second"));
    }

    // Items whose command opens a modal dialog, chosen by the user's click
    // or key. The dialog's event loop must not find the menu still running
    // the choice: it would delete it under its own code.
    void menuChoicesThatOpenADialog_data()
    {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<bool>("byKey");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QStringList>("written");
        QTest::addColumn<int>("entriesLeft");

        const QStringList snippet {u"Snippets"_s, u"Greeting"_s};
        const QStringList clear {u"Clear History…"_s};
        for (const bool byKey : {false, true}) {
            const char *how = byKey ? "key" : "click";
            QTest::addRow("snippet prompt, Insert, by %s", how)
                << snippet << byKey << u"ada"_s << true << QStringList {u"Hello ada!"_s} << 2;
            QTest::addRow("snippet prompt, Cancel, by %s", how)
                << snippet << byKey << u"ada"_s << false << QStringList {} << 2;
            QTest::addRow("Clear History, Cancel, by %s", how)
                << clear << byKey << QString() << false << QStringList {} << 2;
        }
        QTest::newRow("Clear History, confirmed")
            << clear << true << QString() << true << QStringList {} << 1;
    }

    void menuChoicesThatOpenADialog()
    {
        QFETCH(QStringList, path);
        QFETCH(bool, byKey);
        QFETCH(QString, typed);
        QFETCH(bool, accept);
        QFETCH(QStringList, written);
        QFETCH(int, entriesLeft);

        XUser user;
        QVERIFY(user.isConnected());
        ClipboardEntry pinned = m_app->textEntry(u"pinned"_s);
        pinned.isPinned = true;
        m_app->appState().setClipboardEntries({pinned, m_app->textEntry(u"plain"_s)});
        addGreetingSnippet();
        QMenu *opened = clickTrayIcon(user);
        QVERIFY(opened);
        QMenu &root = *opened;
        const auto destroyedUnderTheDialog = std::make_shared<bool>(false);
        connect(&root, &QObject::destroyed, this,
            [destroyedUnderTheDialog] { *destroyedUnderTheDialog = QApplication::activeModalWidget(); });

        const DialogAnswer answer(user, typed, accept ? XK_Return : XK_Escape);
        for (const QString &title : std::as_const(path)) {
            QAction *action = findAction(root, title);
            QVERIFY2(action, qPrintable(title));
            QMenu *shown = nullptr;
            QTRY_VERIFY((shown = menuShowing(*action)));
            if (byKey) {
                shown->setActiveAction(action);
                user.press(action->menu() ? XK_Right : XK_Return);
            } else {
                const QRect at = shown->actionGeometry(action);
                user.click(shown->mapToGlobal(at.center()));
            }
        }
        QTRY_VERIFY_WITH_TIMEOUT(answer.answered(), 10'000);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QTest::qWait(200);

        QVERIFY(!*destroyedUnderTheDialog);
        QStringList texts;
        for (const PasteboardItem &item : m_app->pasteboard.writes())
            texts << QString::fromUtf8(item.data(u"text/plain"_s).value_or(QByteArray()));
        QCOMPARE(texts, written);
        QTRY_COMPARE(m_app->appState().clipboardEntries().size(), entriesLeft);
    }

    // The idle check or the screen lock may lock the vault between the
    // choice and its run: then nothing is asked and nothing is pasted, also
    // while a worker (sealing a large entry) still holds the dropped key.
    void aLockBeforeTheChoiceRunsDropsIt_data()
    {
        QTest::addColumn<bool>("keyHeld");
        QTest::newRow("the key gone") << false;
        QTest::newRow("the key still held by a worker") << true;
    }

    void aLockBeforeTheChoiceRunsDropsIt()
    {
        QFETCH(bool, keyHeld);

        XUser user;
        QVERIFY(user.isConnected());
        addGreetingSnippet();
        QMenu *root = clickTrayIcon(user);
        QVERIFY(root);
        QAction *snippets = findAction(*root, u"Snippets"_s);
        QAction *chosen = findAction(*root, u"Greeting"_s);
        QVERIFY(snippets && chosen);
        std::shared_ptr<const SecureBytes> worker;
        connect(chosen, &QAction::triggered, this, [this, keyHeld, &worker] {
            if (keyHeld)
                worker = m_app->delegate->storageManager()->encryptionService().keySession().lock();
            m_app->delegate->securityController()->lockNow();
        });

        root->setActiveAction(snippets);
        user.press(XK_Right);
        QMenu *shown = nullptr;
        QTRY_VERIFY((shown = menuShowing(*chosen)));
        shown->setActiveAction(chosen);
        // Should the dialog show, it must not hold the test; the lock may
        // close it before anyone sees it.
        const DialogShows asked;
        QTimer dialogWatch;
        connect(&dialogWatch, &QTimer::timeout, this, [] {
            if (QWidget *dialog = QApplication::activeModalWidget())
                dialog->close();
        });
        dialogWatch.start(50);
        user.press(XK_Return);
        QTRY_VERIFY(!m_app->appState().isUnlocked());
        QTest::qWait(500);
        QCOMPARE(asked.count(), 0);
        QVERIFY(m_app->pasteboard.writes().isEmpty());
    }

    // A lock, here the screen's, closes a dialog of ours as if cancelled:
    // what the user types next reaches none, and an answer given in the
    // lock's own turn counts for nothing. The locked vault, its settings and
    // the clipboard stay as they were.
    void aLockClosesTheOpenDialogAndItsAnswerChangesNothing_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("inTheLocksTurn");
        // As a worker sealing a large entry holds it.
        QTest::addColumn<bool>("keyHeld");
        const QString clear = u"Clear History…"_s;
        const QString rename = u"Rename…"_s;
        QTest::newRow("Clear History…, an alert") << clear << QString() << false << false;
        QTest::newRow("Clear History…, in the lock's turn") << clear << QString() << true << false;
        QTest::newRow("Clear History…, in the lock's turn, the key held")
            << clear << QString() << true << true;
        QTest::newRow("Add App…, a file dialog") << u"Add App…"_s << u"editor.desktop"_s << false << false;
        QTest::newRow("Rename…, a field prompt") << rename << u"home"_s << false << false;
        QTest::newRow("Rename…, in the lock's turn") << rename << u"home"_s << true << false;
        QTest::newRow("Rename…, in the lock's turn, the key held") << rename << u"home"_s << true << true;
        QTest::newRow("a snippet's fill-in prompt") << u"Greeting"_s << u"ada"_s << false << false;
    }

    void aLockClosesTheOpenDialogAndItsAnswerChangesNothing()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, typed);
        QFETCH(bool, inTheLocksTurn);
        QFETCH(bool, keyHeld);

        XUser user;
        QVERIFY(user.isConnected());
        AppStateController &state = m_app->appState();
        SecureStorageManager &store = *m_app->delegate->storageManager();
        ClipboardEntry pinned = m_app->textEntry(u"pinned"_s);
        pinned.isPinned = true;
        for (const ClipboardEntry &entry : {pinned, m_app->textEntry(u"plain"_s)})
            QVERIFY(awaitFuture(store.insertEntry(entry)));
        state.reloadEntries();
        QTRY_COMPARE(state.clipboardEntries().size(), 2);
        SettingsManager &settings = m_app->delegate->settingsManager();
        settings.setSnippetFolders({u"work"_s});
        const QList<ExcludedApp> excludedBefore = settings.excludedApps();
        addGreetingSnippet();
        settings.setRequirePasscode(true);
        settings.setLockOnSleep(true);

        // The windows' own parts, which open the other dialogs.
        WindowParts parts(*m_app);
        QVERIFY(parts.ready);
        ExcludedAppsTab &excludedApps = parts.excludedApps;
        SnippetManagerViewModel snippetWindow;
        snippetWindow.setAppState(&state);
        snippetWindow.setSettings(&settings);

        std::shared_ptr<const SecureBytes> worker;
        const auto lock = [this, &store, &worker, keyHeld] {
            if (keyHeld)
                worker = store.encryptionService().keySession().lock();
            m_app->systemEvents.lockScreen();
        };
        const LockedAnswer answer(user, state, lock, typed, inTheLocksTurn);
        if (dialog == u"Clear History…"_s) {
            QMenu *root = clickTrayIcon(user);
            QVERIFY(root);
            QAction *action = findAction(*root, dialog);
            QVERIFY(action);
            user.click(root->mapToGlobal(root->actionGeometry(action).center()));
        } else if (dialog == u"Add App…"_s) {
            QMetaObject::invokeMethod(&excludedApps, &ExcludedAppsTab::addExcludedApps, Qt::QueuedConnection);
        } else if (dialog == u"Rename…"_s) {
            QMetaObject::invokeMethod(
                &snippetWindow, [&snippetWindow] { snippetWindow.promptRenameFolder(u"work"_s); },
                Qt::QueuedConnection);
        } else {
            const Snippet greeting = state.snippets().constFirst();
            QMetaObject::invokeMethod(
                &state, [&state, greeting] { state.paste().pasteSnippet(greeting); }, Qt::QueuedConnection);
        }
        QTRY_VERIFY_WITH_TIMEOUT(answer.answered(), 15'000);
        QTRY_VERIFY(!shownDialog());
        QTest::qWait(300);

        QVERIFY2(!answer.openAfterTheLock(), "the lock left the dialog open");
        QVERIFY(!state.isUnlocked());
        QCOMPARE(awaitFuture(store.entryCount()), 2);
        QCOMPARE(settings.excludedApps(), excludedBefore);
        QCOMPARE(settings.snippetFolders(), QStringList {u"work"_s});
        QVERIFY(m_app->pasteboard.writes().isEmpty());
    }

    // The settings window opens on the lock screen too: a dialog opened there
    // counts, also across an unlock; what its answer does checks its own
    // conditions.
    void aDialogOpenedWhileLockedCounts_data()
    {
        QTest::addColumn<bool>("unlockBeforeTheAnswer");
        QTest::newRow("answered while locked") << false;
        QTest::newRow("an unlock before the answer") << true;
    }

    void aDialogOpenedWhileLockedCounts()
    {
        QFETCH(bool, unlockBeforeTheAnswer);

        XUser user;
        QVERIFY(user.isConnected());
        AppStateController &state = m_app->appState();
        SecurityController &security = *m_app->delegate->securityController();
        security.lockNow();
        QTRY_VERIFY(!state.isUnlocked());
        WindowParts parts(*m_app);
        QVERIFY(parts.ready);

        KeyManager &keys = *m_app->delegate->keyManager();
        const DialogAnswer answer(user, u"editor.desktop"_s, XK_Return, [&] {
            if (unlockBeforeTheAnswer && keys.unlockFromKeychain())
                security.completeUnlock();
        });
        QMetaObject::invokeMethod(
            &parts.excludedApps, &ExcludedAppsTab::addExcludedApps, Qt::QueuedConnection);
        QTRY_VERIFY_WITH_TIMEOUT(answer.answered(), 15'000);
        QTRY_VERIFY(!shownDialog());

        QCOMPARE(state.isUnlocked(), unlockBeforeTheAnswer);
        const QList<ExcludedApp> apps = m_app->delegate->settingsManager().excludedApps();
        QVERIFY(std::ranges::find(apps, u"editor"_s, &ExcludedApp::bundleIdentifier) != apps.end());
    }

    // Under a window manager that gives the keyboard back to no window
    // left out of the taskbar, a dialog belongs to the window it came from:
    // once it closes, that window and the control that opened it have the
    // keyboard, and Tab moves on from there.
    void theKeyboardComesBackToTheWindowADialogCameFrom_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::newRow("Restore…, a file dialog") << u"file"_s;
        QTest::newRow("Rename Folder, a field prompt") << u"field"_s;
        QTest::newRow("the account-password prompt") << u"password"_s;
    }

    void theKeyboardComesBackToTheWindowADialogCameFrom()
    {
        QFETCH(QString, dialog);

        PamDeviceAuth auth;
        if (dialog == u"password"_s && !auth.canEvaluate(DeviceAuth::Policy::ownerAuthentication))
            QSKIP("No PAM service to ask for the account password.");
        XUser user;
        QVERIFY(user.isConnected());
        X11DockPresence taskbar;
        taskbar.setShownInDock(false);
        BackupFileDialogs backupDialogs;
        QObject replies;
        // A window of ours whose first button has the keyboard and opens the
        // dialog, as a settings control does.
        QTimer opener;
        opener.setSingleShot(true);
        connect(&opener, &QTimer::timeout, this, [&] {
            if (dialog == u"file"_s)
                (void)backupDialogs.chooseBackup();
            else if (dialog == u"field"_s)
                (void)FolderRenamePrompt::ask(u"work"_s);
            else
                auth.evaluate(DeviceAuth::Policy::ownerAuthentication, u"Reveal this protected item"_s,
                    &replies, [](const DeviceAuth::Reply &) {});
        });
        QuickScene scene;
        QQuickItem *row = scene.load(u"Row { Button { objectName: \"open\"; text: \"Open…\"; focus: true }\n"
                                     u"Button { objectName: \"next\"; text: \"Next\" } }"_s);
        QVERIFY(row);
        QQuickItem *open = row->findChild<QQuickItem *>(u"open"_s);
        QQuickItem *next = row->findChild<QQuickItem *>(u"next"_s);
        QVERIFY(connect(open, SIGNAL(clicked()), &opener, SLOT(start())));
        QVERIFY(scene.showAndActivate());
        // The server's word: Qt takes a window for active before it is.
        QTRY_COMPARE(user.inputFocus(), scene.window().winId());
        QTRY_COMPARE(scene.window().activeFocusItem(), open);

        const DialogAnswer answer(user, QString(), XK_Escape);
        user.press(XK_space);
        QTRY_VERIFY_WITH_TIMEOUT(answer.answered(), 10'000);
        QTRY_VERIFY(!shownDialog());

        QTRY_COMPARE_WITH_TIMEOUT(user.inputFocus(), scene.window().winId(), 5000);
        QTRY_COMPARE(scene.window().activeFocusItem(), open);
        user.press(XK_Tab);
        QTRY_COMPARE(scene.window().activeFocusItem(), next);
    }

    // A second start while a window of ours is open brings it forward: from
    // behind another application's window, minimised, or with a modal dialog
    // of ours, which stays above what it blocks and gets the keyboard. With
    // none open it opens the panel.
    void aSecondStartBringsTheOpenWindowsForward_data()
    {
        QTest::addColumn<bool>("window");
        QTest::addColumn<bool>("minimised");
        QTest::addColumn<bool>("modalDialog");
        QTest::newRow("none open: the panel") << false << false << false;
        QTest::newRow("behind another application") << true << false << false;
        QTest::newRow("minimised") << true << true << false;
        QTest::newRow("with a modal dialog") << true << false << true;
    }

    void aSecondStartBringsTheOpenWindowsForward()
    {
        QFETCH(bool, window);
        QFETCH(bool, minimised);
        QFETCH(bool, modalDialog);

        QRasterWindow ours;
        ours.resize(300, 200);
        QMessageBox dialog(QMessageBox::Warning, u"Vantorell"_s, u"Still open"_s);
        dialog.setWindowModality(Qt::ApplicationModal);
        if (window) {
            ours.show();
            ours.requestActivate();
            QVERIFY(QTest::qWaitForWindowActive(&ours));
        }
        if (modalDialog) {
            dialog.show();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
        }
        DesktopPeer peer;
        QVERIFY(peer.isReady());
        QVERIFY(peer.ask("window vtother VtOther").value(0).toUInt() != 0);
        QTRY_VERIFY(!QGuiApplication::focusWindow());
        if (minimised) {
            ours.showMinimized();
            QTRY_VERIFY(ours.windowStates().testFlag(Qt::WindowMinimized));
        }

        m_app->delegate->applicationShouldHandleReopen(window);
        PanelWindow &panel = m_app->controller->panel();
        if (!window) {
            QTRY_VERIFY(panel.isVisible());
            return;
        }
        QWindow *expected = modalDialog ? dialog.windowHandle() : &ours;
        QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::focusWindow(), expected, 10'000);
        QTRY_VERIFY(!ours.windowStates().testFlag(Qt::WindowMinimized));
        QVERIFY(!panel.isVisible());
    }

    // Our own windows leave it open; another application taking the focus
    // closes it.
    void panelClosesWhenAnotherApplicationTakesTheFocus()
    {
        PanelWindow &panel = m_app->controller->panel();
        m_app->controller->showPanel();
        QVERIFY(QTest::qWaitForWindowActive(&panel));

        QWindow alert;
        alert.resize(200, 100);
        alert.show();
        alert.requestActivate();
        QVERIFY(QTest::qWaitForWindowActive(&alert));
        QVERIFY(panel.isVisible());

        DesktopPeer peer;
        QVERIFY(peer.isReady());
        QVERIFY(peer.ask("window vtother VtOther").value(0).toUInt() != 0);
        QTRY_VERIFY_WITH_TIMEOUT(!panel.isVisible(), 10'000);
    }

    // Presses that move no focus. A left or right one in another
    // application closes the panel, as one on the tray icon does before
    // the menu opens in its place; the middle button, the wheel, a press
    // inside the panel and one that only closes a menu of ours do not.
    void pressesWhileThePanelShows_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("menuOpenBefore");
        QTest::addColumn<bool>("closes");

        QTest::newRow("left, on a dock") << u"dock"_s << 1 << false << true;
        QTest::newRow("right, on a dock") << u"dock"_s << 3 << false << true;
        QTest::newRow("middle, on a dock") << u"dock"_s << 2 << false << false;
        QTest::newRow("wheel, on a dock") << u"dock"_s << 5 << false << false;
        QTest::newRow("left, inside the panel") << u"panel"_s << 1 << false << false;
        QTest::newRow("left, on a dock, closing our menu") << u"dock"_s << 1 << true << false;
        QTest::newRow("left, on the tray icon") << u"tray"_s << 1 << false << true;
    }

    void pressesWhileThePanelShows()
    {
        QFETCH(QString, target);
        QFETCH(int, button);
        QFETCH(bool, menuOpenBefore);
        QFETCH(bool, closes);

        XUser user;
        QVERIFY(user.isConnected());
        DesktopPeer peer;
        QVERIFY(peer.isReady());
        const QRect dock(40, 800, 200, 120);
        QVERIFY(peer.ask("dock 40 800").value(0).toUInt() != 0);
        // Menus open at the pointer: away from the dock.
        QCursor::setPos(960, 300);
        PanelWindow &panel = m_app->controller->panel();
        m_app->controller->showPanel();
        QVERIFY(QTest::qWaitForWindowActive(&panel));
        const auto menuOpen
            = [this] { return m_app->controller->openMenu() && m_app->controller->openMenu()->isVisible(); };
        if (menuOpenBefore) {
            m_app->controller->presentClipboardMenuAtCursor();
            QTRY_VERIFY(menuOpen());
        }

        if (target == u"tray")
            QVERIFY(clickTrayIcon(user));
        else
            user.click(target == u"dock" ? dock.center() : panel.geometry().center(), unsigned(button));
        if (menuOpenBefore)
            QTRY_VERIFY(!menuOpen());
        if (closes)
            QTRY_VERIFY_WITH_TIMEOUT(!panel.isVisible(), 5000);
        QTest::qWait(300);
        QCOMPARE(panel.isVisible(), !closes);
        QCOMPARE(menuOpen(), target == u"tray");
    }
};

QTEST_MAIN(StatusBarX11Test)
#include "tst_statusbar_x11.moc"
