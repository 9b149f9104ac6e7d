#include "ui/menubar/UnlockModel.h"

#include "app/AppStateController.h"
#include "app/SecurityController.h"
#include "settings/SettingsManager.h"
#include "ui/menubar/MainPopoverModel.h"

using namespace Qt::StringLiterals;

UnlockModel::UnlockModel(QObject *parent) : QObject(parent)
{
}

UnlockModel::~UnlockModel() = default;

void UnlockModel::setPanel(MainPopoverModel *panel)
{
    if (m_panel == panel)
        return;
    m_panel = panel;
    if (SettingsManager *settings = panel ? panel->appState().settingsManager() : nullptr) {
        connect(
            settings, &SettingsManager::useBiometricsChanged, this, &UnlockModel::showsTouchIdButtonChanged);
    }
    emit panelChanged();
    emit showsTouchIdButtonChanged();
}

void UnlockModel::setPasscode(const QString &passcode)
{
    if (m_passcode == passcode)
        return;
    m_passcode = passcode;
    emit passcodeChanged();
}

bool UnlockModel::showsTouchIdButton() const
{
    if (!m_panel)
        return false;
    const SecurityController *security = m_panel->appState().securityController();
    const SettingsManager *settings = m_panel->appState().settingsManager();
    return security && security->biometricsAvailable() && settings && settings->useBiometrics();
}

void UnlockModel::appear()
{
    // Whether the device offers it is asked anew on every showing.
    emit showsTouchIdButtonChanged();
    // A lock screen shown because the keyring could not answer says so
    // before any attempt.
    const SecurityController *security = m_panel ? m_panel->appState().securityController() : nullptr;
    if (!m_showError && security && !security->authError().isEmpty())
        showFailure({});
    const SettingsManager *settings = m_panel ? m_panel->appState().settingsManager() : nullptr;
    if (settings && settings->useBiometrics())
        unlockWithBiometrics();
}

void UnlockModel::submitPasscode()
{
    SecurityController *security = m_panel ? m_panel->appState().securityController() : nullptr;
    if (!security)
        return;
    setAuthenticating(true);
    // May switch the panel to another screen, which deletes this model only
    // once control is back in the event loop.
    if (security->attemptUnlock(m_passcode)) {
        setPasscode({});
        if (m_showError) {
            m_showError = false;
            emit errorChanged();
        }
    } else {
        showFailure(u"Incorrect passcode"_s);
        setPasscode({});
        shakeOnError();
    }
    setAuthenticating(false);
}

void UnlockModel::unlockWithBiometrics()
{
    SecurityController *security = m_panel ? m_panel->appState().securityController() : nullptr;
    if (!security)
        return;
    setAuthenticating(true);
    // The answer may come after the panel has left the lock screen.
    const QPointer<UnlockModel> self(this);
    security->attemptBiometricUnlock([self](bool unlocked) {
        if (!self)
            return;
        if (!unlocked)
            self->showFailure(u"Authentication failed"_s);
        self->setAuthenticating(false);
    });
}

void UnlockModel::showFailure(const QString &fallback)
{
    const SecurityController *security = m_panel ? m_panel->appState().securityController() : nullptr;
    const QString message = security ? security->authError() : QString();
    m_errorMessage = message.isEmpty() ? fallback : message;
    m_showError = true;
    emit errorChanged();
}

void UnlockModel::shakeOnError()
{
    setShakeOffset(10);
    if (!m_panel)
        return;
    MainQueue &queue = m_panel->mainQueue();
    queue.after(shakeStep, this, [this] { setShakeOffset(-10); });
    queue.after(2 * shakeStep, this, [this] { setShakeOffset(0); });
}

void UnlockModel::setAuthenticating(bool authenticating)
{
    if (m_isAuthenticating == authenticating)
        return;
    m_isAuthenticating = authenticating;
    emit isAuthenticatingChanged();
}

void UnlockModel::setShakeOffset(qreal offset)
{
    if (m_shakeOffset == offset)
        return;
    m_shakeOffset = offset;
    emit shakeOffsetChanged();
}
