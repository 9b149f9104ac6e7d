#include "core/EncryptionService.h"
#include "core/MasterKeyHolder.h"
#include "core/SecureStorageManager.h"
#include "core/UuidText.h"
#include "support/AwaitFuture.h"
#include "support/FakeClock.h"
#include "support/LogCapture.h"
#include "support/RawDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

ClipboardEntry makeEntry(const QDateTime &createdAt, QByteArray content = QByteArray(40, 'c'))
{
    ClipboardEntry entry;
    entry.id = QUuid::createUuid();
    entry.createdAt = createdAt;
    entry.encryptedContent = std::move(content);
    return entry;
}

QList<QUuid> idsOf(const QList<ClipboardEntry> &entries)
{
    QList<QUuid> ids;
    for (const ClipboardEntry &entry : entries)
        ids.append(entry.id);
    return ids;
}

enum class Purge { olderThan, unpinned, all };

} // namespace

class SecureStorageManagerTest final : public QObject {
    Q_OBJECT

private:
    FakeClock m_clock;
    MasterKeyHolder m_key;
    EncryptionService m_encryption {m_key};
    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<SecureStorageManager> m_store;

    QString databasePath() const { return m_home->filePath(u"Vantorell/vantorell.db"_s); }
    QDateTime now() const { return m_clock.now(); }

