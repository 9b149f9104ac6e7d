#pragma once

#include <QColor>
#include <QObject>
#include <QString>
#include <QtQmlIntegration>

// How strong a passcode looks: 0 weak, 1 medium, 2 strong. Advice only; it
// never blocks a passcode.
int passcodeStrength(const QString &passcode);

// The rating of the passcode being typed, as the strength meter shows it.
class PasscodeStrength : public QObject {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString passcode READ passcode WRITE setPasscode NOTIFY passcodeChanged)
    Q_PROPERTY(int level READ level NOTIFY passcodeChanged)
    Q_PROPERTY(QString levelName READ levelName NOTIFY passcodeChanged)
    Q_PROPERTY(qreal barValue READ barValue NOTIFY passcodeChanged)
    Q_PROPERTY(QColor tint READ tint NOTIFY passcodeChanged)

public:
    explicit PasscodeStrength(QObject *parent = nullptr);

    QString passcode() const { return m_passcode; }
    void setPasscode(const QString &passcode);

    int level() const { return passcodeStrength(m_passcode); }
    // Empty while there is no passcode: the meter then shows no label.
    QString levelName() const;
    // 0 for no passcode, else 0.33, 0.66 or 1.
    qreal barValue() const;
    QColor tint() const;

signals:
    void passcodeChanged();

private:
    QString m_passcode;
};
