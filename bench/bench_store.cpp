// The store with 10,000 text entries of 1 KiB and 500-byte search texts:
// inserts through the worker, one full fetch, the panel's per-keystroke
// search (open every search text, look for a lower-cased query) and the
// peak resident memory after the fetch.
#include "crypto/EncryptionService.h"
#include "crypto/SecureRandom.h"
#include "store/SecureStorageManager.h"

#include <QCoreApplication>
#include <QDir>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

using Steady = std::chrono::steady_clock;

constexpr int entryCount = 10'000;
constexpr int searchRuns = 21;

double millisecondsSince(Steady::time_point start)
{
    return std::chrono::duration<double, std::milli>(Steady::now() - start).count();
}

// Text of size bytes made of words; every 50th entry holds the query.
QByteArray sampleText(int index, qsizetype size)
{
    static const QByteArray words[] = {"Lorem ", "ipsum ", "Dolor ", "sit ", "amet ", "Clipboard ",
        "history ", "entry ", "Vault ", "sealed "};
    QByteArray text = "Entry " + QByteArray::number(index) + ' ';
    if (index % 50 == 0)
        text += "Needle-In-Haystack ";
    for (int word = index; text.size() < size; ++word)
        text += words[word % 10];
    text.truncate(size);
    return text;
}

long peakResidentKiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(u"Vantorell"_s);
    // On the same file system as the real store (the home folder), so the
    // writes pay for real syncs.
    QTemporaryDir home(QDir::home().filePath(u".vantorell-bench-XXXXXX"_s));
    qputenv("XDG_DATA_HOME", home.path().toUtf8());

    MasterKeyHolder key;
    key.set(*SecureRandom::bytes(32));
    const EncryptionService encryption(key);

    QList<ClipboardEntry> entries;
    entries.reserve(entryCount);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (int i = 0; i < entryCount; ++i) {
        const QByteArray text = sampleText(i, 1024);
        ClipboardEntry entry;
        entry.id = QUuid::createUuid();
        entry.createdAt = now.addMSecs(-i);
        entry.sourceApp = u"Terminal"_s;
        entry.encryptedContent = *encryption.encrypt(text);
        entry.encryptedPreview = *encryption.encrypt(text.left(100));
        entry.encryptedSearchText = *encryption.encrypt(QString::fromUtf8(text.left(500)).toLower().toUtf8());
        entries.append(std::move(entry));
    }

    long fetchedPeak = 0;
    {
        SecureStorageManager store(encryption);
        store.openDatabase().waitForFinished();
        if (!store.isOpen())
            return 1;

        const auto insertStart = Steady::now();
        QFuture<std::expected<void, StorageError>> last;
        for (const ClipboardEntry &entry : entries)
            last = store.insertEntry(entry);
        last.waitForFinished();
        const double insertMs = millisecondsSince(insertStart);

        entries.clear();
        entries.squeeze();
        std::vector<double> fetchTimes;
        QList<ClipboardEntry> fetched;
        for (int run = 0; run < 5; ++run) {
            fetched.clear();
            const auto fetchStart = Steady::now();
            fetched = store.fetchAllEntries().result().entries;
            fetchTimes.push_back(millisecondsSince(fetchStart));
        }
        fetchedPeak = peakResidentKiB();
        if (fetched.size() != entryCount)
            return 1;

        const QString query = u"Needle-In-Haystack"_s.toLower();
        std::vector<double> searchTimes;
        qsizetype hits = 0;
        for (int run = 0; run < searchRuns; ++run) {
            hits = 0;
            const auto searchStart = Steady::now();
            for (const ClipboardEntry &entry : std::as_const(fetched)) {
                const auto opened = encryption.decrypt(*entry.encryptedSearchText);
                if (opened && QString::fromUtf8(*opened).contains(query))
                    ++hits;
            }
            searchTimes.push_back(millisecondsSince(searchStart));
        }
        std::sort(fetchTimes.begin(), fetchTimes.end());
        std::sort(searchTimes.begin(), searchTimes.end());

        std::printf("store on %s (%s)\n", qPrintable(home.path()),
            QStorageInfo(home.path()).fileSystemType().constData());
        std::printf("insert %d entries through the worker: %.0f ms, %.0f entries/s\n", entryCount, insertMs,
            entryCount / insertMs * 1000);
        std::printf("fetchAllEntries of %lld entries: median %.1f ms, best %.1f ms (aim: under 100 ms)\n",
            static_cast<long long>(fetched.size()), fetchTimes[fetchTimes.size() / 2], fetchTimes.front());
        std::printf(
            "search of %d search texts (%lld hits): median %.1f ms, best %.1f ms (aim: under 16 ms)\n",
            entryCount, static_cast<long long>(hits), searchTimes[searchTimes.size() / 2],
            searchTimes.front());
        std::printf("peak resident memory after the fetch: %.1f MiB\n", fetchedPeak / 1024.0);
    }
    return 0;
}
