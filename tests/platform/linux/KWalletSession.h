#pragma once

#include "PrivateBus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/prctl.h>

// A KDE Plasma 5 session on a bus of its own, with a kwalletd5 of its own
// whose wallet is made and opened the way a login opens it, so no wizard or
// password prompt waits on the test.
class KWalletSession final {
    Q_DISABLE_COPY(KWalletSession)

public:
    static inline const QString daemon = QStringLiteral("org.kde.kwalletd5");
    static inline const QString wallet = QStringLiteral("kdewallet");

    KWalletSession() = default;

    ~KWalletSession()
    {
        resume();
        for (QProcess *process : {&m_kwalletd, &m_keyring}) {
            process->terminate();
            process->waitForFinished();
        }
    }

    // Before the application: returns only in the run on the private bus.
    static void enter(int argc, char *argv[])
    {
        runOnPrivateBus(argc, argv);
        qputenv("XDG_CURRENT_DESKTOP", "KDE");
        qputenv("KDE_FULL_SESSION", "true");
        qputenv("KDE_SESSION_VERSION", "5");
    }

    static QDBusMessage message(const QString &method, const QVariantList &arguments)
    {
        QDBusMessage message = QDBusMessage::createMethodCall(
            daemon, QStringLiteral("/modules/kwalletd5"), QStringLiteral("org.kde.KWallet"), method);
        message.setArguments(arguments);
        return message;
    }

    static QDBusMessage call(const QString &method, const QVariantList &arguments)
    {
        return QDBusConnection::sessionBus().call(message(method, arguments));
    }

    static bool walletOpen()
    {
        return call(QStringLiteral("isOpen"), {wallet}).arguments().value(0).toBool();
    }

    // Starts kwalletd5 with its own Secret Service off.
    bool start()
    {
        QFile settings(m_home.filePath(QStringLiteral("kwalletrc")));
        if (!settings.open(QIODevice::WriteOnly))
            return false;
        settings.write("[Wallet]\nFirst Use=false\n[org.freedesktop.secrets]\napiEnabled=false\n");
        settings.close();
        return launch(m_kwalletd, QStringLiteral("kwalletd5"), {}, daemon);
    }

    // gnome-keyring's, unlocked, beside it.
    bool startSecretService()
    {
        return launch(m_keyring, QStringLiteral("gnome-keyring-daemon"),
            {QStringLiteral("--foreground"), QStringLiteral("--unlock"),
                QStringLiteral("--components=secrets")},
            QStringLiteral("org.freedesktop.secrets"), "login password");
    }

    // Creates the wallet at first.
    static bool openWallet()
    {
        QDBusConnection::sessionBus().send(
            message(QStringLiteral("pamOpen"), {wallet, QByteArray(56, 'k'), 0}));
        return QTest::qWaitFor(walletOpen, 10000);
    }

    // As a daemon that hangs, or is slow at login.
    void pause() { signal(SIGSTOP); }
    void resume() { signal(SIGCONT); }

private:
    // Ends with the test, however it ends.
    bool launch(QProcess &process, const QString &program, const QStringList &arguments, const QString &name,
        const QByteArray &input = {})
    {
        const QString runtime = m_home.filePath(QStringLiteral("runtime"));
        QDir().mkdir(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.path());
        environment.insert(QStringLiteral("XDG_DATA_HOME"), m_home.path());
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        process.setProcessEnvironment(environment);
        process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
        process.start(program, arguments);
        if (!process.waitForStarted())
            return false;
        process.write(input);
        process.closeWriteChannel();
        return QTest::qWaitFor(
            [&name] { return QDBusConnection::sessionBus().interface()->isServiceRegistered(name); }, 10000);
    }

    void signal(int number)
    {
        // Never 0: that would be this whole process group.
        if (const qint64 pid = m_kwalletd.processId(); pid > 0)
            ::kill(pid_t(pid), number);
    }

    QTemporaryDir m_home;
    QProcess m_kwalletd;
    QProcess m_keyring;
};
