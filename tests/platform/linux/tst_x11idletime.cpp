#include "platform/linux/X11IdleTime.h"

#include <QTest>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <memory>
#include <thread>

using namespace std::chrono_literals;

class X11IdleTimeTest : public QObject {
    Q_OBJECT

private slots:
    void unknownWithoutDisplay();
    void growsWithoutInput();
    void dropsAfterKeyPress();
};

void X11IdleTimeTest::unknownWithoutDisplay()
{
    const QByteArray display = qgetenv("DISPLAY");
    qunsetenv("DISPLAY");
    const X11IdleTime idle;
    qputenv("DISPLAY", display);
    QVERIFY(!idle.sinceLastInput().has_value());
}

void X11IdleTimeTest::growsWithoutInput()
{
    const X11IdleTime idle;
    QVERIFY(idle.sinceLastInput().has_value());
    // Other tests on the same server may type meanwhile; one quiet interval
    // out of a few is enough to show the count runs on.
    bool grew = false;
    for (int attempt = 0; attempt < 5 && !grew; ++attempt) {
        const auto before = idle.sinceLastInput();
        std::this_thread::sleep_for(1200ms);
        const auto after = idle.sinceLastInput();
        QVERIFY(before && after);
        grew = *after - *before >= 1000ms;
    }
    QVERIFY(grew);
}

void X11IdleTimeTest::dropsAfterKeyPress()
{
    const X11IdleTime idle;
    std::this_thread::sleep_for(1500ms);

    const std::unique_ptr<Display, decltype(&XCloseDisplay)> display(XOpenDisplay(nullptr), &XCloseDisplay);
    QVERIFY(display);
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    QVERIFY(XTestQueryExtension(display.get(), &eventBase, &errorBase, &major, &minor));
    const KeyCode shift = XKeysymToKeycode(display.get(), XK_Shift_L);
    QVERIFY(shift != 0);
    XTestFakeKeyEvent(display.get(), shift, True, CurrentTime);
    XTestFakeKeyEvent(display.get(), shift, False, CurrentTime);
    XSync(display.get(), False);

    const auto after = idle.sinceLastInput();
    QVERIFY(after.has_value());
    QVERIFY2(*after < 500ms, qPrintable(QString::number(after->count())));
}

QTEST_GUILESS_MAIN(X11IdleTimeTest)
#include "tst_x11idletime.moc"
