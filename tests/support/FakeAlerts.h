#pragma once

#include "platform/Alerts.h"

#include <QStringList>

// Records beeps and alerts, in order, as "beep" and "title | text"
// (with " | " and the two buttons for a question).
class FakeAlerts final : public Alerts {
public:
    FakeAlerts() = default;

    void beep() override { events.append(QStringLiteral("beep")); }
    void showAlert(const QString &title, const QString &informativeText) override
    {
        events.append(title + QStringLiteral(" | ") + informativeText);
    }
    bool askAlert(const QString &title, const QString &informativeText, const QString &acceptButton,
        const QString &rejectButton) override
    {
        events.append(title + QStringLiteral(" | ") + informativeText + QStringLiteral(" | ") + acceptButton
            + QStringLiteral(" | ") + rejectButton);
        return accept;
    }

    // The answer to askAlert.
    bool accept = false;

    QStringList events;
};
