#include "base/WhenFinished.h"
#include "crypto/EncryptionService.h"
#include "crypto/MasterKeyHolder.h"
#include "support/OpenStore.h"
#include "support/TestEntries.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>

using namespace Qt::StringLiterals;

class StoreOrderTest final : public QObject {
    Q_OBJECT

private:
    MasterKeyHolder m_key;
    EncryptionService m_encryption {m_key};

private slots:
    // Nothing is awaited until the end: the order of the calls alone must
    // decide what each operation sees, and every continuation given the
    // main thread's context runs there, in call order.
    void operationsRunInCallOrderAndContinueOnTheMainThread()
    {
        OpenStore fixture(m_encryption);
        SecureStorageManager &store = fixture.store;
        QObject context;
        QList<int> order;
        QSet<QThread *> threads;
        QList<QUuid> onDisk;
        QList<QUuid> inMemory;
        const QDateTime start = QDateTime::fromSecsSinceEpoch(1'700'000'000, Qt::UTC);

        for (int i = 0; i < 20; ++i) {
            const ClipboardEntry entry = entryAt(start.addSecs(i));
            onDisk.prepend(entry.id);
            whenFinished(&context, store.insertEntry(entry), [&, i](const auto &) {
                order.append(i);
                threads.insert(QThread::currentThread());
            });
        }
        // A private session issued before a capture takes effect before it.
        store.setSecureMode(true);
        for (int i = 20; i < 25; ++i) {
            const ClipboardEntry entry = entryAt(start.addSecs(i));
            inMemory.prepend(entry.id);
            (void)store.insertEntry(entry);
        }
        QFuture<HistoryRead> privateView = store.fetchAllEntries();
        store.setSecureMode(false);
        QFuture<HistoryRead> diskView = store.fetchAllEntries();
        QThread *workerThread = nullptr;
        QFuture<void> last
            = store.entryCount().then([&](qint64) { workerThread = QThread::currentThread(); });

        awaitFuture(last);
        QTRY_COMPARE(order.size(), 20);
        QList<int> expected(20);
        std::iota(expected.begin(), expected.end(), 0);
        QCOMPARE(order, expected);
        QCOMPARE(threads, QSet<QThread *> {QThread::currentThread()});
        QVERIFY(workerThread && workerThread != QThread::currentThread());

        const auto idsOf = [](const QList<ClipboardEntry> &entries) {
            QList<QUuid> ids;
            for (const ClipboardEntry &entry : entries)
                ids.append(entry.id);
            return ids;
        };
        QCOMPARE(idsOf(privateView.result().entries), inMemory);
        QCOMPARE(idsOf(diskView.result().entries), onDisk);
    }
};

QTEST_GUILESS_MAIN(StoreOrderTest)
#include "tst_storeorder.moc"
