// Backup export and import of 2,500 and 10,000 text entries of 1 KiB and
// 200 snippets, beside the floors measured alone in the same run: the key
// derivation, DEFLATE both ways, the store reads and opening (export), the
// sealing and store writes (import). While each operation runs, a 1 ms
// timer measures the longest turn of the event loop. Run it on one core:
//     taskset -c 0 build/release/bench/bench_backup
#include "BenchVault.h"
#include "app/AppStateController.h"
#include "backup/BackupExport.h"
#include "backup/BackupImport.h"
#include "backup/BackupPayload.h"
#include "backup/RawDeflate.h"
#include "crypto/EncryptionService.h"
#include "crypto/SecureRandom.h"
#include "settings/SettingsManager.h"
#include "store/SecureStorageManager.h"
#include "store/SnippetManager.h"
#include "support/AwaitFuture.h"
#include "support/FakeDockPresence.h"
#include "support/FakeLoginItem.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

using Steady = std::chrono::steady_clock;

constexpr int snippetCount = 200;
const QString password = u"bench password"_s;

double millisecondsSince(Steady::time_point start)
{
    return std::chrono::duration<double, std::milli>(Steady::now() - start).count();
}

template<typename Work> double timed(Work work)
{
    const auto start = Steady::now();
    work();
    return millisecondsSince(start);
}

QByteArray sampleText(int index)
{
    QByteArray text = "Entry " + QByteArray::number(index) + ' ';
    while (text.size() < 1024)
        text += "Lorem ipsum dolor sit amet " + QByteArray::number(index * 7 + text.size()) + ' ';
    return text.left(1024);
}

// The longest gap between the ticks of a 1 ms timer while it lives.
class TurnProbe final {
public:
    TurnProbe()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_longest = std::max(m_longest, millisecondsSince(m_last));
            m_last = Steady::now();
        });
        m_timer.start(1);
    }
    double longest() const { return std::max(m_longest, millisecondsSince(m_last)); }

private:
    QTimer m_timer;
    Steady::time_point m_last = Steady::now();
    double m_longest = 0;
};

// Room for every entry the benchmark writes.
struct Vault : BenchVault {
    explicit Vault(const EncryptionService &encryption) : BenchVault(encryption, 1'000'000) { }
};

ClipboardEntry sealedEntry(const EncryptionService &encryption, int index, const QDateTime &now)
{
    const QByteArray text = sampleText(index);
    return {.id = QUuid::createUuid(),
        .createdAt = now.addMSecs(-index),
        .sourceApp = u"Terminal"_s,
        .encryptedContent = *encryption.encrypt(text),
        .encryptedPreview = *encryption.encrypt(text.left(100)),
        .encryptedSearchText = *encryption.encrypt(text.left(500).toLower())};
}

void fill(Vault &vault, const EncryptionService &encryption, int count)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QFuture<std::expected<void, StorageError>> last;
    for (int i = 0; i < count; ++i)
        last = vault.store.insertEntry(sealedEntry(encryption, i, now));
    last.waitForFinished();
    for (int i = 0; i < snippetCount; ++i) {
        (void)vault.store.insertSnippet({QUuid::createUuid(), u"Snippet %1"_s.arg(i),
            QString::fromLatin1(sampleText(i)), {u"tag"_s}, u"Folder"_s, false, now, now, i});
    }
    awaitFuture(vault.store.fetchSnippets());
}

// Every entry and its content read from the store, and everything opened.
double readFloor(Vault &vault, const EncryptionService &encryption)
{
    return timed([&] {
        const QList<ClipboardEntry> entries = awaitFuture(vault.store.fetchAllEntries()).entries;
        QList<QFuture<StoredEntry>> reads;
        for (const ClipboardEntry &entry : entries)
            reads.append(vault.store.fetchEntry(entry.id));
        for (QFuture<StoredEntry> &read : reads) {
            const ClipboardEntry whole = *read.result().value();
            (void)encryption.decrypt(whole.encryptedContent);
            (void)encryption.decrypt(*whole.encryptedPreview);
            (void)encryption.decrypt(*whole.encryptedSearchText);
        }
        awaitFuture(vault.store.fetchSnippets());
    });
}

