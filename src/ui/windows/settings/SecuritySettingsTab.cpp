#include "ui/windows/settings/SecuritySettingsTab.h"

#include "app/AppStateController.h"
#include "app/SecurityController.h"
#include "base/Log.h"
#include "crypto/KeyManager.h"
#include "platform/DeviceAuth.h"
#include "records/SecretHandling.h"
#include "settings/SettingsManager.h"
#include "ui/windows/settings/SettingsWindowContext.h"

using namespace Qt::StringLiterals;

SecuritySettingsTab::SecuritySettingsTab(QObject *parent) : QObject(parent)
{
}

void SecuritySettingsTab::setContext(SettingsWindowContext *context)
{
    if (m_context || !context)
        return;
    m_context = context;
    SettingsManager &settings = context->settings();
    connect(&settings, &SettingsManager::requirePasscodeChanged, this,
        &SecuritySettingsTab::touchIDEnabledChanged);
    connect(&settings, &SettingsManager::secretHandlingChanged, this,
        &SecuritySettingsTab::secretHandlingChanged);
    emit contextChanged();
    emit touchIDEnabledChanged();
    emit secretHandlingChanged();
}

bool SecuritySettingsTab::touchIDEnabled() const
{
    return biometricsAvailable() && m_context->settings().requirePasscode();
}

bool SecuritySettingsTab::biometricsAvailable() const
{
    if (!m_context)
        return false;
    const SecurityController *security = m_context->appState().securityController();
    return security && security->biometricsAvailable();
}

void SecuritySettingsTab::setShowResetConfirm(bool show)
{
    if (show == m_showResetConfirm)
        return;
    m_showResetConfirm = show;
    emit showResetConfirmChanged();
}

QString SecuritySettingsTab::secretHandling() const
{
    return m_context ? rawValue(m_context->settings().secretHandling()) : QString();
}

void SecuritySettingsTab::setSecretHandling(const QString &raw)
{
    if (const std::optional<SecretHandling> handling = fromRawValue<SecretHandling>(raw))
        m_context->settings().setSecretHandling(*handling);
}

QStringList SecuritySettingsTab::secretHandlingOptions()
{
    QStringList options;
    for (const auto &[handling, raw] : RawValueTable<SecretHandling>::entries)
        options.append(raw.toString());
    return options;
}

QString SecuritySettingsTab::secretHandlingOptionLabel(const QString &raw)
{
    switch (fromRawValue<SecretHandling>(raw).value_or(SecretHandling::lock)) {
    case SecretHandling::lock:
        return u"Store locked (account password to reveal)"_s;
    case SecretHandling::skip:
        return u"Never store"_s;
    case SecretHandling::store:
        return u"Store normally"_s;
    }
    return {};
}

QString SecuritySettingsTab::eraseAllAlertMessage()
{
    return u"This deletes your encryption keys, clipboard history, snippets and passcode, then starts setup "
           u"again. It can't be undone."_s;
}

void SecuritySettingsTab::setRequirePasscode(bool required)
{
    SettingsWindowContext &context = *m_context;
    if (required) {
        context.settings().setRequirePasscode(true);
        if (!context.appState().securityController())
            return;
        const auto removed = context.keyManager().keychainDelete(KeyManager::rawKeyAccount);
        Log::write(removed ? u"Raw master key removed (passcode now required)"_s
                           : u"Raw master key could not be removed: "_s + removed.error().detail);
        return;
    }
    if (!context.appState().securityController())
        return;
    DeviceAuth &auth = context.deviceAuth();
    if (!auth.canEvaluate(DeviceAuth::Policy::ownerAuthentication)) {
        turnPasscodeOff(context);
        return;
    }
    // The context outlives the tab and the window: the answer is kept even
    // when the user has moved on.
    auth.evaluate(DeviceAuth::Policy::ownerAuthentication, passcodeOffReason, &context,
        [context = &context](
            const DeviceAuth::Reply &reply) { passcodeOffReply(*context, reply.value_or(false)); });
}

void SecuritySettingsTab::passcodeOffReply(SettingsWindowContext &context, bool authenticated)
{
    if (authenticated)
        turnPasscodeOff(context);
}

void SecuritySettingsTab::turnPasscodeOff(SettingsWindowContext &context)
{
    context.settings().setRequirePasscode(false);
    // Without the raw key the next launch asks for the passcode: nothing is
    // lost, so a failed write stays silent.
    if (context.appState().securityController())
        (void)context.keyManager().storeRawMasterKey();
}

void SecuritySettingsTab::setUseBiometrics(bool use)
{
    SettingsWindowContext &context = *m_context;
    if (context.appState().securityController()) {
        KeyManager &keys = context.keyManager();
        if (use) {
            if (const KeyManager::Result stored = keys.storeBiometricKey(); !stored) {
                setTouchIDError(u"Couldn't turn on fingerprint unlock: "_s + description(stored.error()));
                return;
            }
        } else {
            (void)keys.keychainDelete(KeyManager::biometricKeyAccount);
        }
    }
    context.settings().setUseBiometrics(use);
    setTouchIDError({});
}

void SecuritySettingsTab::setTouchIDError(const QString &error)
{
    if (error == m_touchIDError && error.isNull() == m_touchIDError.isNull())
        return;
    m_touchIDError = error;
    emit touchIDErrorChanged();
}

void SecuritySettingsTab::confirmEraseAll()
{
    setShowResetConfirm(false);
    if (SecurityController *security = m_context->appState().securityController())
        security->beginFullReset();
}
