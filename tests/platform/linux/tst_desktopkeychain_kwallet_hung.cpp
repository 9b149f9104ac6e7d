#include "KWalletSession.h"
#include "KeychainAnswers.h"
#include "platform/linux/DesktopKeychain.h"
#include "platform/linux/SecretServiceLookup.h"

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QString service = u"net.quenlax.Vantorell.test"_s;
const QString account = u"master-encryption-key"_s;

bool walletHolds(const QString &key)
{
    const int handle = KWalletSession::call(u"open"_s, {KWalletSession::wallet, qlonglong(0), service})
                           .arguments()
                           .value(0)
                           .toInt();
    return KWalletSession::call(u"hasEntry"_s, {handle, service, key, service}).arguments().value(0).toBool();
}

} // namespace

// A kwalletd5 that hangs at login, with the Secret Service beside it holding
// nothing of ours. Its own process: the keyring's choice lasts as long as it.
class HungKWalletTest final : public QObject {
    Q_OBJECT

    KWalletSession m_session;

private slots:
    void initTestCase()
    {
        QVERIFY(m_session.start());
        QVERIFY(m_session.startSecretService());
        QVERIFY(KWalletSession::openWallet());
    }

    // Taken for the Secret Service, an empty one would offer the set-up over
    // the vault, and a job would make QtKeychain keep that store once
    // KWallet is back.
    void hungKWalletIsNoAnswerUntilItWakes()
    {
        DesktopKeychain keychain(service, 1s);
        m_session.pause();
        QCOMPARE(KeychainAnswers::exists(keychain, account), u"error: KWallet did not answer in time"_s);
        QVERIFY(!keychain.store(account, "sealed", false));
        m_session.resume();
        QVERIFY(keychain.store(account, "sealed", false));
        QVERIFY(walletHolds(account));
        QCOMPARE(KeychainAnswers::exists(keychain, account), u"true"_s);
        QCOMPARE(SecretServiceLookup::hasItem(service, account, 1s).value_or(true), false);
    }
};

int main(int argc, char *argv[])
{
    KWalletSession::enter(argc, argv);
    QCoreApplication app(argc, argv);
    HungKWalletTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_desktopkeychain_kwallet_hung.moc"
