#include "LocalHttpServer.h"

#include <QTcpSocket>

using namespace Qt::StringLiterals;

namespace {

// Whole request parsed from buffer, or none while more is to come.
std::optional<LocalHttpServer::Request> parseRequest(const QByteArray &buffer)
{
    const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return std::nullopt;
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    LocalHttpServer::Request request;
    request.method = requestLine.value(0);
    request.target = requestLine.value(1);
    for (const QByteArray &line : lines.sliced(1)) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            request.headers.insert(line.left(colon).trimmed().toLower(), line.sliced(colon + 1).trimmed());
    }
    const qsizetype length = request.headers.value("content-length", "0").toLongLong();
    if (buffer.size() < headerEnd + 4 + length)
        return std::nullopt;
    request.body = buffer.sliced(headerEnd + 4, length);
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

void LocalHttpServer::answer(int status, QByteArray body, QByteArray contentType)
{
    m_status = status;
    m_body = std::move(body);
    m_contentType = std::move(contentType);
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
        buffer->clear();
        m_lastRequest = *request;
        ++m_requestCount;
        if (m_quiet)
            return;
        socket->write("HTTP/1.1 " + QByteArray::number(m_status) + " Status\r\nContent-Type: " + m_contentType
            + "\r\nContent-Length: " + QByteArray::number(m_body.size()) + "\r\nConnection: close\r\n\r\n"
            + m_body);
        socket->disconnectFromHost();
    });
}
