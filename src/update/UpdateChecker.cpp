#include "update/UpdateChecker.h"

#include "base/WhenFinished.h"
#include "update/AppVersion.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

// The address comes from the network: only a full https address is passed
// on to be opened in the browser.
bool isSafeDownloadURL(const QString &text)
{
    const QUrl url(text, QUrl::StrictMode);
    return url.isValid() && url.scheme() == u"https" && !url.host().isEmpty();
}

} // namespace

UpdateChecker::UpdateChecker(UpdateClient client, QObject *parent)
    : QObject(parent), m_client(std::move(client))
{
}

void UpdateChecker::checkForUpdatesManually()
{
    setCheckingUpdates(true);
    setUpdateMessage({});
    const QString currentVersion = appVersion();
    whenFinished(this, m_client.requestUpdateCheck(currentVersion, m_session),
        [this, currentVersion](const UpdateClient::Result &result) { finishCheck(result, currentVersion); });
}

void UpdateChecker::finishCheck(const UpdateClient::Result &result, const QString &currentVersion)
{
    if (!result) {
        setUpdateMessage(description(result.error()));
        setCheckingUpdates(false);
        return;
    }
    if (!result->latestVersion) {
        setUpdateMessage(u"Update check failed. Try again later."_s);
        setCheckingUpdates(false);
        return;
    }

    const QString latest = *result->latestVersion;
    const bool newer = compareVersions(latest, currentVersion);
    setLatestVersion(latest);
    const std::optional<QString> &downloadURL = result->downloadURL;
    setUpdateDownloadURL(downloadURL && isSafeDownloadURL(*downloadURL) ? *downloadURL : fixedDownloadURL);
    setUpdateAvailable(newer || result->updateAvailable == true);
    setUpdateMessage(m_updateAvailable ? u"Update available: v"_s + latest
                                       : u"You're up to date (v"_s + currentVersion + u")."_s);
    setCheckingUpdates(false);
}

void UpdateChecker::setCheckingUpdates(bool checking)
{
    if (m_isCheckingUpdates == checking)
        return;
    m_isCheckingUpdates = checking;
    emit isCheckingUpdatesChanged(checking);
}

void UpdateChecker::setUpdateAvailable(bool available)
{
    if (m_updateAvailable == available)
        return;
    m_updateAvailable = available;
    emit updateAvailableChanged(available);
}

void UpdateChecker::setLatestVersion(const QString &version)
{
    setText(m_latestVersion, version, &UpdateChecker::latestVersionChanged);
}

void UpdateChecker::setUpdateDownloadURL(const QString &url)
{
    setText(m_updateDownloadURL, url, &UpdateChecker::updateDownloadURLChanged);
}

void UpdateChecker::setUpdateMessage(const QString &message)
{
    setText(m_updateMessage, message, &UpdateChecker::updateMessageChanged);
}

// Null stands for none, so a change between null and empty is a change too.
void UpdateChecker::setText(
    QString &field, const QString &text, void (UpdateChecker::*changed)(const QString &))
{
    if (field == text && field.isNull() == text.isNull())
        return;
    field = text;
    emit(this->*changed)(text);
}
