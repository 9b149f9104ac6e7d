#include "platform/MacVirtualKeyTable.h"
#include "platform/linux/X11Connection.h"
#include "platform/linux/X11KeyCodeMap.h"
#include "platform/linux/X11Keymap.h"
#include "support/QuickScene.h"
#include "ui/windows/settings/HotkeyKeys.h"
#include "ui/windows/settings/HotkeyRecorder.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
// Xlib's event-type macros hide QEvent's.
#undef KeyPress
#undef KeyRelease

#include <memory>

using namespace Qt::StringLiterals;

// The recorder on the real X server: key codes through the server's keyboard
// map, and presses typed through XTEST into its focused window.
class HotkeyRecorderX11Test final : public QObject {
    Q_OBJECT

    std::unique_ptr<Display, decltype(&XCloseDisplay)> m_display {nullptr, &XCloseDisplay};
    X11KeyCodeMap m_keyCodeMap;
    std::unique_ptr<QuickScene> m_scene;
    HotkeyRecorder *m_recorder = nullptr;

    void type(const QList<KeySym> &held, KeySym key)
    {
        Display *display = m_display.get();
        for (KeySym modifier : held)
            XTestFakeKeyEvent(display, XKeysymToKeycode(display, modifier), True, CurrentTime);
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), True, CurrentTime);
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), False, CurrentTime);
        for (auto it = held.crbegin(); it != held.crend(); ++it)
            XTestFakeKeyEvent(display, XKeysymToKeycode(display, *it), False, CurrentTime);
        XSync(display, False);
    }

    void startRecording()
    {
        QTest::mouseClick(&m_scene->window(), Qt::LeftButton, {}, QPoint(70, 12));
        QVERIFY(m_recorder->isRecording());
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), u"xcb"_s);
        m_display.reset(XOpenDisplay(nullptr));
        QVERIFY(m_display);
        m_scene = std::make_unique<QuickScene>();
        QQuickItem *root
            = m_scene->load(u"import Vantorell.Windows\n"
                            u"Column {\n"
                            u"    property int shortcutFired: 0\n"
                            u"    HotkeyRecorder { objectName: \"recorder\"; width: 140; height: 24 }\n"
                            u"    TextField { objectName: \"next\"; width: 140 }\n"
                            u"    Shortcut { sequence: \"Ctrl+Shift+Q\"; onActivated: shortcutFired++ }\n"
                            u"}\n"_s);
        QVERIFY(root);
        m_recorder = root->findChild<HotkeyRecorder *>(u"recorder"_s);
        m_recorder->setKeyCodeMap(&m_keyCodeMap);
        QVERIFY(m_scene->showAndActivate());
    }

    void cleanupTestCase() { m_scene.reset(); }

    void everyNamedKeyIsRecordedAsItself_data()
    {
        QTest::addColumn<quint32>("code");
        for (quint32 code = 0; code < 128; ++code) {
            if (!HotkeyKeys::keyName(code).startsWith(u"Key"))
                QTest::addRow("%u %s", code, qPrintable(HotkeyKeys::keyName(code))) << code;
        }
    }

    // Stored code → keysym → the key the grab would take → the recorder.
    void everyNamedKeyIsRecordedAsItself()
    {
        QFETCH(quint32, code);
        const std::optional<X11Connection> x11 = X11Connection::qt();
        QVERIFY(x11);
        const std::optional<quint32> keysym = MacVirtualKeyTable::keysym(code);
        QVERIFY(keysym);
        const std::uint8_t keycode = X11Keymap(x11->connection).keycode(*keysym);
        QVERIFY(keycode != 0);

        startRecording();
        QSignalSpy captured(m_recorder, &HotkeyRecorder::captured);
        QKeyEvent press(
            QEvent::KeyPress, Qt::Key_unknown, Qt::ControlModifier | Qt::ShiftModifier, keycode, 0, 0);
        QCoreApplication::sendEvent(m_recorder, &press);
        QVERIFY(!m_recorder->isRecording());
        if (code == HotkeyKeys::escapeKeyCode) {
            QVERIFY(captured.isEmpty());
            return;
        }
        QCOMPARE(captured.size(), 1);
        QCOMPARE(captured.constFirst().constFirst().toLongLong(), qint64(code));
    }

    void recordingTakesTabAndWindowShortcuts()
    {
        startRecording();
        QSignalSpy refused(m_recorder, &HotkeyRecorder::refused);
        QSignalSpy captured(m_recorder, &HotkeyRecorder::captured);
        type({}, XK_Tab);
        QVERIFY(refused.wait());
        QVERIFY(m_recorder->isRecording() && m_recorder->hasActiveFocus());

        type({XK_Control_L, XK_Shift_L}, XK_q);
        QTRY_COMPARE(captured.size(), 1);
        QCOMPARE(captured.constFirst(), (QVariantList {qint64(12), qint64(0x60000), u"⌃⇧Q"_s}));
        QTest::qWait(100);
        QCOMPARE(m_recorder->parentItem()->property("shortcutFired").toInt(), 0);
    }

    // Not recording, the same keys are the window's again.
    void idleLeavesKeysToTheWindow()
    {
        m_recorder->parentItem()->findChild<QQuickItem *>(u"next"_s)->forceActiveFocus();
        type({XK_Control_L, XK_Shift_L}, XK_q);
        QTRY_COMPARE(m_recorder->parentItem()->property("shortcutFired").toInt(), 1);
    }

    void keyboardReachesAndStartsIt_data()
    {
        QTest::addColumn<quint64>("key");
        QTest::addColumn<bool>("withControl");
        QTest::addColumn<bool>("starts");
        QTest::newRow("Space") << quint64(XK_space) << false << true;
        QTest::newRow("Return") << quint64(XK_Return) << false << true;
        QTest::newRow("Ctrl+Space") << quint64(XK_space) << true << false;
        QTest::newRow("a letter") << quint64(XK_a) << false << false;
    }

    // Shift+Tab from the next field, then a key, as a keyboard user would.
    void keyboardReachesAndStartsIt()
    {
        QFETCH(quint64, key);
        QFETCH(bool, withControl);
        QFETCH(bool, starts);
        m_recorder->parentItem()->findChild<QQuickItem *>(u"next"_s)->forceActiveFocus();
        type({XK_Shift_L}, XK_Tab);
        QTRY_VERIFY(m_recorder->hasActiveFocus());
        type(withControl ? QList<KeySym> {XK_Control_L} : QList<KeySym> {}, KeySym(key));
        if (starts)
            QTRY_VERIFY(m_recorder->isRecording());
        QTest::qWait(50);
        QCOMPARE(m_recorder->isRecording(), starts);
        if (starts) {
            type({}, XK_Escape);
            QTRY_VERIFY(!m_recorder->isRecording());
        }
    }
};

QTEST_MAIN(HotkeyRecorderX11Test)
#include "tst_hotkeyrecorder_x11.moc"
