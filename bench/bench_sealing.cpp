// Sealing and opening through EncryptionService beside OpenSSL's own
// figures for AES-256-GCM on this machine.
#include "crypto/EncryptionService.h"
#include "crypto/SecureRandom.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr auto runTime = std::chrono::seconds(1);

// Calls step until runTime has passed; returns MB/s for size bytes a call.
template<typename Step> double megabytesPerSecond(qsizetype size, Step step)
{
    using Clock = std::chrono::steady_clock;
    for (int i = 0; i < 100; ++i)
        step();
    qint64 calls = 0;
    const auto start = Clock::now();
    auto now = start;
    while (now - start < runTime) {
        for (int i = 0; i < 64; ++i)
            step();
        calls += 64;
        now = Clock::now();
    }
    const double seconds = std::chrono::duration<double>(now - start).count();
    return double(calls) * double(size) / seconds / 1e6;
}

// `openssl speed -evp aes-256-gcm` for one buffer size, in MB/s.
double opensslSpeed(qsizetype size, bool decrypt)
{
    QStringList arguments {u"speed"_s, u"-evp"_s, u"aes-256-gcm"_s, u"-seconds"_s, u"1"_s, u"-bytes"_s,
        QString::number(size), u"-mr"_s};
    if (decrypt)
        arguments.append(u"-decrypt"_s);
    QProcess openssl;
    openssl.start(u"openssl"_s, arguments);
    if (!openssl.waitForFinished(30'000))
        return 0;
    // "+F:<n>:AES-256-GCM:<bytes per second>"
    for (const QByteArray &line : openssl.readAllStandardOutput().split('\n')) {
        if (line.startsWith("+F:"))
            return line.split(':').last().toDouble() / 1e6;
    }
    return 0;
}

} // namespace

int main()
{
    MasterKeyHolder holder;
    holder.set(*SecureRandom::bytes(32));
    const EncryptionService service(holder);

    std::printf("%-8s %12s %12s %8s %12s %12s %8s\n", "size", "seal MB/s", "openssl enc", "ratio",
        "open MB/s", "openssl dec", "ratio");
    for (qsizetype size : {qsizetype(100), qsizetype(1024), qsizetype(100 * 1024)}) {
        const QByteArray plaintext(size, 'x');
        const QByteArray box = *service.encrypt(plaintext);
        bool ok = true;
        const double seal = megabytesPerSecond(size, [&] { ok &= service.encrypt(plaintext).has_value(); });
        const double open = megabytesPerSecond(size, [&] { ok &= service.decrypt(box).has_value(); });
        if (!ok) {
            std::fprintf(stderr, "sealing failed\n");
            return 1;
        }
        const double opensslEncrypt = opensslSpeed(size, false);
        const double opensslDecrypt = opensslSpeed(size, true);
        std::printf("%-8lld %12.1f %12.1f %7.2fx %12.1f %12.1f %7.2fx\n", static_cast<long long>(size), seal,
            opensslEncrypt, opensslEncrypt / seal, open, opensslDecrypt, opensslDecrypt / open);
    }
    std::printf("ratio: OpenSSL's figure divided by ours (aim: at most 1.5 at 1 KiB and above)\n");
    return 0;
}
