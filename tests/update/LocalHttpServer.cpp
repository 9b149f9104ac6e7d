#include "LocalHttpServer.h"

#include <QTcpSocket>

using namespace Qt::StringLiterals;

namespace {

// The whole request in buffer, or none while more is to come.
std::optional<LocalHttpServer::Request> parseRequest(const QByteArray &buffer)
{
    const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return std::nullopt;
    LocalHttpServer::Request request {buffer.left(headEnd).split('\n'), {}};
    qsizetype length = 0;
    for (QByteArray &line : request.head) {
        line = line.trimmed();
        if (line.toLower().startsWith("content-length:"))
            length = line.sliced(15).trimmed().toLongLong();
    }
    if (buffer.size() < headEnd + 4 + length)
        return std::nullopt;
    request.body = buffer.sliced(headEnd + 4, length);
    return request;
}

} // namespace

LocalHttpServer::LocalHttpServer()
{
    m_server.listen(QHostAddress::LocalHost);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection())
            serve(socket);
    });
}

QString LocalHttpServer::baseURL() const
{
    return u"http://127.0.0.1:"_s + QString::number(m_server.serverPort());
}

void LocalHttpServer::serve(QTcpSocket *socket)
{
    socket->setParent(this);
    auto buffer = std::make_shared<QByteArray>();
    connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
        buffer->append(socket->readAll());
        const std::optional<Request> request = parseRequest(*buffer);
        if (!request)
            return;
        m_lastRequest = *request;
        ++m_requestCount;
        if (!m_response)
            return;
        const auto &[status, body] = *m_response;
        socket->write("HTTP/1.1 " + QByteArray::number(status) + " Status\r\nContent-Length: "
            + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    });
}
