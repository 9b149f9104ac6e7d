#include "LaunchedApp.h"
#include "support/DesktopPeer.h"
#include "ui/menubar/PanelWindow.h"

#include <QMenu>
#include <QTest>

// Last: the X11 headers define names that Qt uses.
#include "XUser.h"

using namespace Qt::StringLiterals;

// The status item in the test desktop's tray, clicked and typed at as the
// user would.
class StatusBarX11Test final : public QObject {
    Q_OBJECT

    std::unique_ptr<LaunchedApp> m_app;

private slots:
    void init()
    {
        m_app = std::make_unique<LaunchedApp>();
        QVERIFY(m_app->unlocked());
    }

    void cleanup() { m_app.reset(); }

    void clickOpensTheMenuAndCtrl2PastesTheSecondEntryOnce()
    {
        XUser user;
        QVERIFY(user.isConnected());
        m_app->appState().setClipboardEntries(
            {m_app->textEntry(u"first"_s), m_app->textEntry(u"second"_s), m_app->textEntry(u"third"_s)});
        QSystemTrayIcon &tray = m_app->controller->trayIcon();
        QTRY_VERIFY_WITH_TIMEOUT(!tray.geometry().isEmpty(), 10'000);

        user.click(tray.geometry().center());
        QTRY_VERIFY(m_app->controller->openMenu() && m_app->controller->openMenu()->isVisible());
        user.pressWithControl(XK_2);
        QTRY_VERIFY(!m_app->controller->openMenu());
        QTRY_COMPARE(m_app->pasteboard.writes().size(), 1);
        QTest::qWait(200);
        const QList<PasteboardItem> &writes = m_app->pasteboard.writes();
        QCOMPARE(writes.size(), 1);
        QCOMPARE(writes.constFirst().data(u"text/plain"_s), QByteArray("second"));
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
};

QTEST_MAIN(StatusBarX11Test)
#include "tst_statusbar_x11.moc"
