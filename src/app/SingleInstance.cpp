#include "app/SingleInstance.h"

#include "base/Log.h"
#include "base/PrivateFiles.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QByteArray reopenMessage = "reopen\n";

QString instanceName(const QString &homeFolder, uint userId)
{
    const QByteArray home = QCryptographicHash::hash(homeFolder.toUtf8(), QCryptographicHash::Sha256);
    return u"vantorell-%1-%2"_s.arg(userId).arg(QString::fromLatin1(home.toHex().left(16)));
}

// Qt's runtime folder is checked to be this user's and 0700 already; its own
// fallback in the shared temporary folder can be taken by someone else.
std::optional<QString> privateFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty() && PrivateFiles::makeFolder(runtime))
        return runtime;
    const QString fallback = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (PrivateFiles::makeFolder(fallback))
        return fallback;
    return std::nullopt;
}

} // namespace

SingleInstance::SingleInstance(const QString &homeFolder, uint userId, QObject *parent) : QObject(parent)
{
    if (const std::optional<QString> folder = privateFolder()) {
        m_name = QDir(*folder).filePath(instanceName(homeFolder, userId));
        m_lock.emplace(m_name + u".lock"_s);
        m_lock->setStaleLockTime(0);
    }
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
}

SingleInstance::SingleInstance(QObject *parent) : SingleInstance(QDir::homePath(), getuid(), parent)
{
}

bool SingleInstance::claim()
{
    // Two captures are better than none.
    if (!m_lock) {
        Log::write(u"No private folder for the instance lock; running without one"_s);
        return true;
    }
    if (m_lock->tryLock(0)) {
        // A socket left by a crashed instance would make listening fail.
        QLocalServer::removeServer(m_name);
        m_server.setSocketOptions(QLocalServer::UserAccessOption);
        if (!m_server.listen(m_name))
            Log::write(u"Cannot listen for other starts: "_s + m_server.errorString());
        return true;
    }
    // The running instance may still be starting: give it a moment to listen.
    const QDeadlineTimer deadline(3000);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(m_name);
        if (socket.waitForConnected(500)) {
            socket.write(reopenMessage);
            socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            return false;
        }
        QThread::msleep(100);
    }
    Log::write(u"Another instance holds the lock but does not answer"_s);
    return false;
}

void SingleInstance::acceptConnection()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->bytesAvailable() > maxMessageLength) {
                socket->abort();
                return;
            }
            if (!socket->canReadLine())
                return;
            if (socket->readLine() == reopenMessage)
                emit reopenRequested();
            socket->disconnectFromServer();
        });
    }
}
