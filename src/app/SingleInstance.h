#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

// One running Vantorell per user and home folder. A second start hands over
// to the running one, which is asked to reopen, instead of capturing twice.
class SingleInstance final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(SingleInstance)

public:
    // homeFolder and userId name the instance; tests give their own.
    SingleInstance(const QString &homeFolder, uint userId, QObject *parent = nullptr);
    // This process's user and home folder.
    explicit SingleInstance(QObject *parent = nullptr);

    // True when this process is now the running instance. False when another
    // one runs; it has then been asked to reopen, as far as it could be
    // reached.
    bool claim();

signals:
    // Another start of the application handed over to this one.
    void reopenRequested();

private:
    void acceptConnection();

    QString m_name;
    QLockFile m_lock;
    QLocalServer m_server;
};
