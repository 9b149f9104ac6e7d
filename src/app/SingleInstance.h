#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <optional>

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

    // True when this process is now the running instance. False when another
    // one runs; it has then been asked to reopen, as far as it could be
    // reached.
    bool claim();

    // Where other starts reach this one: the runtime folder, else a private
    // folder in the home folder. Empty when neither can be had.
    QString serverName() const { return m_name; }

signals:
    // Another start of the application handed over to this one.
    void reopenRequested();

private:
    void acceptConnection();

    QString m_name;
    std::optional<QLockFile> m_lock;
    QLocalServer m_server;
};
