#include "update/UpdateClient.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPromise>
#include <QUrl>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int timeoutMilliseconds = 15'000;
// The reply is a few short members; a longer one is not the endpoint's.
constexpr qint64 maxReplyBytes = 64 * 1024;

// Qt reports 4xx and 5xx statuses as content and server errors; the server
// did answer, and its body is what counts.
bool isAnswer(QNetworkReply::NetworkError error)
{
    return error == QNetworkReply::NoError
        || (error >= QNetworkReply::ContentAccessDenied && error <= QNetworkReply::UnknownContentError)
        || (error >= QNetworkReply::InternalServerError && error <= QNetworkReply::UnknownServerError);
}

UpdateClient::Result outcome(QNetworkReply &reply, bool tooLong)
{
    if (tooLong)
        return std::unexpected(UpdateClientError::decoding);
    if (!isAnswer(reply.error()))
        return std::unexpected(UpdateClientError::unreachable);
    std::optional<UpdateCheckResponse> response = UpdateCheckResponse::decode(reply.readAll());
    if (!response)
        return std::unexpected(UpdateClientError::decoding);
    return *response;
}

} // namespace

QString UpdateClient::defaultApiURL()
{
    return QStringLiteral(VT_UPDATE_API_URL);
}

QFuture<UpdateClient::Result> UpdateClient::requestUpdateCheck(
    const QString &currentVersion, QNetworkAccessManager &session) const
{
    auto promise = std::make_shared<QPromise<Result>>();
    QFuture<Result> future = promise->future();
    promise->start();

    const QUrl url(apiURL + u"/api.php?action=update_check"_s, QUrl::StrictMode);
    if (!url.isValid() || url.isRelative()) {
        promise->addResult(std::unexpected(UpdateClientError::badURL));
        promise->finish();
        return future;
    }

    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, u"application/json"_s);
    request.setRawHeader("Accept", "application/json");
    request.setTransferTimeout(timeoutMilliseconds);
    const QJsonObject body {
        {u"current_version"_s, currentVersion},
        {u"product_slug"_s, productSlug},
    };

    QNetworkReply *reply = session.post(request, QJsonDocument(body).toJson(QJsonDocument::Compact));
    auto tooLong = std::make_shared<bool>(false);
    // The body waits in the reply until it has finished: cut it off early.
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply, tooLong] {
        if (reply->bytesAvailable() > maxReplyBytes) {
            *tooLong = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, promise, tooLong] {
        promise->addResult(outcome(*reply, *tooLong));
        promise->finish();
        reply->deleteLater();
    });
    return future;
}
