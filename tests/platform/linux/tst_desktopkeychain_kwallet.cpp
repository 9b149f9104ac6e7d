#include "KeychainAnswers.h"
#include "PrivateBus.h"
#include "platform/linux/DesktopKeychain.h"
#include "platform/linux/SecretServiceLookup.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/prctl.h>

using namespace Qt::StringLiterals;

namespace {

const QString service = u"net.quenlax.Vantorell.test"_s;
const QString kwalletd = u"org.kde.kwalletd5"_s;
const QString wallet = u"kdewallet"_s;

QDBusMessage kwalletCall(const QString &method, const QVariantList &arguments)
{
    QDBusMessage call
        = QDBusMessage::createMethodCall(kwalletd, u"/modules/kwalletd5"_s, u"org.kde.KWallet"_s, method);
    call.setArguments(arguments);
    return call;
}

bool walletOpen()
{
    return QDBusConnection::sessionBus()
        .call(kwalletCall(u"isOpen"_s, {wallet}))
        .arguments()
        .value(0)
        .toBool();
}

} // namespace

// A KDE session on a bus of its own, with a kwalletd5 of its own whose wallet
// is made and opened the way a login opens it, so no wizard or password
// prompt waits on the test, and gnome-keyring's Secret Service beside it.
class KWalletKeychainTest final : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    QProcess m_kwalletd;
    QProcess m_keyring;

    // Creates the wallet at first.
    static bool openWallet()
    {
        QDBusConnection::sessionBus().send(kwalletCall(u"pamOpen"_s, {wallet, QByteArray(56, 'k'), 0}));
        return QTest::qWaitFor(walletOpen, 10000);
    }

    // Ends with this test, however it ends.
    bool startDaemon(QProcess &process, const QString &program, const QStringList &arguments,
        const QString &name, const QByteArray &input = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_CONFIG_HOME"_s, m_home.path());
        environment.insert(u"XDG_DATA_HOME"_s, m_home.path());
        environment.insert(u"XDG_RUNTIME_DIR"_s, m_home.path());
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

private slots:
    void initTestCase()
    {
        QFile settings(m_home.filePath(u"kwalletrc"_s));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        // Its own Secret Service off: gnome-keyring's is the one on this bus.
        settings.write("[Wallet]\nFirst Use=false\n[org.freedesktop.secrets]\napiEnabled=false\n");
        settings.close();
        QVERIFY2(startDaemon(m_kwalletd, u"kwalletd5"_s, {}, kwalletd), qPrintable(m_kwalletd.errorString()));
        QVERIFY2(startDaemon(m_keyring, u"gnome-keyring-daemon"_s,
                     {u"--foreground"_s, u"--unlock"_s, u"--components=secrets"_s},
                     u"org.freedesktop.secrets"_s, "login password"),
            qPrintable(m_keyring.errorString()));
    }

    void cleanupTestCase()
    {
        kill(pid_t(m_kwalletd.processId()), SIGCONT);
        for (QProcess *daemon : {&m_kwalletd, &m_keyring}) {
            daemon->terminate();
            QVERIFY(daemon->waitForFinished());
        }
    }

    void init() { QVERIFY(openWallet()); }

    // First: the store chosen lasts as long as the process. Taken for the
    // Secret Service, which holds nothing, a kwalletd5 that hangs at login
    // would have the set-up offered over the vault; a job would make
    // QtKeychain keep that store once KWallet is back.
    void hungKWalletIsNoAnswerUntilItWakes()
    {
        DesktopKeychain keychain(service, std::chrono::seconds(1));
        const QString account = u"master-encryption-key"_s;
        kill(pid_t(m_kwalletd.processId()), SIGSTOP);
        QCOMPARE(KeychainAnswers::exists(keychain, account), u"error: KWallet did not answer in time"_s);
        QVERIFY(!keychain.store(account, "sealed", false));
        kill(pid_t(m_kwalletd.processId()), SIGCONT);
        QVERIFY(keychain.store(account, "sealed", false));
        QCOMPARE(KeychainAnswers::exists(keychain, account), u"true"_s);
        QCOMPARE(
            SecretServiceLookup::hasItem(service, account, std::chrono::seconds(1)).value_or(true), false);
    }

    // KWallet tells without opening a wallet from the names its file lists,
    // which an open wallet does not update for a folder made since it opened;
    // opening a closed wallet asks for its password.
    void storedItemIsFoundWhateverTheWalletState_data()
    {
        QTest::addColumn<bool>("stored");
        QTest::addColumn<bool>("walletClosed");
        QTest::newRow("stored while the wallet is open") << true << false;
        QTest::newRow("stored, wallet closed since") << true << true;
        QTest::newRow("never stored, wallet open") << false << false;
        QTest::newRow("never stored, wallet closed") << false << true;
    }

    void storedItemIsFoundWhateverTheWalletState()
    {
        QFETCH(bool, stored);
        QFETCH(bool, walletClosed);
        // A service, so a folder, of its own: made while the wallet is open.
        DesktopKeychain keychain(
            service + u'.' + QString::fromLatin1(QTest::currentDataTag()), std::chrono::seconds(5));
        const QString account = u"master-encryption-key"_s;
        if (stored)
            QVERIFY(keychain.store(account, QByteArray(60, '\x9c'), false));
        if (walletClosed)
            QDBusConnection::sessionBus().call(kwalletCall(u"close"_s, {wallet, true}));
        QCOMPARE(KeychainAnswers::exists(keychain, account), stored ? u"true"_s : u"false"_s);
        QCOMPARE(walletOpen(), !walletClosed);
    }
};

int main(int argc, char *argv[])
{
    runOnPrivateBus(argc, argv);
    qputenv("XDG_CURRENT_DESKTOP", "KDE");
    qputenv("KDE_FULL_SESSION", "true");
    qputenv("KDE_SESSION_VERSION", "5");
    QCoreApplication app(argc, argv);
    KWalletKeychainTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_desktopkeychain_kwallet.moc"
