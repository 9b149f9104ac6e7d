#include "crypto/EncryptionService.h"
#include "crypto/SecureRandom.h"

#include <QTest>
#include <QThread>

#include <atomic>
#include <thread>
#include <vector>

// Locking while other threads seal and open: every call either fails with
// masterKeyUnavailable or completes with the key it took at its start.
class SealingThreadsTest final : public QObject {
    Q_OBJECT

private slots:
    void lockDuringCallsLetsThemFinish()
    {
        const SecureBytes key = *SecureRandom::bytes(32);
        MasterKeyHolder holder;
        holder.set(key);
        const EncryptionService service(holder);
        const QByteArray plaintext(64 * 1024, 'p');

        std::atomic<bool> stop = false;
        std::atomic<int> completed = 0;
        std::atomic<int> refused = 0;
        std::atomic<int> wrong = 0;
        std::vector<std::thread> workers;
        for (int i = 0; i < 3; ++i) {
            workers.emplace_back([&] {
                while (!stop) {
                    const auto box = service.encrypt(plaintext);
                    if (!box) {
                        ++(box.error() == SealingError(EncryptionError::masterKeyUnavailable) ? refused
                                                                                              : wrong);
                        continue;
                    }
                    const auto opened = service.decrypt(*box);
                    if (opened && *opened == plaintext)
                        ++completed;
                    else if (!opened && opened.error() == SealingError(EncryptionError::masterKeyUnavailable))
                        ++refused;
                    else
                        ++wrong;
                }
            });
        }

        for (int round = 0; round < 2000 && (completed < 50 || refused < 50); ++round) {
            holder.drop();
            QThread::yieldCurrentThread();
            holder.set(key);
            QThread::usleep(50);
        }
        stop = true;
        for (std::thread &worker : workers)
            worker.join();
        QCOMPARE(wrong.load(), 0);
        QVERIFY(completed > 0);
        QVERIFY(refused > 0);
    }
};

QTEST_GUILESS_MAIN(SealingThreadsTest)
#include "tst_sealing_threads.moc"
