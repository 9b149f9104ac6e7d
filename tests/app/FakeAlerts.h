#pragma once

#include "app/Alerts.h"

#include <QStringList>

// Records beeps and alerts, in order, as "beep" and "title | text".
class FakeAlerts final : public Alerts {
public:
    FakeAlerts() = default;

    void beep() override { events.append(QStringLiteral("beep")); }
    void showAlert(const QString &title, const QString &informativeText) override
    {
        events.append(title + QStringLiteral(" | ") + informativeText);
    }

    QStringList events;
};
