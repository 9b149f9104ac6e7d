#include "KWalletSession.h"
#include "KeychainAnswers.h"
#include "platform/linux/DesktopKeychain.h"

using namespace Qt::StringLiterals;

namespace {

const QString service = u"net.quenlax.Vantorell.test"_s;

} // namespace

class KWalletKeychainTest final : public QObject {
    Q_OBJECT

    KWalletSession m_session;

private slots:
    void initTestCase() { QVERIFY(m_session.start()); }

    void init() { QVERIFY(KWalletSession::openWallet()); }

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
            KWalletSession::call(u"close"_s, {KWalletSession::wallet, true});
        QCOMPARE(KeychainAnswers::exists(keychain, account), stored ? u"true"_s : u"false"_s);
        QCOMPARE(KWalletSession::walletOpen(), !walletClosed);
    }
};

int main(int argc, char *argv[])
{
    KWalletSession::enter(argc, argv);
    QCoreApplication app(argc, argv);
    KWalletKeychainTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_desktopkeychain_kwallet.moc"