// The payload's entries sealed and written, with no wait between writes.
double writeFloor(const BackupPayload &payload, const EncryptionService &encryption)
{
    Vault vault(encryption);
    return timed([&] {
        QFuture<std::expected<void, StorageError>> last;
        for (const BackupEntry &entry : payload.entries) {
            last = vault.store.insertEntry({.id = entry.id,
                .createdAt = entry.createdAt,
                .encryptedContent = *encryption.encrypt(entry.content),
                .encryptedPreview = *encryption.encrypt(entry.preview->toUtf8()),
                .encryptedSearchText = *encryption.encrypt(entry.searchText->toUtf8())});
        }
        QFuture<std::expected<void, SnippetError>> lastSnippet;
        for (const Snippet &snippet : payload.snippets)
            lastSnippet = vault.store.insertSnippet(snippet);
        last.waitForFinished();
        lastSnippet.waitForFinished();
    });
}

void report(const char *what, double total, double floor, double longestTurn)
{
    std::printf("  %-7s total %7.0f ms, floor %7.0f ms, ratio %.2f (aim <= 1.5), longest turn %.0f ms\n",
        what, total, floor, total / floor, longestTurn);
}

void run(const EncryptionService &encryption, int count)
{
    Vault source(encryption);
    fill(source, encryption, count);
    const QString file = source.home.filePath(u"bench.vtbackup"_s);
    double exportMs = 0;
    double exportTurn = 0;
    {
        TurnProbe probe;
        exportMs = timed([&] {
            if (!awaitFuture(exportBackup(file, password, source.state, source.settings)))
                qFatal("export failed");
        });
        exportTurn = probe.longest();
    }
    const QByteArray json = *openBackup(readFile(file), password);
    const BackupPayload payload = *BackupPayload::decode(json);
    QByteArray compressed;
    const QByteArray salt = SecureRandom::bytes(16)->toByteArray();
    const double pbkdf2 = timed([&] { (void)deriveBackupKey(password, salt, 600'000); });
    const double deflate = timed([&] { compressed = *RawDeflate::compress(json); });
    const double inflate = timed([&] {
        RawDeflate::Inflater inflater(json.size());
        inflater.feed(compressed);
        QByteArray out(json.size() + 1, Qt::Uninitialized);
        qsizetype produced = 0;
        while (!inflater.hasEnded() && !inflater.hasFailed())
            produced += inflater.inflate(out.data() + produced, out.size() - produced);
    });
    const double encode = timed([&] { (void)payload.encode(); });
    const double decode = timed([&] { (void)BackupPayload::decode(json); });
    const double reads = readFloor(source, encryption);

    // The disk is shared: the better of two runs, one on each side.
    double writes = writeFloor(payload, encryption);
    Vault target(encryption);
    double importMs = 0;
    double importTurn = 0;
    {
        TurnProbe probe;
        importMs = timed([&] {
            const ImportResult imported
                = awaitFuture(importBackup(file, password, target.state, target.settings));
            if (!imported || imported->entriesImported != count)
                qFatal("import failed");
        });
        importTurn = probe.longest();
    }
    writes = std::min(writes, writeFloor(payload, encryption));

    std::printf("%d entries of 1 KiB, %d snippets: file %.1f MiB, JSON %.1f MiB\n", count, snippetCount,
        QFileInfo(file).size() / 1048576.0, json.size() / 1048576.0);
    std::printf("  floors: PBKDF2 %.0f ms, deflate %.0f ms, inflate %.0f ms, reads and opening %.0f ms, "
                "sealing and writes %.0f ms; JSON encode %.0f ms, decode %.0f ms\n",
        pbkdf2, deflate, inflate, reads, writes, encode, decode);
    report("export", exportMs, pbkdf2 + deflate + reads, exportTurn);
    report("import", importMs, pbkdf2 + inflate + writes, importTurn);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(u"Vantorell"_s);
    MasterKeyHolder key;
    key.set(*SecureRandom::bytes(32));
    const EncryptionService encryption(key);
    for (const int count : {2'500, 10'000})
        run(encryption, count);
    return 0;
}
