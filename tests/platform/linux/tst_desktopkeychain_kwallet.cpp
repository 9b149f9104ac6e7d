#include "KeychainAnswers.h"
#include "PrivateBus.h"
#include "platform/linux/DesktopKeychain.h"

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
// prompt waits on the test.
class KWalletKeychainTest final : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;
    QProcess m_kwalletd;

    // Creates the wallet at first.
    static bool openWallet()
    {
        QDBusConnection::sessionBus().send(kwalletCall(u"pamOpen"_s, {wallet, QByteArray(56, 'k'), 0}));
        return QTest::qWaitFor(walletOpen, 10000);
    }

private slots:
    void initTestCase()
    {
        QFile settings(m_home.filePath(u"kwalletrc"_s));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        // Its Secret Service off: nothing owns that name on this bus.
        settings.write("[Wallet]\nFirst Use=false\n[org.freedesktop.secrets]\napiEnabled=false\n");
        settings.close();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_CONFIG_HOME"_s, m_home.path());
        environment.insert(u"XDG_DATA_HOME"_s, m_home.path());
        m_kwalletd.setProcessEnvironment(environment);
        // Ends with this test, however it ends.
        m_kwalletd.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
        m_kwalletd.start(u"kwalletd5"_s, {});
        QVERIFY2(m_kwalletd.waitForStarted(), qPrintable(m_kwalletd.errorString()));
        QVERIFY(QTest::qWaitFor(
            [] { return QDBusConnection::sessionBus().interface()->isServiceRegistered(kwalletd); }, 10000));
    }

    void cleanupTestCase()
    {
        m_kwalletd.terminate();
        QVERIFY(m_kwalletd.waitForFinished());
    }

    void init() { QVERIFY(openWallet()); }

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
