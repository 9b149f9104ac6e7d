#include "platform/linux/X11DockPresence.h"

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

xcb_connection_t *connection()
{
    return qApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

xcb_atom_t atom(const char *name)
{
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(
            connection(), xcb_intern_atom(connection(), 0, std::strlen(name), name), nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// What the window manager and taskbars see.
bool skipsTaskbar(const QWindow *window)
{
    const auto cookie = xcb_get_property(connection(), 0, static_cast<xcb_window_t>(window->winId()),
        atom("_NET_WM_STATE"), XCB_ATOM_ATOM, 0, 1024);
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(connection(), cookie, nullptr), &std::free);
    if (!reply || reply->format != 32)
        return false;
    const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / int(sizeof(xcb_atom_t));
    return std::find(atoms, atoms + count, atom("_NET_WM_STATE_SKIP_TASKBAR")) != atoms + count;
}

} // namespace

class X11DockPresenceTest final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb")); }

    void changesReachWindowsOnScreenAndSurviveHiding()
    {
        X11DockPresence presence;
        QWidget widget;
        widget.resize(200, 100);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QWindow *window = widget.windowHandle();
        QVERIFY(!skipsTaskbar(window));

        presence.setShownInDock(false);
        QTRY_VERIFY(skipsTaskbar(window));
        // The window manager forgets the state of a hidden window.
        widget.hide();
        QTest::qWait(50);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QTRY_VERIFY(skipsTaskbar(window));

        presence.setShownInDock(true);
        QTRY_VERIFY(!skipsTaskbar(window));
    }
};

QTEST_MAIN(X11DockPresenceTest)
#include "tst_x11dockpresence.moc"
