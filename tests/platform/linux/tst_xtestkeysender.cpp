#include "platform/PasteboardItem.h"
#include "platform/linux/X11Pasteboard.h"
#include "platform/linux/XTestKeySender.h"

#include <QLineEdit>
#include <QTest>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <memory>

using namespace Qt::StringLiterals;

using Keysyms = QList<KeySym>;

// Keys typed into a line edit of this process through the real X server.
class XTestKeySenderTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_display.reset(XOpenDisplay(nullptr));
        QVERIFY(m_display);
    }

    void init()
    {
        m_edit = std::make_unique<QLineEdit>();
        m_edit->setWindowTitle(u"key sender test"_s);
        m_edit->show();
        m_edit->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_edit.get()));
        QTRY_VERIFY(m_edit->hasFocus());
    }

    void cleanup()
    {
        // A failed row must not leave keys down for the next.
        for (KeySym keysym : {XK_Shift_L, XK_Shift_R, XK_Alt_L, XK_Control_L})
            fakeKey(keysym, false);
    }

    void notPermittedWithoutDisplay()
    {
        const QByteArray display = qgetenv("DISPLAY");
        qunsetenv("DISPLAY");
        XTestKeySender sender;
        qputenv("DISPLAY", display);
        QVERIFY(!sender.isPermitted());
        sender.postPasteChord();
        sender.postCaretLeft(2);
        QTest::qWait(200);
        QCOMPARE(m_edit->text(), QString());
    }

    void pasteChord_data()
    {
        QTest::addColumn<Keysyms>("held");

        // With Shift or Alt still down the chord would not be a paste.
        QTest::newRow("alt and shift held") << Keysyms {XK_Alt_L, XK_Shift_R};
        QTest::newRow("control held") << Keysyms {XK_Control_L};
    }

    void pasteChord()
    {
        QFETCH(Keysyms, held);

        X11Pasteboard pasteboard;
        const QString text = u"pasted by the chord %1"_s.arg(QLatin1StringView(QTest::currentDataTag()));
        pasteboard.write(PasteboardItem::fromString(text));

        XTestKeySender sender;
        QVERIFY(sender.isPermitted());
        for (KeySym keysym : held)
            fakeKey(keysym, true);
        sender.postPasteChord();
        QTRY_COMPARE(m_edit->text(), text);

        // Held by synthetic input only, so not pressed again: a real keyboard
        // holds none of them.
        for (KeySym keysym : held)
            QVERIFY2(!isDown(keysym), XKeysymToString(keysym));
    }

private:
    bool isDown(KeySym keysym)
    {
        char keys[32];
        XQueryKeymap(m_display.get(), keys);
        const KeyCode code = XKeysymToKeycode(m_display.get(), keysym);
        return keys[code / 8] & (1 << (code % 8));
    }

    void fakeKey(KeySym keysym, bool press)
    {
        XTestFakeKeyEvent(m_display.get(), XKeysymToKeycode(m_display.get(), keysym), press, CurrentTime);
        XSync(m_display.get(), False);
    }

    std::unique_ptr<Display, decltype(&XCloseDisplay)> m_display {nullptr, &XCloseDisplay};
    std::unique_ptr<QLineEdit> m_edit;
};

QTEST_MAIN(XTestKeySenderTest)
#include "tst_xtestkeysender.moc"
