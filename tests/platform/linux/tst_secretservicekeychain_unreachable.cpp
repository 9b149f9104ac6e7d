#include "platform/linux/SecretServiceKeychain.h"

#include <QDBusConnection>
#include <QTest>

#include <cstdlib>
#include <unistd.h>
#include <vector>

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
        SecretServiceKeychain keychain(service, std::chrono::seconds(10));
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
        SecretServiceKeychain keychain(service, std::chrono::milliseconds(500));
        QVERIFY(!keychain.exists(account));
        const auto loaded = keychain.load(account);
        QVERIFY(!loaded);
        QCOMPARE(loaded.error().message, u"The keyring did not answer within 500 ms"_s);
        squatter.unregisterObject(u"/org/freedesktop/secrets"_s);
    }
};

// The private bus must outlive this process: GLib's D-Bus ends a process
// whose session bus goes away.
int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("VT_PRIVATE_BUS")) {
        setenv("VT_PRIVATE_BUS", "1", 1);
        std::vector<char *> command {const_cast<char *>("dbus-run-session"),
            const_cast<char *>("--config-file=" QT_TESTCASE_SOURCEDIR "/../../data/no-services-bus.conf"),
            const_cast<char *>("--")};
        command.insert(command.end(), argv, argv + argc);
        command.push_back(nullptr);
        execvp(command.front(), command.data());
        return 127;
    }
    QCoreApplication app(argc, argv);
    UnreachableKeychainTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_secretservicekeychain_unreachable.moc"
