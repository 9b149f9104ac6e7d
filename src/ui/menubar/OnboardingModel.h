#pragma once

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QQuickItem>
#include <QString>
#include <QtQmlIntegration>

class MainPopoverModel;

// The first-run set-up: a welcome page, the passcode, the Touch ID choice and
// the paste permission, then "Get Started", which creates the vault, unlocks
// and leaves the set-up. Made anew each time the panel enters the set-up.
// Main thread only.
// Not final: QML makes it through a subclass of its own.
class OnboardingModel : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(OnboardingModel)
    QML_ELEMENT

    Q_PROPERTY(MainPopoverModel *panel READ panel WRITE setPanel NOTIFY panelChanged)
    Q_PROPERTY(int currentStep READ currentStep NOTIFY currentStepChanged)
    Q_PROPERTY(bool accessibilityGranted READ accessibilityGranted NOTIFY accessibilityGrantedChanged)
    Q_PROPERTY(QString passcode READ passcode WRITE setPasscode NOTIFY passcodeChanged)
    Q_PROPERTY(QString confirmPasscode READ confirmPasscode WRITE setConfirmPasscode NOTIFY passcodeChanged)
    Q_PROPERTY(bool enableTouchID READ enableTouchID WRITE setEnableTouchID NOTIFY enableTouchIDChanged)
    // Empty when there is nothing to say.
    Q_PROPERTY(QString error READ error NOTIFY errorChanged)
    Q_PROPERTY(bool isSettingUp READ isSettingUp NOTIFY isSettingUpChanged)
    Q_PROPERTY(bool canContinue READ canContinue NOTIFY canContinueChanged)
    // Asked again whenever the step changes.
    Q_PROPERTY(bool biometricsAvailable READ biometricsAvailable NOTIFY biometricsAvailableChanged)
    Q_PROPERTY(int totalSteps READ stepCount CONSTANT)

public:
    static constexpr int totalSteps = 4;
    static constexpr int lastStep = totalSteps - 1;
    // In user-perceived characters.
    static constexpr qsizetype minimumPasscodeLength = 6;

    explicit OnboardingModel(QObject *parent = nullptr);
    ~OnboardingModel() override;

    static int stepCount() { return totalSteps; }
    MainPopoverModel *panel() const { return m_panel; }
    void setPanel(MainPopoverModel *panel);

    int currentStep() const { return m_currentStep; }
    bool accessibilityGranted() const { return m_accessibilityGranted; }
    QString passcode() const { return m_passcode; }
    void setPasscode(const QString &passcode);
    QString confirmPasscode() const { return m_confirmPasscode; }
    void setConfirmPasscode(const QString &passcode);
    bool enableTouchID() const { return m_enableTouchID; }
    void setEnableTouchID(bool enable);
    QString error() const { return m_error; }
    bool isSettingUp() const { return m_isSettingUp; }
    // Always on the steps without fields.
    bool canContinue() const;
    bool biometricsAvailable() const;

    // The panel showed this screen: the permission step tests the permission
    // again.
    Q_INVOKABLE void appear();
    // "Continue".
    Q_INVOKABLE void validateAndAdvance();
    // "Back".
    Q_INVOKABLE void goBack();
    void refreshAccessibilityStatus();
    Q_INVOKABLE void requestAccessibilityAccess();
    // "Get Started" from view: shows the spinner in one painted frame first
    // (at once when the window is not on screen), then, if view is still the
    // screen shown, runs completeSetup.
    Q_INVOKABLE void startSetup(QQuickItem *view);
    // Creates the vault with the passcode, stores the Touch ID key when asked
    // and available, and unlocks. Synchronous: the key derivation takes a
    // noticeable moment. A failure stays on this step with its text in error.
    void completeSetup();

signals:
    void panelChanged();
    void currentStepChanged();
    void accessibilityGrantedChanged();
    void passcodeChanged();
    void enableTouchIDChanged();
    void errorChanged();
    void isSettingUpChanged();
    void canContinueChanged();
    void biometricsAvailableChanged();

private:
    void setCurrentStep(int step);
    void setError(const QString &error);
    void setSettingUp(bool settingUp);
    void finishAfterFrame(const QPointer<QQuickItem> &view);
    void stopWaitingForFrame();

    QPointer<MainPopoverModel> m_panel;
    int m_currentStep = 0;
    bool m_accessibilityGranted = false;
    QString m_passcode;
    QString m_confirmPasscode;
    bool m_enableTouchID = true;
    QString m_error;
    bool m_isSettingUp = false;
    QMetaObject::Connection m_frameShown;
    QMetaObject::Connection m_windowHidden;
};
