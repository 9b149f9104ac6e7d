#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QTcpServer>

// A one-request-at-a-time HTTP server on the loopback address that answers
// every request with the same status and body, and keeps the last request.
class LocalHttpServer final : public QObject {
    Q_OBJECT

public:
    struct Request {
        QByteArray method;
        QByteArray target;
        // Header names in lower case.
        QHash<QByteArray, QByteArray> headers;
        QByteArray body;
    };

    LocalHttpServer();

    // Scheme, address and port, no trailing slash.
    QString baseURL() const;
    void answer(int status, QByteArray body, QByteArray contentType = "application/json");
    // Accepts connections and reads requests without ever answering.
    void stayQuiet() { m_quiet = true; }

    int requestCount() const { return m_requestCount; }
    const Request &lastRequest() const { return m_lastRequest; }

private:
    void serve(QTcpSocket *socket);

    QTcpServer m_server;
    int m_status = 200;
    QByteArray m_body;
    QByteArray m_contentType;
    bool m_quiet = false;
    int m_requestCount = 0;
    Request m_lastRequest;
};