    void setMemoryOnly(bool enabled) { awaitFuture(m_store->setSecureMode(enabled)); }
    void insert(const ClipboardEntry &entry) { awaitFuture(m_store->insertEntry(entry)); }
    QList<ClipboardEntry> fetch() { return awaitFuture(m_store->fetchAllEntries()); }

private slots:
    void initTestCase() { QCoreApplication::setApplicationName(u"Vantorell"_s); }

    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        qputenv("XDG_DATA_HOME", m_home->path().toUtf8());
        m_store = std::make_unique<SecureStorageManager>(m_encryption, m_clock);
        awaitFuture(m_store->openDatabase());
        QVERIFY(m_store->isOpen());
    }

    void cleanup() { m_store.reset(); }

    void entriesRoundTrip_data()
    {
        QTest::addColumn<ClipboardEntry>("entry");
        QTest::addColumn<ClipboardEntry>("expected");

        ClipboardEntry full = makeEntry(QDateTime::fromMSecsSinceEpoch(1'700'000'000'123, Qt::UTC));
        full.contentType = ContentType::fileURL;
        full.isFavorite = full.isPinned = full.isSensitive = true;
        full.sourceApp = u"Café Editor"_s;
        full.expiresAt = QDateTime::fromMSecsSinceEpoch(1'800'000'000'456, Qt::UTC);
        full.encryptedPreview = QByteArray(30, 'p');
        full.encryptedRich = QByteArray(50, 'r');
        full.encryptedSearchText = QByteArray("\0search\xff", 8);
        QTest::newRow("every field") << full << full;

        const ClipboardEntry bare = makeEntry(QDateTime::fromSecsSinceEpoch(1'600'000'000, Qt::UTC));
        QTest::newRow("only what is required") << bare << bare;

        ClipboardEntry empty = bare;
        empty.encryptedPreview = empty.encryptedRich = empty.encryptedSearchText = QByteArray();
        QTest::newRow("empty blobs read back as absent") << empty << bare;
    }

    void entriesRoundTrip()
    {
        QFETCH(ClipboardEntry, entry);
        QFETCH(ClipboardEntry, expected);
        insert(entry);
        const QList<ClipboardEntry> entries = fetch();
        QCOMPARE(entries.size(), 1);
        // The JSON form holds every field, absent ones left out.
        QCOMPARE(entries.first().toJson(), expected.toJson());
    }

    void modes_data()
    {
        QTest::addColumn<bool>("memoryOnly");
        QTest::newRow("disk") << false;
        QTest::newRow("memory only") << true;
    }

    void undecodableRowsAreSkippedAndKept_data()
    {
        QTest::addColumn<QString>("row");
        QTest::newRow("unknown type") << u"('%1', 'TEXT', 1.0, x'00112233')"_s;
        QTest::newRow("empty content") << u"('%1', 'text', 1.0, x'')"_s;
        QTest::newRow("id not a uuid") << u"('not-a-uuid', 'text', 1.0, x'00112233')"_s;
    }

    void undecodableRowsAreSkippedAndKept()
    {
        QFETCH(QString, row);
        const ClipboardEntry good = makeEntry(now());
        insert(good);
        const QString values = row.arg(UuidText::toText(QUuid::createUuid()));
        QVERIFY(awaitFuture(m_store->execute(
            u"INSERT INTO clipboard_entries (id, content_type, created_at, encrypted_content) VALUES "_s
            + values)));
        QCOMPARE(idsOf(fetch()), QList<QUuid> {good.id});
        QCOMPARE(awaitFuture(m_store->entryCount()), 2);
    }

    void expiryIsStrictlyBeforeNow_data() { modes_data(); }
    void expiryIsStrictlyBeforeNow()
    {
        QFETCH(bool, memoryOnly);
        setMemoryOnly(memoryOnly);
        ClipboardEntry atNow = makeEntry(now().addSecs(-3));
        atNow.expiresAt = now();
        ClipboardEntry justBefore = makeEntry(now().addSecs(-2));
        justBefore.expiresAt = now().addMSecs(-1);
        const ClipboardEntry never = makeEntry(now().addSecs(-1));
        for (const ClipboardEntry &entry : {atNow, justBefore, never})
            insert(entry);

        QCOMPARE(idsOf(fetch()), (QList<QUuid> {never.id, atNow.id}));
        QCOMPARE(awaitFuture(m_store->entryCount()), 2);
        m_clock.advance(1ms);
        awaitFuture(m_store->deleteExpiredEntries());
        QCOMPARE(idsOf(fetch()), QList<QUuid> {never.id});
    }

    void purgesKeepProtectedEntries_data()
    {
        QTest::addColumn<bool>("memoryOnly");
        QTest::addColumn<Purge>("purge");
        QTest::addColumn<QStringList>("survivors");
        for (const bool memoryOnly : {false, true}) {
            const char *mode = memoryOnly ? "memory only" : "disk";
            QTest::addRow("older than, %s", mode)
                << memoryOnly << Purge::olderThan << QStringList {u"new"_s, u"starred"_s, u"pinned"_s};
            QTest::addRow("unpinned, %s", mode)
                << memoryOnly << Purge::unpinned << QStringList {u"starred"_s, u"pinned"_s};
            QTest::addRow("all, %s", mode) << memoryOnly << Purge::all << QStringList {};
        }
    }

    void purgesKeepProtectedEntries()
    {
        QFETCH(bool, memoryOnly);
        QFETCH(Purge, purge);
        QFETCH(QStringList, survivors);
        setMemoryOnly(memoryOnly);

        QHash<QUuid, QString> names;
        const auto add = [&](const QString &name, const QDateTime &createdAt, bool pinned, bool starred) {
            ClipboardEntry entry = makeEntry(createdAt);
            entry.isPinned = pinned;
            entry.isFavorite = starred;
            names.insert(entry.id, name);
            insert(entry);
        };
        const QDateTime old = now().addDays(-30);
        add(u"pinned"_s, old, true, false);
        add(u"starred"_s, old.addSecs(1), false, true);
        add(u"plain"_s, old.addSecs(2), false, false);
        add(u"new"_s, now(), false, false);

        switch (purge) {
        case Purge::olderThan:
            awaitFuture(m_store->deleteEntriesOlderThan(now().addDays(-1)));
            break;
        case Purge::unpinned:
            awaitFuture(m_store->clearUnpinnedEntries());
            break;
        case Purge::all:
            awaitFuture(m_store->clearAllEntries());
            break;
        }
        QStringList left;
        for (const ClipboardEntry &entry : fetch())
            left << names.value(entry.id);
        QCOMPARE(left, survivors);
    }

    void deletionsRemoveOnlyTheirEntries_data() { modes_data(); }
    void deletionsRemoveOnlyTheirEntries()
    {
        QFETCH(bool, memoryOnly);
        setMemoryOnly(memoryOnly);
        QList<ClipboardEntry> entries;
        for (int i = 0; i < 5; ++i) {
            entries.append(makeEntry(now().addSecs(i)));
            insert(entries.last());
        }
        awaitFuture(m_store->deleteEntries({entries[0].id, QUuid::createUuid(), entries[3].id}));
        awaitFuture(m_store->deleteEntries({}));
        awaitFuture(m_store->deleteEntry(entries[4].id));
        QCOMPARE(idsOf(fetch()), (QList<QUuid> {entries[2].id, entries[1].id}));
    }

    void updatesChangeWhatTheySay_data() { modes_data(); }
    void updatesChangeWhatTheySay()
    {
        QFETCH(bool, memoryOnly);
        setMemoryOnly(memoryOnly);
        ClipboardEntry entry = makeEntry(now());
        entry.encryptedPreview = QByteArray(30, 'p');
        insert(entry);

        ClipboardEntry flagged = entry;
        flagged.isPinned = flagged.isFavorite = true;
        flagged.sourceApp = u"Changed"_s;
        awaitFuture(m_store->updateFlags(flagged));
        awaitFuture(m_store->updateSearchData(entry.id, std::nullopt, QByteArray(40, 's')));
        awaitFuture(m_store->updateSearchData(QUuid::createUuid(), QByteArray(30, 'x'), std::nullopt));

        const ClipboardEntry stored = fetch().value(0);
        QVERIFY(stored.isPinned && stored.isFavorite);
        // On disk only the two flags change; in memory the entry is replaced.
        QCOMPARE(stored.sourceApp, memoryOnly ? flagged.sourceApp : entry.sourceApp);
        QCOMPARE(stored.encryptedPreview, std::nullopt);
        QCOMPARE(stored.encryptedSearchText, QByteArray(40, 's'));
    }

    void memoryOnlyModeLeavesTheDiskAlone()
    {
        LogCapture capture;
        const ClipboardEntry onDisk = makeEntry(now().addSecs(-10));
        insert(onDisk);

        setMemoryOnly(true);
        setMemoryOnly(true);
        const ClipboardEntry inMemory = makeEntry(now());
        insert(inMemory);
        awaitFuture(m_store->logAuditEvent(
            {QUuid::createUuid(), now(), AuditEventType::clipboardCaptured, u"text"_s}));
        QCOMPARE(idsOf(fetch()), QList<QUuid> {inMemory.id});
        QCOMPARE(awaitFuture(m_store->entryCount()), 1);

        RawDatabase raw(databasePath());
        QCOMPARE(raw.texts("SELECT id FROM clipboard_entries"), QStringList {UuidText::toText(onDisk.id)});
        QCOMPARE(raw.texts("SELECT event_type FROM audit_log"), QStringList {u"secure_mode_enabled"_s});

        setMemoryOnly(false);
        QCOMPARE(idsOf(fetch()), QList<QUuid> {onDisk.id});
        QCOMPARE(raw.texts("SELECT event_type FROM audit_log ORDER BY timestamp, rowid"),
            (QStringList {u"secure_mode_enabled"_s, u"secure_mode_disabled"_s}));
        QCOMPARE(raw.texts("SELECT quote(detail) FROM audit_log"), (QStringList {u"NULL"_s, u"NULL"_s}));

        QStringList lines = capture.lines();
        lines.removeIf([](const QString &line) { return line.contains(u"fetchAllEntries"_s); });
        QCOMPARE(lines,
            (QStringList {u"[Vantorell] Secure Mode enabled — all data in RAM only"_s,
                u"[Vantorell] insertEntry: stored in RAM (secure mode), count=1"_s,
                u"[Vantorell] Secure Mode disabled — RAM data wiped"_s}));
    }

    void wipeEmptiesEverythingAndEndsMemoryOnlyMode()
    {
        insert(makeEntry(now()));
        awaitFuture(m_store->logAuditEvent({QUuid::createUuid(), now(), AuditEventType::appUnlocked, {}}));
        QVERIFY(awaitFuture(m_store->execute(
            u"INSERT INTO snippets (id, encrypted_title, encrypted_content, created_at, updated_at) "
            "VALUES ('16FD2706-8BAF-433B-82EB-8C7FADA847DA', x'00', x'00', 1.0, 1.0)"_s)));
        setMemoryOnly(true);
        insert(makeEntry(now()));

        QVERIFY(awaitFuture(m_store->wipeAllData()));
        RawDatabase raw(databasePath());
        QCOMPARE(
            raw.count("SELECT (SELECT COUNT(*) FROM clipboard_entries) + (SELECT COUNT(*) FROM snippets) + "
                      "(SELECT COUNT(*) FROM audit_log)"),
            0);
        // Memory-only mode ended silently: the next capture goes to disk.
        const ClipboardEntry after = makeEntry(now());
        insert(after);
        QCOMPARE(raw.texts("SELECT id FROM clipboard_entries"), QStringList {UuidText::toText(after.id)});
        QCOMPARE(raw.count("SELECT COUNT(*) FROM audit_log"), 0);
    }

    void closedStoreSaysSo()
    {
        LogCapture capture;
        awaitFuture(m_store->closeDatabase());
        QVERIFY(!m_store->isOpen());
        insert(makeEntry(now()));
        QVERIFY(fetch().isEmpty());
        QVERIFY(!awaitFuture(m_store->wipeAllData()));
        QVERIFY(!awaitFuture(m_store->execute(u"SELECT 1"_s)));
        QCOMPARE(awaitFuture(m_store->entryCount()), 0);
        QCOMPARE(capture.lines(),
            (QStringList {u"[Vantorell] ❌ insertEntry FAILED: database is nil (not initialized)"_s,
                u"[Vantorell] ❌ fetchAllEntries FAILED: database is nil"_s}));
    }

    void failedOpenIsVisible()
    {
        m_store.reset();
        // A file where the folder should be: the folder cannot be made.
        QVERIFY(QDir(m_home->path()).mkdir(u"blocked"_s));
        qputenv("XDG_DATA_HOME", m_home->filePath(u"blocked"_s).toUtf8());
        QFile blocker(m_home->filePath(u"blocked/Vantorell"_s));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        LogCapture capture;
        SecureStorageManager store(m_encryption, m_clock);
        awaitFuture(store.openDatabase());
        QVERIFY(!store.isOpen());
        QCOMPARE(capture.lines(),
            QStringList {u"[Vantorell] Failed to open database: unable to open database file"_s});
    }

    void oldFileLoadsWithDefaults()
    {
        m_store.reset();
        QFile::remove(databasePath());
        QVERIFY(QFile::copy(QFINDTESTDATA("../data/old-store.db"), databasePath()));
        QFile::setPermissions(databasePath(), QFile::ReadOwner | QFile::WriteOwner);
        m_store = std::make_unique<SecureStorageManager>(m_encryption, m_clock);
        awaitFuture(m_store->openDatabase());

        const QList<ClipboardEntry> entries = fetch();
        QCOMPARE(entries.size(), 2);
        const ClipboardEntry &image = entries[0];
        QCOMPARE(UuidText::toText(image.id), u"7C9E6679-7425-40DE-944B-E07FC1F90AE7"_s);
        QCOMPARE(image.contentType, ContentType::image);
        QCOMPARE(image.sourceApp, std::nullopt);
        QCOMPARE(image.encryptedPreview, std::nullopt);
        const ClipboardEntry &text = entries[1];
        QCOMPARE(text.createdAt, QDateTime::fromMSecsSinceEpoch(1'600'000'000'250, Qt::UTC));
        QVERIFY(text.isFavorite);
        QVERIFY(!text.isPinned && !text.isSensitive);
        QCOMPARE(text.sourceApp, u"Terminal"_s);
        QCOMPARE(text.encryptedPreview->size(), 30);
        QCOMPARE(text.expiresAt, std::nullopt);
        QCOMPARE(text.encryptedSearchText, std::nullopt);
        QCOMPARE(text.encryptedRich, std::nullopt);
    }
};

QTEST_GUILESS_MAIN(SecureStorageManagerTest)
#include "tst_securestoragemanager.moc"
