#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTcpServer>

// An HTTP server on the loopback address that answers every request with
// the same status and body, and keeps the last request.
class LocalHttpServer final : public QObject {
    Q_OBJECT

public:
    struct Request {
        // The request line, then each header line, as sent.
        QList<QByteArray> head;
        QByteArray body;
    };

    LocalHttpServer();

    // Scheme, address and port, no trailing slash.
    QString baseURL() const;
    void answer(int status, QByteArray body) { m_response = {status, std::move(body)}; }

    int requestCount() const { return m_requestCount; }
    const Request &lastRequest() const { return m_lastRequest; }

private:
    void serve(QTcpSocket *socket);

    QTcpServer m_server;
    std::optional<std::pair<int, QByteArray>> m_response;
    int m_requestCount = 0;
    Request m_lastRequest;
};
