#pragma once

#include "update/UpdateClient.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <QString>

// Asks the update endpoint, when the user presses the button, whether a
// newer version exists, and publishes the answer for the settings window.
// Lives on the main thread. Optional texts are null when they hold nothing.
class UpdateChecker final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(UpdateChecker)

    Q_PROPERTY(bool isCheckingUpdates READ isCheckingUpdates NOTIFY isCheckingUpdatesChanged)
    Q_PROPERTY(bool updateAvailable READ updateAvailable NOTIFY updateAvailableChanged)
    Q_PROPERTY(QString latestVersion READ latestVersion NOTIFY latestVersionChanged)
    Q_PROPERTY(QString updateDownloadURL READ updateDownloadURL NOTIFY updateDownloadURLChanged)
    Q_PROPERTY(QString updateMessage READ updateMessage NOTIFY updateMessageChanged)

public:
    // Where the installer is downloaded when the endpoint names no safe
    // address of its own.
    static inline const QString fixedDownloadURL = QStringLiteral("https://quenlax.net/vantorell/download");

    explicit UpdateChecker(UpdateClient client = {}, QObject *parent = nullptr);

    bool isCheckingUpdates() const { return m_isCheckingUpdates; }
    bool updateAvailable() const { return m_updateAvailable; }
    QString latestVersion() const { return m_latestVersion; }
    QString updateDownloadURL() const { return m_updateDownloadURL; }
    QString updateMessage() const { return m_updateMessage; }
    const UpdateClient &client() const { return m_client; }

    // Starts a check and returns at once; the outcome arrives in the
    // published state. A second press while one runs starts a second check.
    Q_INVOKABLE void checkForUpdatesManually();

signals:
    void isCheckingUpdatesChanged(bool checking);
    void updateAvailableChanged(bool available);
    void latestVersionChanged(const QString &version);
    void updateDownloadURLChanged(const QString &url);
    void updateMessageChanged(const QString &message);

private:
    void finishCheck(const UpdateClient::Result &result, const QString &currentVersion);
    void setCheckingUpdates(bool checking);
    void setUpdateAvailable(bool available);
    void setLatestVersion(const QString &version);
    void setUpdateDownloadURL(const QString &url);
    void setUpdateMessage(const QString &message);
    void setText(QString &field, const QString &text, void (UpdateChecker::*changed)(const QString &));

    bool m_isCheckingUpdates = false;
    bool m_updateAvailable = false;
    QString m_latestVersion;
    QString m_updateDownloadURL;
    QString m_updateMessage;
    UpdateClient m_client;
    QNetworkAccessManager m_session;
};
