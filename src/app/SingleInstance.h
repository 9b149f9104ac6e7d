#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <optional>

class QLocalSocket;

// One running Vantorell per user and home folder. A second start hands over
// to the running one, which is asked to reopen, instead of capturing twice.
// The lock and the socket live in a folder only this user can reach, so no
// one else can take the name first.
class SingleInstance final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(SingleInstance)

public:
    // Longer messages are not another start's.
    static constexpr qint64 maxMessageLength = 64;

    // homeFolder and userId name the instance; tests give their own.
    SingleInstance(const QString &homeFolder, uint userId, QObject *parent = nullptr);
    // This process's user and home folder.
    explicit SingleInstance(QObject *parent = nullptr);

    enum class Claim {
        // This process is now the running instance.
        running,
        // Another one runs and has taken the request to reopen.
        handedOver,
        // A live process holds the lock and does not take the request.
        holderSilent,
    };
    Q_ENUM(Claim)

    // A lock file that names no live process is taken over; one that a live
    // process holds never is.
    Claim claim();

    // Where other starts reach this one: the runtime folder, else a private
    // folder in the home folder. Empty when neither can be had.
    QString serverName() const { return m_name; }

signals:
    // Another start of the application handed over to this one.
    void reopenRequested();

private:
    bool tryLock();
    void listen();
    // True once the running instance has taken the request to reopen.
    static bool handOver(QLocalSocket &socket);
    void acceptConnection();

    QString m_name;
    std::optional<QLockFile> m_lock;
    QLocalServer m_server;
};
