#include "LaunchedApp.h"
#include "PanelFixture.h"

#include "platform/linux/DesktopKeychain.h"
#include "ui/menubar/MainPopoverModel.h"
#include "ui/menubar/OnboardingModel.h"
#include "ui/menubar/PanelWindow.h"

#include <QApplication>
#include <QMenu>
#include <QQuickItem>
#include <QStyleHints>
#include <QTest>

#include <memory>

// Last: the X11 headers define names that Qt uses.
#include "XUser.h"

using namespace Qt::StringLiterals;

namespace {

const QString passcode = u"correct horse"_s;

} // namespace

// A new user on the session's keyring: the vault is made from the panel,
// locked from its menu and opened again with the passcode.
class PanelEndToEndTest final : public QObject {
    Q_OBJECT

    DesktopKeychain m_keychain {KeyManager::service};
    FakeDeviceAuth m_deviceAuth;
    std::unique_ptr<LaunchedApp> m_app;
    StatusBarController *m_controller = nullptr;
    XUser m_user;

    PanelWindow &window() { return m_controller->panel(); }
    QQuickItem *screen()
    {
        return findItem(window().rootItem(), u"screen"_s)->property("item").value<QQuickItem *>();
    }
    QQuickItem *item(const QString &name) { return findItem(screen(), name); }

    void click(const QString &name)
    {
        QQuickItem *target = item(name);
        QVERIFY2(target && target->isVisible() && target->isEnabled(), qPrintable(name));
        // Two clicks on one place in quick succession are a double click.
        QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 100);
        m_user.click(target->mapToGlobal(QPointF(target->width() / 2, target->height() / 2)).toPoint());
    }

    void openPanel()
    {
        m_controller->openPanel();
        QVERIFY(QTest::qWaitForWindowActive(&window()));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_user.isConnected());
        QCoreApplication::setApplicationName(u"Vantorell"_s);
        KeyManager(m_keychain, m_deviceAuth).deleteAllKeys();
        m_app = std::make_unique<LaunchedApp>(&m_keychain);
        m_controller = m_app->controller;
    }

    void cleanupTestCase()
    {
        m_app.reset();
        KeyManager(m_keychain, m_deviceAuth).deleteAllKeys();
    }

    void newUserCreatesTheVaultLocksAndUnlocks()
    {
        AppStateController &state = m_app->appState();
        QTRY_VERIFY_WITH_TIMEOUT(state.showOnboarding(), 30'000);
        openPanel();
        auto *setup = screen()->findChild<OnboardingModel *>();
        QVERIFY(setup);

        click(u"continueButton"_s);
        QTRY_VERIFY(item(u"passcodeField"_s) && item(u"passcodeField"_s)->hasActiveFocus());
        m_user.type(passcode);
        m_user.press(XK_Tab);
        m_user.type(passcode);
        m_user.press(XK_Return);
        QTRY_VERIFY(setup->canContinue());
        QTest::qWait(300);
        QCOMPARE(setup->currentStep(), 1);
        click(u"continueButton"_s);
        QTRY_COMPARE(setup->currentStep(), 2);
        click(u"continueButton"_s);
        QTRY_VERIFY(item(u"getStartedButton"_s) && item(u"getStartedButton"_s)->isVisible());
        click(u"getStartedButton"_s);

        QTRY_VERIFY_WITH_TIMEOUT(state.isUnlocked() && !state.showOnboarding(), 30'000);
        QVERIFY(m_keychain.exists(KeyManager::sealedKeyAccount).value_or(false));
        QTRY_VERIFY(item(u"historyList"_s) && item(u"historyList"_s)->isVisible());

        click(u"more"_s);
        QTRY_VERIFY(m_controller->popover().openMenu() && m_controller->popover().openMenu()->isVisible());
        QMenu *menu = m_controller->popover().openMenu();
        const QList<QAction *> actions = menu->actions();
        const auto lock = std::ranges::find(actions, u"Lock Vantorell"_s, &QAction::text);
        QVERIFY(lock != actions.end());
        m_user.click(menu->mapToGlobal(menu->actionGeometry(*lock).center()));
        QTRY_VERIFY(!state.isUnlocked());
        QTRY_VERIFY(!window().isVisible());

        openPanel();
        QCOMPARE(m_controller->popover().screen(), MainPopoverModel::Screen::Unlock);
        QTRY_VERIFY(item(u"passcodeField"_s)->hasActiveFocus());
        // The window manager may keep the keyboard where it was for a window
        // shown again without a click.
        click(u"passcodeField"_s);
        m_user.type(passcode);
        m_user.press(XK_Return);
        QTRY_VERIFY_WITH_TIMEOUT(state.isUnlocked(), 30'000);
        QTRY_VERIFY(item(u"historyList"_s) && item(u"historyList"_s)->isVisible());
    }

    // The confirmation runs once the header's menu is gone: its event loop
    // must not delete the menu under the code that chose the item.
    void clearHistoryFromTheMoreMenuCancelled()
    {
        AppStateController &state = m_app->appState();
        QVERIFY(state.isUnlocked());
        m_app->pasteboard.copy(PasteboardItem::fromString(u"kept"_s));
        QTRY_COMPARE(state.clipboardEntries().size(), 1);
        if (!window().isVisible())
            openPanel();
        click(u"more"_s);
        QTRY_VERIFY(m_controller->popover().openMenu() && m_controller->popover().openMenu()->isVisible());
        QMenu *menu = m_controller->popover().openMenu();
        const auto destroyedUnderTheDialog = std::make_shared<bool>(false);
        connect(menu, &QObject::destroyed, this,
            [destroyedUnderTheDialog] { *destroyedUnderTheDialog = QApplication::activeModalWidget(); });
        const QList<QAction *> actions = menu->actions();
        const auto clear = std::ranges::find(actions, u"Clear History…"_s, &QAction::text);
        QVERIFY(clear != actions.end());

        const DialogAnswer answer(m_user, {}, XK_Escape);
        m_user.click(menu->mapToGlobal(menu->actionGeometry(*clear).center()));
        QTRY_VERIFY_WITH_TIMEOUT(answer.answered(), 10'000);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QVERIFY(!*destroyedUnderTheDialog);
        QCOMPARE(state.clipboardEntries().size(), 1);
    }
};

QTEST_MAIN(PanelEndToEndTest)
#include "tst_panel_e2e.moc"
