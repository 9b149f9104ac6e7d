#include "platform/linux/X11GlobalHotkey.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <memory>

using Keysyms = QList<KeySym>;

namespace {

constexpr quint32 vKeyCode = 9;
constexpr quint32 commandShift = GlobalHotkey::commandModifier | GlobalHotkey::shiftModifier;

} // namespace

// Grabs on the real X server, pressed through XTEST from a connection of the
// test's own, with another connection as the application holding a chord.
class X11GlobalHotkeyTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        m_display.reset(XOpenDisplay(nullptr));
        m_other.reset(XOpenDisplay(nullptr));
        QVERIFY(m_display && m_other);
    }

    void cleanup()
    {
        setLocked(XK_Num_Lock, false);
        setLocked(XK_Caps_Lock, false);
        XUngrabKey(m_other.get(), AnyKey, AnyModifier, DefaultRootWindow(m_other.get()));
        XSync(m_other.get(), False);
    }

    void press_data()
    {
        QTest::addColumn<Keysyms>("locks");
        QTest::addColumn<Keysyms>("held");
        QTest::addColumn<int>("presses");

        QTest::newRow("super shift v") << Keysyms {} << Keysyms {XK_Super_L, XK_Shift_L} << 1;
        QTest::newRow("with num lock on") << Keysyms {XK_Num_Lock} << Keysyms {XK_Super_L, XK_Shift_L} << 1;
        QTest::newRow("with both locks on")
            << Keysyms {XK_Num_Lock, XK_Caps_Lock} << Keysyms {XK_Super_L, XK_Shift_L} << 1;
        QTest::newRow("shift v alone") << Keysyms {} << Keysyms {XK_Shift_L} << 0;
    }

    void press()
    {
        QFETCH(Keysyms, locks);
        QFETCH(Keysyms, held);
        QFETCH(int, presses);

        X11GlobalHotkey hotkey;
        QSignalSpy pressed(&hotkey, &GlobalHotkey::pressed);
        QVERIFY(hotkey.registerHotkey(vKeyCode, commandShift).has_value());
        // Registering again replaces the grab rather than failing on our own.
        QVERIFY(hotkey.registerHotkey(vKeyCode, commandShift).has_value());
        for (KeySym lock : locks)
            setLocked(lock, true);

        type(held, XK_v);
        // Wait for the press itself: a late one would count for the next row.
        QTest::qWait(300);
        QTRY_COMPARE(pressed.count(), presses);

        hotkey.unregisterHotkey();
        type({XK_Super_L, XK_Shift_L}, XK_v);
        QTest::qWait(200);
        QCOMPARE(pressed.count(), presses);
    }

    void keyWithoutKeysymIsRefused()
    {
        X11GlobalHotkey hotkey;
        // 52 names no key on a Mac keyboard.
        const auto result = hotkey.registerHotkey(52, commandShift);
        QVERIFY(!result);
        QCOMPARE(result.error().code, GlobalHotkeyError::Code::refused);
    }

    void chordHeldByAnotherClient()
    {
        const unsigned int superShift = Mod4Mask | ShiftMask;
        QVERIFY(otherClientGrabs(superShift));

        X11GlobalHotkey hotkey;
        QSignalSpy pressed(&hotkey, &GlobalHotkey::pressed);
        const auto result = hotkey.registerHotkey(vKeyCode, commandShift);
        QVERIFY(!result);
        QCOMPARE(result.error(),
            (GlobalHotkeyError {GlobalHotkeyError::Code::alreadyUsed, GlobalHotkeyError::alreadyUsedStatus}));

        // None of the lock variants stays grabbed by us: once the other client
        // lets go, it can take every one of them, and a press reaches nobody
        // here.
        XUngrabKey(m_other.get(), AnyKey, AnyModifier, DefaultRootWindow(m_other.get()));
        XSync(m_other.get(), False);
        for (unsigned int locks : {0u, unsigned(Mod2Mask), unsigned(LockMask), unsigned(Mod2Mask | LockMask)})
            QVERIFY2(otherClientGrabs(superShift | locks), qPrintable(QString::number(locks)));
        XUngrabKey(m_other.get(), AnyKey, AnyModifier, DefaultRootWindow(m_other.get()));
        XSync(m_other.get(), False);
        type({XK_Super_L, XK_Shift_L}, XK_v);
        QTest::qWait(200);
        QCOMPARE(pressed.count(), 0);
    }

private:
    void type(const Keysyms &modifiers, KeySym key)
    {
        Display *display = m_display.get();
        for (KeySym modifier : modifiers)
            XTestFakeKeyEvent(display, XKeysymToKeycode(display, modifier), True, CurrentTime);
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), True, CurrentTime);
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), False, CurrentTime);
        for (auto it = modifiers.crbegin(); it != modifiers.crend(); ++it)
            XTestFakeKeyEvent(display, XKeysymToKeycode(display, *it), False, CurrentTime);
        XSync(display, False);
    }

    void setLocked(KeySym lockKey, bool locked)
    {
        const unsigned int mask = XkbKeysymToModifiers(m_display.get(), lockKey);
        if (isLocked(mask) != locked)
            type({}, lockKey);
        QTRY_COMPARE(isLocked(mask), locked);
    }

    bool isLocked(unsigned int mask)
    {
        XkbStateRec state;
        XkbGetState(m_display.get(), XkbUseCoreKbd, &state);
        return state.locked_mods & mask;
    }

    bool otherClientGrabs(unsigned int modifiers)
    {
        // The grab is refused with BadAccess when someone else holds it.
        static bool refused = false;
        refused = false;
        const XErrorHandler previous = XSetErrorHandler([](Display *, XErrorEvent *error) {
            refused = refused || error->error_code == BadAccess;
            return 0;
        });
        XGrabKey(m_other.get(), XKeysymToKeycode(m_other.get(), XK_v), modifiers,
            DefaultRootWindow(m_other.get()), False, GrabModeAsync, GrabModeAsync);
        XSync(m_other.get(), False);
        XSetErrorHandler(previous);
        return !refused;
    }

    using DisplayPointer = std::unique_ptr<Display, decltype(&XCloseDisplay)>;
    DisplayPointer m_display {nullptr, &XCloseDisplay};
    DisplayPointer m_other {nullptr, &XCloseDisplay};
};

QTEST_MAIN(X11GlobalHotkeyTest)
#include "tst_x11globalhotkey.moc"
