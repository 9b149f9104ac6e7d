#include "PrivateBus.h"
#include "platform/linux/DesktopKeychain.h"

#include <QDBusConnection>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString service = u"net.quenlax.Vantorell.test"_s;
const QString account = u"master-encryption-key"_s;

} // namespace

// Runs on a session bus of its own on which no Secret Service runs and none
// can be started: every answer must be an error, never "no such item".
class UnreachableKeychainTest final : public QObject {
    Q_OBJECT

private slots:
    void everyCallFails()
    {
        DesktopKeychain keychain(service, std::chrono::seconds(10));
        const auto loaded = keychain.load(account);
        QVERIFY(!loaded);
        QVERIFY(!loaded.error().message.isEmpty());
        QVERIFY(!keychain.exists(account));
        QVERIFY(!keychain.store(u"pbkdf2-salt"_s, "salt", false));
        QVERIFY(!keychain.remove(u"pbkdf2-salt"_s));
    }

    // A service that takes the name and never answers: calls end with an
    // error once the bound has passed. The squatter would answer from this
    // thread, which the waiting call blocks.
    void unansweredCallsEndAtTheBound()
    {
        QDBusConnection squatter = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"squatter"_s);
        QVERIFY(squatter.registerService(u"org.freedesktop.secrets"_s));
        QObject silent;
        QVERIFY(squatter.registerObject(u"/org/freedesktop/secrets"_s, &silent));
        DesktopKeychain keychain(service, std::chrono::milliseconds(500));
        QVERIFY(!keychain.exists(account));
        const auto loaded = keychain.load(account);
        QVERIFY(!loaded);
        QCOMPARE(loaded.error().message, u"The keyring did not answer within 500 ms"_s);
        squatter.unregisterObject(u"/org/freedesktop/secrets"_s);
    }
};

int main(int argc, char *argv[])
{
    runOnPrivateBus(argc, argv);
    QCoreApplication app(argc, argv);
    UnreachableKeychainTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_secretservicekeychain_unreachable.moc"
