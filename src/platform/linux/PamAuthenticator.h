#pragma once

#include <QByteArrayView>
#include <QString>

#include <expected>

// Checks a user's account password through PAM, the way the desktop's own
// screen locker does. Only the password of the user this process runs as
// can be checked unless it runs as root.
class PamAuthenticator final {
public:
    // The service whose authentication stack decides; "login" is present
    // wherever PAM is.
    explicit PamAuthenticator(QString service = QStringLiteral("login"), QString user = currentUser());

    // Whether the service is configured and the user known, asking for no
    // password.
    bool isAvailable() const;

    // Blocks, for seconds after a wrong password (PAM's failure delay):
    // call it off the main thread. Any failure, an error of PAM itself
    // included, is a refusal carrying PAM's text.
    std::expected<void, QString> verify(QByteArrayView password) const;

    const QString &service() const { return m_service; }
    const QString &user() const { return m_user; }

    static QString currentUser();

private:
    QString m_service;
    QString m_user;
};
