#pragma once

#include <QDialog>

class QDialogButtonBox;
class QLineEdit;

// Asks for the account password, saying why. OK does not close it: the
// owner checks the password, keeping the prompt busy meanwhile, and closes
// it with the answer.
class PasswordPrompt final : public QDialog {
    Q_OBJECT

public:
    explicit PasswordPrompt(const QString &reason, QWidget *parent = nullptr);

    // The typed password as UTF-8, for one use; the field is emptied.
    QByteArray takePassword();
    // Busy: no typing, OK or Cancel.
    void setBusy(bool busy);

    void accept() override;
    void reject() override;

signals:
    void submitted();

private:
    QLineEdit *m_field;
    QDialogButtonBox *m_buttons;
    bool m_busy = false;
};
