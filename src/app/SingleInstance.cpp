#include "app/SingleInstance.h"

#include "base/Log.h"
#include "base/PrivateFiles.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <chrono>

#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QByteArray reopenMessage = "reopen\n";

// Far longer than a start takes between making its lock file and writing it.
constexpr std::chrono::milliseconds unwrittenLockAge {1000};
// A running instance waits on nothing longer than a clipboard owner that
// hangs (Qt gives up after 5 s).
constexpr std::chrono::milliseconds answerTime {6000};

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
    }
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
}

SingleInstance::SingleInstance(QObject *parent) : SingleInstance(QDir::homePath(), getuid(), parent)
{
}

SingleInstance::Claim SingleInstance::claim()
{
    // Two captures are better than none.
    if (!m_lock) {
        Log::write(u"No private folder for the instance lock; running without one"_s);
        return Claim::running;
    }
    // The running instance may still be starting, and a lock file left
    // unwritten may still be too new to count as stale: both get a moment.
    const QDeadlineTimer deadline(3000);
    do {
        if (tryLock()) {
            listen();
            return Claim::running;
        }
        if (m_lock->error() != QLockFile::LockFailedError) {
            Log::write(u"Cannot make the instance lock %1; running without one"_s.arg(m_lock->fileName()));
            return Claim::running;
        }
        QLocalSocket socket;
        socket.connectToServer(m_name);
        if (socket.waitForConnected(500)) {
            if (handOver(socket))
                return Claim::handedOver;
            break;
        }
        QThread::msleep(100);
    } while (!deadline.hasExpired());
    qint64 pid = 0;
    const QString holder
        = m_lock->getLockInfo(&pid, nullptr, nullptr) ? u"process %1"_s.arg(pid) : u"no process id"_s;
    Log::write(u"Another instance holds the lock but does not answer (%1; lock file %2)"_s.arg(
        holder, m_lock->fileName()));
    return Claim::holderSilent;
}

bool SingleInstance::tryLock()
{
    // A lock file is written as soon as it is made: one that names no
    // process was left by a crash in between, once it is older than a start
    // takes to write it. Qt removes a stale one only under the lock that its
    // holder keeps while it lives, so a live holder is never displaced.
    const bool namesProcess = m_lock->getLockInfo(nullptr, nullptr, nullptr);
    m_lock->setStaleLockTime(namesProcess ? 0ms : unwrittenLockAge);
    return m_lock->tryLock(0);
}

void SingleInstance::listen()
{
    // A socket left by a crashed instance would make listening fail.
    QLocalServer::removeServer(m_name);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server.listen(m_name))
        Log::write(u"Cannot listen for other starts: "_s + m_server.errorString());
}

bool SingleInstance::handOver(QLocalSocket &socket)
{
    // Asked once: a holder that stalls would take every request when it
    // wakes. It hangs up once it has taken one; a stopped or hung one never
    // does, though the system accepts the connection for it.
    socket.write(reopenMessage);
    socket.waitForBytesWritten(1000);
    return socket.waitForDisconnected(int(answerTime.count()))
        || socket.state() == QLocalSocket::UnconnectedState;
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
