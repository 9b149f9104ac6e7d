#pragma once

#include "platform/Alerts.h"

// Alerts as message boxes and the display's bell.
class MessageBoxAlerts final : public Alerts {
public:
    MessageBoxAlerts() = default;

    void beep() override;
    void showAlert(const QString &title, const QString &informativeText) override;
    bool askAlert(const QString &title, const QString &informativeText, const QString &acceptButton,
        const QString &rejectButton) override;
};
