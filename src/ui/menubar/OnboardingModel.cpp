#include "ui/menubar/OnboardingModel.h"

#include "app/AppStateController.h"
#include "app/SecurityController.h"
#include "platform/KeySender.h"
#include "settings/SettingsManager.h"
#include "text/Graphemes.h"
#include "ui/menubar/MainPopoverModel.h"

#include <QQuickItem>
#include <QQuickWindow>

using namespace Qt::StringLiterals;

OnboardingModel::OnboardingModel(QObject *parent) : QObject(parent)
{
}

OnboardingModel::~OnboardingModel() = default;

void OnboardingModel::setPanel(MainPopoverModel *panel)
{
    if (m_panel == panel)
        return;
    m_panel = panel;
    emit panelChanged();
    // Not the step: the view puts up a page on each of its changes.
    emit biometricsAvailableChanged();
}

void OnboardingModel::setPasscode(const QString &passcode)
{
    if (m_passcode == passcode)
        return;
    m_passcode = passcode;
    emit passcodeChanged();
    emit canContinueChanged();
}

void OnboardingModel::setConfirmPasscode(const QString &passcode)
{
    if (m_confirmPasscode == passcode)
        return;
    m_confirmPasscode = passcode;
    emit passcodeChanged();
    emit canContinueChanged();
}

void OnboardingModel::setEnableTouchID(bool enable)
{
    if (m_enableTouchID == enable)
        return;
    m_enableTouchID = enable;
    emit enableTouchIDChanged();
}

bool OnboardingModel::canContinue() const
{
    if (m_currentStep != 1)
        return true;
    return Graphemes::count(m_passcode, minimumPasscodeLength) >= minimumPasscodeLength
        && m_passcode == m_confirmPasscode;
}

bool OnboardingModel::biometricsAvailable() const
{
    const SecurityController *security = m_panel ? m_panel->appState().securityController() : nullptr;
    return security && security->biometricsAvailable();
}

void OnboardingModel::appear()
{
    if (m_currentStep == lastStep)
        refreshAccessibilityStatus();
}

void OnboardingModel::validateAndAdvance()
{
    if (m_currentStep >= lastStep)
        return;
    if (m_currentStep == 1) {
        if (Graphemes::count(m_passcode, minimumPasscodeLength) < minimumPasscodeLength) {
            setError(u"Passcode must be at least 6 characters"_s);
            return;
        }
        if (m_passcode != m_confirmPasscode) {
            setError(u"Passcodes do not match"_s);
            return;
        }
        setError({});
    }
    setCurrentStep(m_currentStep + 1);
}

void OnboardingModel::goBack()
{
    if (m_currentStep <= 0)
        return;
    setCurrentStep(m_currentStep - 1);
    setError({});
}

void OnboardingModel::setCurrentStep(int step)
{
    m_currentStep = step;
    emit currentStepChanged();
    emit canContinueChanged();
    emit biometricsAvailableChanged();
    if (step == lastStep)
        refreshAccessibilityStatus();
}

void OnboardingModel::refreshAccessibilityStatus()
{
    const bool granted = m_panel && m_panel->keySender().isPermitted();
    if (granted == m_accessibilityGranted)
        return;
    m_accessibilityGranted = granted;
    emit accessibilityGrantedChanged();
}

void OnboardingModel::requestAccessibilityAccess()
{
    if (m_panel)
        m_panel->requestAccessibility();
}

void OnboardingModel::startSetup(QQuickItem *view)
{
    if (m_isSettingUp || !m_panel || !m_panel->appState().securityController())
        return;
    setSettingUp(true);
    QQuickWindow *window = view ? view->window() : nullptr;
    if (!window || !window->isExposed()) {
        completeSetup();
        return;
    }
    // Queued: the set-up must not run inside the frame's own delivery, which
    // may be on the render thread.
    const QPointer<QQuickItem> shown(view);
    m_frameShown = connect(
        window, &QQuickWindow::frameSwapped, this, [this, shown] { finishAfterFrame(shown); },
        Qt::QueuedConnection);
    // A window hidden meanwhile paints no frame.
    m_windowHidden = connect(
        window, &QWindow::visibleChanged, this,
        [this, shown](bool visible) {
            if (!visible)
                finishAfterFrame(shown);
        },
        Qt::QueuedConnection);
    window->update();
}

void OnboardingModel::stopWaitingForFrame()
{
    disconnect(m_frameShown);
    disconnect(m_windowHidden);
}

void OnboardingModel::finishAfterFrame(const QPointer<QQuickItem> &view)
{
    if (!m_frameShown && !m_windowHidden)
        return;
    stopWaitingForFrame();
    // The panel may have left the set-up meanwhile (a reset, a lock).
    if (!view || !view->window() || !view->isVisible()) {
        setSettingUp(false);
        return;
    }
    completeSetup();
}

void OnboardingModel::completeSetup()
{
    SecurityController *security = m_panel ? m_panel->appState().securityController() : nullptr;
    if (!security)
        return;
    setSettingUp(true);
    AppStateController &appState = m_panel->appState();
    // The set-up switches the panel to the working screen from inside the
    // call; this model is deleted only once control is back in the event
    // loop.
    if (const KeyManager::Result created = security->completePasscodeSetup(m_passcode); !created) {
        setError(description(created.error()));
        setSettingUp(false);
        return;
    }
    if (m_enableTouchID && security->biometricsAvailable()) {
        if (const KeyManager::Result stored = security->keyManager().storeBiometricKey(); !stored) {
            setError(description(stored.error()));
            setSettingUp(false);
            return;
        }
        if (SettingsManager *settings = appState.settingsManager())
            settings->setUseBiometrics(true);
    }
    appState.setShowOnboarding(false);
    appState.setUnlocked(true);
    appState.reloadEntries();
    setPasscode({});
    setConfirmPasscode({});
    setSettingUp(false);
}

void OnboardingModel::setError(const QString &error)
{
    if (m_error == error)
        return;
    m_error = error;
    emit errorChanged();
}

void OnboardingModel::setSettingUp(bool settingUp)
{
    if (m_isSettingUp == settingUp)
        return;
    m_isSettingUp = settingUp;
    emit isSettingUpChanged();
}
