#pragma once

#include "update/UpdateCheckResponse.h"
#include "update/UpdateClientError.h"

#include <QFuture>
#include <QString>

#include <expected>

class QNetworkAccessManager;

// Asks the update endpoint about the newest version. A value type: the
// endpoint's address and the product it asks for.
struct UpdateClient {
    using Result = std::expected<UpdateCheckResponse, UpdateClientError>;

    // Scheme and host, no trailing slash; set when the application is built.
    QString apiURL = defaultApiURL();
    QString productSlug = QStringLiteral("vantorell");

    // POSTs currentVersion through session; the future finishes on the
    // session's thread with the decoded reply, whatever its HTTP status. A
    // reply past 64 KiB is cut off and fails as undecodable.
    QFuture<Result> requestUpdateCheck(const QString &currentVersion, QNetworkAccessManager &session) const;

    static QString defaultApiURL();
};
