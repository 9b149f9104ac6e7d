#pragma once

#include <QApplication>
#include <QDialog>
#include <QPoint>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

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

    // Buttons 4 and 5 turn the wheel.
    void click(QPoint at, unsigned button = 1)
    {
        XTestFakeMotionEvent(m_display, -1, at.x(), at.y(), CurrentTime);
        XTestFakeButtonEvent(m_display, button, True, CurrentTime);
        XTestFakeButtonEvent(m_display, button, False, CurrentTime);
        XFlush(m_display);
    }

    void press(KeySym key)
    {
        const KeyCode code = XKeysymToKeycode(m_display, key);
        XTestFakeKeyEvent(m_display, code, True, CurrentTime);
        XTestFakeKeyEvent(m_display, code, False, CurrentTime);
        XFlush(m_display);
    }

    void pressWithControl(KeySym key)
    {
        const KeyCode control = XKeysymToKeycode(m_display, XK_Control_L);
        XTestFakeKeyEvent(m_display, control, True, CurrentTime);
        press(key);
        XTestFakeKeyEvent(m_display, control, False, CurrentTime);
        XFlush(m_display);
    }

    // The window that has the keyboard, as the server says.
    WId inputFocus() const
    {
        Window focus = None;
        int revertTo = 0;
        XGetInputFocus(m_display, &focus, &revertTo);
        return WId(focus);
    }

    // Lower-case letters, digits, space and punctuation that need no Shift:
    // their key symbols are their Latin-1 codes.
    void type(const QString &text)
    {
        for (const QChar c : text)
            press(KeySym(c.unicode()));
    }

private:
    Display *m_display;
};

// Answers the next dialog as the user would: types text into it and
// presses key, once it has the keyboard, right after before runs. The dialog
// runs its own event loop, inside whatever the test is waiting for, so the
// answer comes from a timer.
class DialogAnswer final {
    Q_DISABLE_COPY(DialogAnswer)

public:
    DialogAnswer(XUser &user, const QString &text, KeySym key, std::function<void()> before = {})
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this, &user, text, key, before] {
            QWidget *dialog = QApplication::activeModalWidget();
            if (!dialog)
                dialog = qobject_cast<QDialog *>(QApplication::activeWindow());
            if (m_answered || !dialog)
                return;
            // A window manager that keeps the keyboard elsewhere gets the
            // keys anyway after a while, and the test then fails on them.
            if (!dialog->isActiveWindow() && ++m_polls < 100)
                return;
            m_answered = true;
            if (before)
                before();
            user.type(text);
            user.press(key);
        });
        m_poll.start(50);
    }

    bool answered() const { return m_answered; }

private:
    QTimer m_poll;
    int m_polls = 0;
    bool m_answered = false;
};
