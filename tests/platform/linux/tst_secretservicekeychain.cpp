#include "platform/linux/SecretServiceKeychain.h"

#include <QTest>

using namespace Qt::StringLiterals;

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

// What load answered, as text that a failed comparison shows.
QString loaded(Keychain &keychain, const QString &account)
{
    const auto data = keychain.load(account);
    if (!data)
        return u"error: "_s + data.error().message;
    return *data ? QString::fromLatin1((*data)->toHex()) : u"absent"_s;
}

QString exists(Keychain &keychain, const QString &account)
{
    const auto found = keychain.exists(account);
    if (!found)
        return u"error: "_s + found.error().message;
    return *found ? u"true"_s : u"false"_s;
}

} // namespace

// Against the gnome-keyring of the test session.
class SecretServiceKeychainTest final : public QObject {
    Q_OBJECT

private slots:
    void binaryItemRoundTripsAndStoreReplaces()
    {
        SecretServiceKeychain keychain(service);
        const QString account = u"round-trip"_s;
        QVERIFY(keychain.store(account, "first", false));
        QVERIFY(keychain.store(account, binaryItem(), false));
        QCOMPARE(loaded(keychain, account), QString::fromLatin1(binaryItem().toHex()));
        QCOMPARE(exists(keychain, account), u"true"_s);
    }

    void removedItemIsNotFoundRatherThanAnError()
    {
        SecretServiceKeychain keychain(service);
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
        SecretServiceKeychain keychain(service);
        QVERIFY(!keychain.canProtectWithBiometrics());
        const QString account = u"biometric"_s;
        QVERIFY(!keychain.store(account, binaryItem(), true));
        QCOMPARE(loaded(keychain, account), u"absent"_s);
    }
};

QTEST_GUILESS_MAIN(SecretServiceKeychainTest)
#include "tst_secretservicekeychain.moc"
