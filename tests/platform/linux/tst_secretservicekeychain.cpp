#include "KeychainAnswers.h"
#include "platform/linux/DesktopKeychain.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace KeychainAnswers;

namespace {

const QString service = u"net.quenlax.Vantorell.test"_s;

QByteArray binaryItem()
{
    QByteArray bytes(60, Qt::Uninitialized);
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(255 - i * 4);
    bytes[0] = '\0';
    bytes[30] = '\0';
    return bytes;
}

} // namespace

// Against the gnome-keyring of the test session.
class SecretServiceKeychainTest final : public QObject {
    Q_OBJECT

private slots:
    void binaryItemRoundTripsAndStoreReplaces()
    {
        DesktopKeychain keychain(service);
        const QString account = u"round-trip"_s;
        QVERIFY(keychain.store(account, "first", false));
        QVERIFY(keychain.store(account, binaryItem(), false));
        QCOMPARE(loaded(keychain, account), QString::fromLatin1(binaryItem().toHex()));
        QCOMPARE(exists(keychain, account), u"true"_s);
    }

    void removedItemIsNotFoundRatherThanAnError()
    {
        DesktopKeychain keychain(service);
        const QString account = u"removed"_s;
        QVERIFY(keychain.store(account, binaryItem(), false));
        QVERIFY(keychain.remove(account));
        QCOMPARE(loaded(keychain, account), u"absent"_s);
        QCOMPARE(exists(keychain, account), u"false"_s);
        QVERIFY(keychain.remove(account));
        QCOMPARE(loaded(keychain, u"never-stored"_s), u"absent"_s);
    }

    void biometricItemIsNeverStoredUnprotected()
    {
        DesktopKeychain keychain(service);
        QVERIFY(!keychain.canProtectWithBiometrics());
        const QString account = u"biometric"_s;
        QVERIFY(!keychain.store(account, binaryItem(), true));
        QCOMPARE(loaded(keychain, account), u"absent"_s);
    }
};

QTEST_GUILESS_MAIN(SecretServiceKeychainTest)
#include "tst_secretservicekeychain.moc"
