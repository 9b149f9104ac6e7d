#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQmlIntegration>

#include <chrono>

class MainPopoverModel;

// The lock screen: takes the passcode to the security controller, starts the
// Touch ID attempt, shows the controller's message and shakes the field after
// a refused passcode. Made anew each time the panel locks. Main thread only.
// Not final: QML makes it through a subclass of its own.
class UnlockModel : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(UnlockModel)
    QML_ELEMENT

    Q_PROPERTY(MainPopoverModel *panel READ panel WRITE setPanel NOTIFY panelChanged)
    Q_PROPERTY(QString passcode READ passcode WRITE setPasscode NOTIFY passcodeChanged)
    Q_PROPERTY(bool isAuthenticating READ isAuthenticating NOTIFY isAuthenticatingChanged)
    Q_PROPERTY(bool showError READ showError NOTIFY errorChanged)
    Q_PROPERTY(QString errorMessage READ errorMessage NOTIFY errorChanged)
    // The field's horizontal offset while it shakes.
    Q_PROPERTY(qreal shakeOffset READ shakeOffset NOTIFY shakeOffsetChanged)
    Q_PROPERTY(bool showsTouchIdButton READ showsTouchIdButton NOTIFY showsTouchIdButtonChanged)

public:
    static constexpr std::chrono::milliseconds shakeStep {100};

    explicit UnlockModel(QObject *parent = nullptr);
    ~UnlockModel() override;

    MainPopoverModel *panel() const { return m_panel; }
    void setPanel(MainPopoverModel *panel);

    QString passcode() const { return m_passcode; }
    void setPasscode(const QString &passcode);
    bool isAuthenticating() const { return m_isAuthenticating; }
    bool showError() const { return m_showError; }
    QString errorMessage() const { return m_errorMessage; }
    qreal shakeOffset() const { return m_shakeOffset; }
    bool showsTouchIdButton() const;

    // The panel showed this screen: Touch ID is tried at once when the user
    // chose it.
    Q_INVOKABLE void appear();
    // The Unlock button and Return in the field, also with an empty field.
    Q_INVOKABLE void submitPasscode();
    Q_INVOKABLE void unlockWithBiometrics();
    void shakeOnError();

signals:
    void panelChanged();
    void passcodeChanged();
    void isAuthenticatingChanged();
    void errorChanged();
    void shakeOffsetChanged();
    void showsTouchIdButtonChanged();

private:
    void setAuthenticating(bool authenticating);
    void setShakeOffset(qreal offset);
    // The controller's message, or fallback when it has none.
    void showFailure(const QString &fallback);

    QPointer<MainPopoverModel> m_panel;
    QString m_passcode;
    bool m_isAuthenticating = false;
    bool m_showError = false;
    QString m_errorMessage;
    qreal m_shakeOffset = 0;
};
