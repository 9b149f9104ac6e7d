#pragma once

#include <QString>

// How a failure the user caused is signalled: a beep, and an alert when
// there is something to explain.
class Alerts {
public:
    virtual ~Alerts() = default;

    virtual void beep() = 0;
    // Brings the application forward and shows a modal alert with the one
    // button "OK"; returns once it is dismissed.
    virtual void showAlert(const QString &title, const QString &informativeText) = 0;
    // The same with two buttons, the accepting one first and the default;
    // true when it was chosen, and not after a lock (OpenDialogs).
    virtual bool askAlert(const QString &title, const QString &informativeText, const QString &acceptButton,
        const QString &rejectButton)
        = 0;

protected:
    Alerts() = default;
    Q_DISABLE_COPY(Alerts)
};
