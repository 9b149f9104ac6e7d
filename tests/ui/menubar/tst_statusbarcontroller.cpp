#include "../design/DarkPalette.h"
#include "LaunchedApp.h"

#include "app/SecurityController.h"
#include "capture/ClipboardMonitor.h"
#include "paste/AutoPaste.h"
#include "support/AwaitFuture.h"
#include "support/LogCapture.h"
#include "ui/menubar/ClipboardListModel.h"
#include "ui/menubar/MainPopoverModel.h"
#include "ui/menubar/OnboardingModel.h"
#include "ui/menubar/PanelWindow.h"
#include "ui/menubar/WindowHost.h"

#include <QApplication>
#include <QMenu>
#include <QRasterWindow>
#include <QTest>

#include <utility>

using namespace Qt::StringLiterals;

namespace {

const RunningApplication editor {u"org.example.Editor"_s, u"Editor"_s, 4242, 77};

QAction *findAction(QMenu *menu, const QString &text)
{
    for (QAction *action : menu->findChildren<QAction *>()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

} // namespace

class StatusBarControllerTest final : public QObject {
    Q_OBJECT

    std::unique_ptr<LaunchedApp> m_app;
    StatusBarController *m_controller = nullptr;

    AppStateController &state() { return m_app->appState(); }

    QStringList written() const
    {
        QStringList texts;
        for (const PasteboardItem &item : m_app->pasteboard.writes())
            texts << QString::fromUtf8(item.data(u"text/plain"_s).value_or("(empty)"));
        return texts;
    }

private slots:
    void initTestCase() { QCoreApplication::setApplicationName(u"Vantorell"_s); }

    void init()
    {
        m_app = std::make_unique<LaunchedApp>();
        QVERIFY(m_app->unlocked());
        m_controller = m_app->controller;
        m_app->workspace.setFrontmostApplication(editor);
    }

    void cleanup() { m_app.reset(); }

    void iconChangesOnTheNextTurn()
    {
        FakeLoginItem loginItem;
        FakeDockPresence dock;
        SettingsManager settings(m_app->home.filePath(u"other.conf"_s), loginItem, dock);
        AppStateController appState;
        StatusBarController controller(
            appState, settings, {m_app->workspace, m_app->pasteboard, m_app->keySender, m_app->mouseMonitor});
        QCOMPARE(controller.shownSymbolName(), u"doc.on.clipboard"_s);
        QVERIFY(!controller.trayIcon().icon().isNull());
        QTRY_COMPARE(controller.shownSymbolName(), u"lock.fill"_s);
        const qint64 lockKey = controller.trayIcon().icon().cacheKey();
        appState.setUnlocked(true);
        QCOMPARE(controller.shownSymbolName(), u"lock.fill"_s);
        QTRY_COMPARE(controller.shownSymbolName(), u"doc.on.clipboard"_s);
        QVERIFY(controller.trayIcon().icon().cacheKey() != lockKey);
        settings.setMenubarIconName(u"clipboard"_s);
        QTRY_COMPARE(controller.shownSymbolName(), u"clipboard"_s);
        // Paused before private, private before the chosen symbol.
        appState.setSecureModeActive(true);
        appState.setPaused(true);
        QTRY_COMPARE(controller.shownSymbolName(), u"pause.circle"_s);
        appState.setPaused(false);
        QTRY_COMPARE(controller.shownSymbolName(), u"eye.slash"_s);
        // A new desktop palette redraws the same symbol.
        const qint64 lightKey = controller.trayIcon().icon().cacheKey();
        const QPalette light = QApplication::palette();
        QApplication::setPalette(darkPalette());
        QTRY_VERIFY(controller.trayIcon().icon().cacheKey() != lightKey);
        QCOMPARE(controller.shownSymbolName(), u"eye.slash"_s);
        QApplication::setPalette(light);
    }

    void whatAClickOpens_data()
    {
        QTest::addColumn<bool>("unlocked");
        QTest::addColumn<int>("reason");
        QTest::addColumn<bool>("menu");
        QTest::addColumn<bool>("panel");
        QTest::newRow("left click") << true << int(QSystemTrayIcon::Trigger) << true << false;
        QTest::newRow("right click") << true << int(QSystemTrayIcon::Context) << true << false;
        QTest::newRow("double click") << true << int(QSystemTrayIcon::DoubleClick) << false << false;
        QTest::newRow("middle click") << true << int(QSystemTrayIcon::MiddleClick) << false << false;
        // No tray host here: the panel opens at the pointer.
        QTest::newRow("locked") << false << int(QSystemTrayIcon::Trigger) << false << true;
    }

    void whatAClickOpens()
    {
        QFETCH(bool, unlocked);
        QFETCH(int, reason);
        QFETCH(bool, menu);
        QFETCH(bool, panel);
        if (!unlocked)
            m_app->delegate->securityController()->lockNow();
        QTRY_COMPARE(state().isUnlocked(), unlocked);
        emit m_controller->trayIcon().activated(QSystemTrayIcon::ActivationReason(reason));
        QCOMPARE(m_controller->openMenu() != nullptr, menu);
        QCOMPARE(m_controller->panel().isVisible(), panel);
        QCOMPARE(state().previousActiveApp.has_value(), menu || panel);
    }

    void unopenedHistoryIsTold_data()
    {
        QTest::addColumn<QString>("junkFile");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a file for the folder") << u"data/Vantorell"_s << u"unable to open database file"_s;
        QTest::newRow("no database") << u"data/Vantorell/vantorell.db"_s << u"file is not a database"_s;
    }

    // Every copy is dropped: the panel and the menu say why, where they would
    // say that the history is empty.
    void unopenedHistoryIsTold()
    {
        QFETCH(QString, junkFile);
        QFETCH(QString, reason);
        m_app.reset();
        LogCapture log;
        m_app = std::make_unique<LaunchedApp>(nullptr, nullptr, nullptr, junkFile);
        QVERIFY(m_app->unlocked());
        m_app->pasteboard.copy(PasteboardItem::fromString(u"lost"_s));
        QTRY_VERIFY(log.contains(u"[Vantorell] Failed to store clipboard item: Database is not open"_s));

        m_app->controller->showPanel();
        const auto *list = m_app->controller->panel().rootItem()->findChild<ClipboardListModel *>();
        QVERIFY(list);
        const QString why
            = u"Couldn't open "_s + m_app->home.filePath(u"data/Vantorell/vantorell.db: "_s) + reason;
        QCOMPARE((QStringList {list->emptyTitle(), list->emptySubtitle(), list->footerText()}),
            (QStringList {u"History can't be saved"_s, why, QString()}));
        const std::unique_ptr<QMenu> menu = m_app->controller->buildStatusMenu();
        QVERIFY(findAction(menu.get(), u"History can't be saved"_s) && findAction(menu.get(), why));
        QVERIFY(!findAction(menu.get(), u"No clipboard history"_s));
    }

    // No alert for each copy: the panel and the menu say why, with the
    // items or in place of an empty history.
    void refusedCopyIsTold_data()
    {
        QTest::addColumn<bool>("withItems");
        QTest::newRow("with items") << true;
        QTest::newRow("empty history") << false;
    }

    void refusedCopyIsTold()
    {
        QFETCH(bool, withItems);
        m_app->controller->showPanel();
        const auto *list = m_app->controller->panel().rootItem()->findChild<ClipboardListModel *>();
        QVERIFY(list);
        if (withItems) {
            m_app->pasteboard.copy(PasteboardItem::fromString(u"kept"_s));
            QTRY_COMPARE(list->count(), 1);
        }
        QVERIFY(awaitFuture(m_app->delegate->storageManager()->execute(u"PRAGMA query_only = ON"_s)));
        m_app->pasteboard.copy(PasteboardItem::fromString(u"lost"_s));
        const QString why = u"Database write failed: attempt to write a readonly database"_s;
        const QString title = u"History can't be saved"_s;
        QTRY_COMPARE(state().copyRefusal(), why);
        const QStringList told = withItems
            ? QStringList {list->footerText(), list->footerDetail()}
            : QStringList {list->emptyTitle(), list->emptySubtitle(), list->footerText()};
        QCOMPARE(told, (withItems ? QStringList {title, why} : QStringList {title, why, QString()}));
        const std::unique_ptr<QMenu> menu = m_app->controller->buildStatusMenu();
        const QList<QAction *> actions = menu->actions();
        const qsizetype at = actions.indexOf(findAction(menu.get(), title));
        QVERIFY(at > 0);
        // The items follow; "No clipboard history" does not.
        QCOMPARE((QStringList {actions.at(at + 1)->text(), actions.at(at + 2)->text()}),
            (QStringList {why, withItems ? u"kept"_s : QString()}));
        QCOMPARE(m_app->alerts.events, QStringList {});
    }

    // The erase puts a new database in place of the one that refused.
    void eraseForgetsRefusedCopies()
    {
        QVERIFY(awaitFuture(m_app->delegate->storageManager()->execute(u"PRAGMA query_only = ON"_s)));
        m_app->pasteboard.copy(PasteboardItem::fromString(u"lost"_s));
        QTRY_VERIFY(!state().copyRefusal().isEmpty());
        m_app->delegate->securityController()->beginFullReset();
        QTRY_VERIFY(state().showOnboarding());
        QCOMPARE(state().copyRefusal(), QString());
    }

    // A paste after unlocking goes where the user was, never to the panel.
    void lockedHotKeyRemembersTheFrontApplication()
    {
        m_app->delegate->securityController()->lockNow();
        QTRY_VERIFY(!state().isUnlocked());
        emit state().presentClipboardMenuAtCursor();
        QVERIFY(m_controller->panel().isVisible());
        QCOMPARE(state().previousActiveApp, std::optional(editor));
        m_app->workspace.setFrontmostApplication(
            RunningApplication {u"vantorell"_s, u"Vantorell"_s, QCoreApplication::applicationPid(), 5});
        emit state().presentClipboardMenuAtCursor();
        QCOMPARE(state().previousActiveApp, std::optional(editor));
    }

    // Timers run while a menu is open: what the history holds when the item
    // is chosen counts.
    void historyItemsPasteTheCurrentEntry()
    {
        const ClipboardEntry kept = m_app->textEntry(u"kept"_s);
        const ClipboardEntry gone = m_app->textEntry(u"gone"_s);
        state().setClipboardEntries({kept, gone});
        const std::unique_ptr<QMenu> menu = m_controller->buildStatusMenu();
        state().setClipboardEntries({kept});
        findAction(menu.get(), u"gone"_s)->trigger();
        findAction(menu.get(), u"kept"_s)->trigger();
        QTRY_COMPARE(written(), QStringList {u"kept"_s});
    }

    // Nothing wakes the program for every click in the session: the
    // monitor runs while the panel shows, however it closes.
    void mouseMonitorRunsWhileThePanelShows()
    {
        const FakeGlobalMouseMonitor &monitor = m_app->mouseMonitor;
        QVERIFY(!monitor.isStarted());
        m_controller->showPanel();
        QVERIFY(monitor.isStarted());
        m_controller->dismissPanel();
        QVERIFY(!monitor.isStarted());
        m_controller->showPanel();
        m_app->mouseMonitor.press();
        QTRY_VERIFY(!m_controller->panel().isVisible());
        QVERIFY(!monitor.isStarted());
    }

    void lockingClosesEverything()
    {
        state().setClipboardEntries({m_app->textEntry(u"secret title"_s)});
        emit state().presentClipboardMenuAtCursor();
        const QPointer<QMenu> menu = m_controller->openMenu();
        QVERIFY(menu && menu->isVisible());
        m_controller->showPanel();
        QVERIFY(m_controller->panel().isVisible());
        m_controller->lockApp();
        QTRY_VERIFY(!menu);
        QVERIFY(!m_controller->panel().isVisible());
    }

    // The clipboard goes in any case, the history only when the database
    // takes it; else the user is told.
    void panicClearEmptiesEverythingUncaptured_data()
    {
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("logged");
        QTest::addColumn<QStringList>("alerts");
        const QString reason = u"Database write failed: attempt to write a readonly database"_s;
        QTest::newRow("stored") << false << u"history and clipboard wiped"_s << QStringList {};
        QTest::newRow("writes refused") << true << u"clipboard wiped; history not cleared: "_s + reason
                                        << QStringList {u"The history couldn't be cleared | "_s + reason
                                               + u". The items Vantorell still holds stay in the history."_s};
    }

    void panicClearEmptiesEverythingUncaptured()
    {
        QFETCH(bool, refused);
        QFETCH(QString, logged);
        QFETCH(QStringList, alerts);
        ClipboardEntry pinned = m_app->textEntry(u"pinned"_s);
        pinned.isPinned = true;
        const QList<ClipboardEntry> entries {pinned, m_app->textEntry(u"plain"_s)};
        SecureStorageManager &store = *m_app->delegate->storageManager();
        for (const ClipboardEntry &entry : entries)
            awaitFuture(store.insertEntry(entry));
        state().setClipboardEntries(entries);
        QVERIFY(!refused || awaitFuture(store.execute(u"PRAGMA query_only = ON"_s)));
        m_app->pasteboard.copy(PasteboardItem::fromString(u"on the clipboard"_s));
        LogCapture log;
        m_controller->panicClearFromMenu();
        QTRY_COMPARE(
            log.lines().filter(u"Panic clear"_s), QStringList {u"[Vantorell] Panic clear: "_s + logged});
        QTRY_COMPARE(m_app->alerts.events, alerts);
        QCOMPARE(state().clipboardEntries().size(), refused ? entries.size() : 0);
        QVERIFY(m_app->pasteboard.contents().types().isEmpty());
        QCOMPARE(m_app->delegate->clipboardMonitor()->ownChangeCount(), m_app->pasteboard.changeCount());
    }

    // A payload of another kind does nothing.
    void actionsReadTheirPayload_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QVariant>("payload");
        QTest::addColumn<QStringList>("written");
        QTest::addColumn<QString>("pause");
        QTest::newRow("history: a text")
            << u"history"_s << QVariant(u"kept"_s) << QStringList {} << QString();
        QTest::newRow("transform") << u"transform"_s << QVariant(u"trim"_s) << QStringList {u"text"_s}
                                   << QString();
        QTest::newRow("transform: unknown")
            << u"transform"_s << QVariant(u"shout"_s) << QStringList {} << QString();
        QTest::newRow("transform: a number") << u"transform"_s << QVariant(3) << QStringList {} << QString();
        QTest::newRow("pause: 15") << u"pause"_s << QVariant(15) << QStringList {} << u"timed"_s;
        QTest::newRow("pause: 0") << u"pause"_s << QVariant(0) << QStringList {} << u"open"_s;
        QTest::newRow("pause: a text") << u"pause"_s << QVariant(u"15"_s) << QStringList {} << QString();
        const Snippet greeting {.id = QUuid::createUuid(), .content = u"Hi {{clipboard}}"_s};
        QTest::newRow("snippet") << u"snippet"_s << QVariant::fromValue(greeting)
                                 << QStringList {u"Hi   text  "_s} << QString();
        QTest::newRow("snippet: an id")
            << u"snippet"_s << QVariant::fromValue(QUuid::createUuid()) << QStringList {} << QString();
    }

    void actionsReadTheirPayload()
    {
        QFETCH(QString, action);
        QFETCH(QVariant, payload);
        QFETCH(QStringList, written);
        QFETCH(QString, pause);
        state().setClipboardEntries({m_app->textEntry(u"kept"_s)});
        m_app->pasteboard.copy(PasteboardItem::fromString(u"  text  "_s));
        if (action == u"history"_s)
            m_controller->pasteHistoryItem(payload);
        else if (action == u"transform"_s)
            m_controller->transformClipboard(payload);
        else if (action == u"snippet"_s)
            m_controller->pasteSnippetItem(payload);
        else
            m_controller->pauseCapture(payload);
        QCOMPARE(this->written(), written);
        QCOMPARE(state().isPaused(), !pause.isEmpty());
        QCOMPARE(state().pausedUntil().isNull(), pause != u"timed"_s);
    }

    // Each button that asks for the paste permission tells how to allow it.
    void permissionButtonsShowTheInstructions_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("status menu row") << u"menu"_s;
        QTest::newRow("panel notice") << u"panel"_s;
        QTest::newRow("set-up step") << u"setup"_s;
    }

