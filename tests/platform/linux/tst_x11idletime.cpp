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
    void unknownWithoutDisplay()
    {
        const QByteArray display = qgetenv("DISPLAY");
        qunsetenv("DISPLAY");
        const X11IdleTime idle;
        qputenv("DISPLAY", display);
        QVERIFY(!idle.sinceLastInput().has_value());
    }

    void countsUntilAKeyPress()
    {
        const X11IdleTime idle;
        // Other tests on the same server may type meanwhile; one quiet
        // interval out of a few shows the count runs on.
        bool quiet = false;
        for (int attempt = 0; attempt < 5 && !quiet; ++attempt) {
            std::this_thread::sleep_for(1200ms);
            quiet = idle.sinceLastInput().value_or(0ms) >= 1000ms;
        }
        QVERIFY(quiet);
        const std::unique_ptr<Display, decltype(&XCloseDisplay)> display(
            XOpenDisplay(nullptr), &XCloseDisplay);
        QVERIFY(display);
        const KeyCode shift = XKeysymToKeycode(display.get(), XK_Shift_L);
        XTestFakeKeyEvent(display.get(), shift, True, CurrentTime);
        XTestFakeKeyEvent(display.get(), shift, False, CurrentTime);
        XSync(display.get(), False);

        const auto after = idle.sinceLastInput();
        QVERIFY(after.has_value());
        QVERIFY2(*after < 500ms, qPrintable(QString::number(after->count())));
    }
};

QTEST_GUILESS_MAIN(X11IdleTimeTest)
#include "tst_x11idletime.moc"
