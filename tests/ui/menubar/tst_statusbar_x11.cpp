#include "LaunchedApp.h"

#include "support/DesktopPeer.h"
#include "ui/menubar/PanelWindow.h"

#include <QMenu>
#include <QTest>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

using namespace Qt::StringLiterals;

namespace {

// The user's own pointer and keyboard, through the X server.
class XUser final {
    Q_DISABLE_COPY(XUser)

public:
    XUser() : m_display(XOpenDisplay(nullptr)) { }
    ~XUser()
    {
        if (m_display)
            XCloseDisplay(m_display);
    }

    bool isConnected() const { return m_display; }

    void click(QPoint at)
    {
        XTestFakeMotionEvent(m_display, -1, at.x(), at.y(), CurrentTime);
        XTestFakeButtonEvent(m_display, 1, True, CurrentTime);
        XTestFakeButtonEvent(m_display, 1, False, CurrentTime);
        XFlush(m_display);
    }

    void pressWithControl(KeySym key)
    {
        const KeyCode control = XKeysymToKeycode(m_display, XK_Control_L);
        const KeyCode code = XKeysymToKeycode(m_display, key);
        XTestFakeKeyEvent(m_display, control, True, CurrentTime);
        XTestFakeKeyEvent(m_display, code, True, CurrentTime);
        XTestFakeKeyEvent(m_display, code, False, CurrentTime);
        XTestFakeKeyEvent(m_display, control, False, CurrentTime);
        XFlush(m_display);
    }

private:
    Display *m_display;
};

} // namespace

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