    void permissionButtonsShowTheInstructions()
    {
        QFETCH(QString, button);
        m_app->delegate->autoPaste()->openAccessibilitySettings();
        const QStringList instructions = std::exchange(m_app->alerts.events, {});
        m_app->keySender.setPermitted(false);
        OnboardingModel setup;
        setup.setPanel(&m_controller->popover());
        if (button == u"menu"_s)
            m_controller->openAccessibilityFromMenu();
        else if (button == u"panel"_s)
            m_controller->popover().requestAccessibility();
        else
            setup.requestAccessibilityAccess();
        QCOMPARE(m_app->alerts.events, instructions);
    }

    void hooksReachTheSurfaces()
    {
        m_controller->showPanel();
        QVERIFY(QTest::qWaitForWindowActive(&m_controller->panel()));
        QVERIFY(state().isPanelKey());
        emit state().dismissPanel();
        QVERIFY(!m_controller->panel().isVisible());
        QVERIFY(!state().isPanelKey());

        m_controller->showPanel();
        state().setShowQuickPicker(true);
        state().setShowQuickPicker(false);
        QVERIFY(!m_controller->panel().isVisible());
    }

    void settingsShortcutWorksInEveryWindow()
    {
        LogCapture log;
        QRasterWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        m_controller->showPanel();
        QTest::keyClick(&window, Qt::Key_Comma, Qt::ControlModifier);
        QVERIFY(!m_controller->panel().isVisible());
        const QString refused
            = u"[Vantorell] No view for the window \"Vantorell Settings\" yet; nothing opened"_s;
        QCOMPARE(log.lines().count(refused), 1);
    }
};

QTEST_MAIN(StatusBarControllerTest)
#include "tst_statusbarcontroller.moc"
