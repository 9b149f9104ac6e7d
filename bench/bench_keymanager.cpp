// One passcode unlock through KeyManager and the Secret Service beside one
// bare PBKDF2-HMAC-SHA256 derivation of the same cost. Needs a running,
// unlocked Secret Service (scripts/test-session provides one).
#include "crypto/KeyManager.h"
#include "platform/linux/DesktopKeychain.h"

#include <QCoreApplication>

#include <openssl/evp.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// The unlock never prompts; biometrics play no part here.
class NoDeviceAuth final : public DeviceAuth {
public:
    bool canEvaluate(Policy) const override { return false; }
    void evaluate(Policy, const QString &, QObject *, std::function<void(Reply)>) override { }
};

template<typename Step> double bestMilliseconds(Step step)
{
    double best = 1e300;
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        if (!step())
            return -1;
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // A service of its own, so a real vault on this desktop is never touched.
    DesktopKeychain keychain(KeyManager::service + u".bench"_s);
    NoDeviceAuth deviceAuth;
    KeyManager keys(keychain, deviceAuth);
    const QString passcode = u"correct horse battery staple"_s;
    if (!keys.setupPasscode(passcode)) {
        std::fprintf(stderr, "setup failed: is a Secret Service running and unlocked?\n");
        return 1;
    }

    const double unlock = bestMilliseconds([&] {
        keys.dropMasterKey();
        return keys.unlockWithPasscode(passcode).has_value();
    });
    const QByteArray password = passcode.toUtf8();
    const QByteArray salt(KeyManager::saltSize, 's');
    const double derivation = bestMilliseconds([&] {
        unsigned char key[32];
        return PKCS5_PBKDF2_HMAC(password.constData(), int(password.size()),
                   reinterpret_cast<const unsigned char *>(salt.constData()), int(salt.size()),
                   KeyManager::passcodeRounds, EVP_sha256(), sizeof key, key)
            == 1;
    });
    keys.deleteAllKeys();
    if (unlock < 0 || derivation < 0) {
        std::fprintf(stderr, "unlock or derivation failed\n");
        return 1;
    }
    std::printf("unlockWithPasscode      %8.1f ms (best of 3)\n", unlock);
    std::printf("bare PKCS5_PBKDF2_HMAC  %8.1f ms (600000 rounds, best of 3)\n", derivation);
    std::printf("ratio                   %8.3fx (aim: at most 1.1)\n", unlock / derivation);
    return 0;
}
