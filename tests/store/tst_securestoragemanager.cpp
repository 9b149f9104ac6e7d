#include "crypto/EncryptionService.h"
#include "crypto/MasterKeyHolder.h"
#include "records/DateCoding.h"
#include "records/UuidText.h"
#include "store/SqliteStatement.h"
#include "store/StoreDatabase.h"
#include "support/FakeClock.h"
#include "support/LogCapture.h"
#include "support/OpenStore.h"
#include "support/RawDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>

#include <memory>
#include <sqlite3.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

Q_DECLARE_METATYPE(StorageError)

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

QStringList columnsOf(StoreDatabase &database, const QString &table)
{
    QStringList columns;
    SqliteStatement statement(
        database.handle(), (u"PRAGMA table_info("_s + table + u')').toUtf8().constData());
    while (statement.step() == SQLITE_ROW)
        columns << statement.columnText(1).value_or(QString());
    return columns;
}

QStringList migrationLines(const LogCapture &capture)
{
    QStringList lines = capture.lines();
    lines.removeIf([](const QString &line) { return !line.startsWith(u"[Vantorell] Schema migration"_s); });
    return lines;
}

Snippet makeSnippet(const QString &title, const QDateTime &updatedAt)
{
    Snippet snippet;
    snippet.id = QUuid::createUuid();
    snippet.title = title;
    snippet.content = u"Hello {name}"_s;
    snippet.createdAt = updatedAt.addDays(-1);
    snippet.updatedAt = updatedAt;
    return snippet;
}

QStringList titlesOf(const QList<Snippet> &snippets)
{
    QStringList titles;
    for (const Snippet &snippet : snippets)
        titles << snippet.title;
    return titles;
}

// What a canary entry was made of: its plaintext and its sealed blobs.
struct Sealed {
    QByteArray plaintext;
    QList<QByteArray> blobs;
};

} // namespace

class SecureStorageManagerTest final : public QObject {
    Q_OBJECT

private:
    FakeClock m_clock;
    MasterKeyHolder m_key;
    EncryptionService m_encryption {m_key};
    std::unique_ptr<OpenStore> m_f;
    SecureStorageManager *m_store = nullptr;
    SnippetManager *m_manager = nullptr;

    QString databasePath() const { return m_f->databasePath(); }
    RawDatabase file() const { return RawDatabase(databasePath()); }
    QDateTime now() const { return m_clock.now(); }
    QList<Snippet> fetchSnippets() { return awaitFuture(m_store->fetchSnippets()).snippets; }
    void save(const Snippet &snippet) { QVERIFY(awaitFuture(m_store->insertSnippet(snippet)).has_value()); }
    QByteArray seal(const QByteArray &bytes) { return m_encryption.encrypt(bytes).value(); }
    qint64 auditRows() { return file().count("SELECT COUNT(*) FROM audit_log"); }

    ClipboardEntry makeCanary(int index, Sealed &sealed, const QDateTime &createdAt)
    {
        sealed.plaintext = "CANARY-" + QByteArray::number(index) + "-" + QByteArray(300, 'k');
        ClipboardEntry entry;
        entry.id = QUuid::createUuid();
        entry.createdAt = createdAt;
        entry.encryptedContent = seal(sealed.plaintext);
        entry.encryptedPreview = seal(sealed.plaintext.left(100));
        entry.encryptedSearchText = seal(sealed.plaintext.toLower());
        entry.encryptedRich = seal("{\\rtf1 " + sealed.plaintext + "}");
        sealed.blobs = {entry.encryptedContent, *entry.encryptedPreview, *entry.encryptedSearchText,
            *entry.encryptedRich};
        return entry;
    }

    QByteArray storeFiles() const
    {
        QByteArray all;
        for (const QString &suffix : {u""_s, u"-wal"_s, u"-shm"_s}) {
            QFile file(databasePath() + suffix);
            if (file.open(QIODevice::ReadOnly))
                all += file.readAll();
        }
        return all;
    }

    // Any 16-byte piece of a blob found counts, not only the whole blob.
    static bool occursIn(const QByteArray &haystack, const Sealed &sealed)
    {
        if (haystack.contains(sealed.plaintext.left(20)))
            return true;
        for (const QByteArray &blob : sealed.blobs) {
            for (qsizetype offset = 0; offset + 16 <= blob.size(); offset += 16) {
                if (haystack.contains(blob.mid(offset, 16)))
                    return true;
            }
        }
        return false;
    }

    void setMemoryOnly(bool enabled) { awaitFuture(m_store->setSecureMode(enabled)); }
    void insert(const ClipboardEntry &entry) { awaitFuture(m_store->insertEntry(entry)); }
    QList<ClipboardEntry> fetch() { return awaitFuture(m_store->fetchAllEntries()).entries; }

private slots:
    void init()
    {
        m_key.set(SecureBytes(QByteArray(32, '\x5a')));
        m_f = std::make_unique<OpenStore>(m_encryption, m_clock);
        m_store = &m_f->store;
        m_manager = &m_f->snippets;
        QVERIFY(m_store->isOpen());
    }

    void cleanup() { m_f.reset(); }

    // Deleted pages are zeroed, not left readable in the file.
    void freshFileUsesWalAndSecureDelete()
    {
        LogCapture capture;
        QCOMPARE(StoreDatabase::databaseURL(), databasePath());
        StoreDatabase database;
        QVERIFY(database.openDatabase(databasePath()));
        QVERIFY(database.isOpen());
        QCOMPARE(capture.lines(), QStringList {u"[Vantorell] Database opened at: "_s + databasePath()});
        QCOMPARE(file().value("PRAGMA journal_mode"), u"wal"_s);
        SqliteStatement secure(database.handle(), "PRAGMA secure_delete");
        QCOMPARE(secure.step(), SQLITE_ROW);
        QCOMPARE(secure.columnInt64(0), 1);
    }

    void failedStatementsAreReported()
    {
        StoreDatabase database;
        QVERIFY(database.openDatabase(databasePath()));
        LogCapture capture;
        QVERIFY(!database.execute(u"SELEC 1"_s));
        QCOMPARE(capture.lines(), QStringList {u"[Vantorell] SQL Error: near \"SELEC\": syntax error"_s});
        QVERIFY(database.execute(u"CREATE TABLE t (a); INSERT INTO t VALUES (1)"_s));

        // A failed ALTER is not reported as a migration.
        capture.clear();
        database.addColumnIfMissing(u"no_such_table"_s, u"extra"_s, u"BLOB"_s);
        QCOMPARE(capture.lines(), QStringList {u"[Vantorell] SQL Error: no such table: no_such_table"_s});
    }

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

        // Written into its row a piece at a time.
        ClipboardEntry large = bare;
        large.encryptedContent = QByteArray(3 << 20, 'c') + QByteArray(1000, 'e');
        QTest::newRow("content of 3 MiB and more") << large << large;
    }

    void entriesRoundTrip()
    {
        QFETCH(ClipboardEntry, entry);
        QFETCH(ClipboardEntry, expected);
        insert(entry);
        QCOMPARE(idsOf(fetch()), QList<QUuid> {entry.id});
        // The JSON form holds every field, absent ones left out.
        QCOMPARE(awaitFuture(m_store->fetchEntry(entry.id)).value()->toJson(), expected.toJson());
    }

    void publishedEntriesLeaveLargeContentInTheStore_data()
    {
        QTest::addColumn<bool>("memoryOnly");
        QTest::addColumn<qsizetype>("contentSize");
        QTest::addColumn<bool>("withRich");
        QTest::addColumn<bool>("held");
        for (const bool memoryOnly : {false, true}) {
            const char *mode = memoryOnly ? "memory only" : "disk";
            QTest::addRow("short text, %s", mode) << memoryOnly << qsizetype(60) << false << true;
            QTest::addRow("2 MB image, %s", mode) << memoryOnly << qsizetype(2'000'000) << false << false;
            QTest::addRow("short rich text, %s", mode) << memoryOnly << qsizetype(60) << true << true;
        }
    }

    // A flag change made on the published copy keeps what it left behind.
    void publishedEntriesLeaveLargeContentInTheStore()
    {
        QFETCH(bool, memoryOnly);
        QFETCH(qsizetype, contentSize);
        QFETCH(bool, withRich);
        QFETCH(bool, held);
        setMemoryOnly(memoryOnly);
        ClipboardEntry whole = makeEntry(now(), QByteArray(contentSize, 'i'));
        if (withRich)
            whole.encryptedRich = QByteArray(40, 'r');
        insert(whole);

        ClipboardEntry published = fetch().value(0);
        QCOMPARE(published.encryptedContent.size(), held ? contentSize : 0);
        QCOMPARE(published.contentSize(), contentSize);
        QCOMPARE(published.encryptedRich, std::nullopt);
        QCOMPARE(published.hasRich(), withRich);

        published.isPinned = true;
        awaitFuture(m_store->updateFlags(published));
        const std::optional<ClipboardEntry> stored = awaitFuture(m_store->fetchEntry(whole.id)).value();
        QVERIFY(stored && stored->isPinned);
        QCOMPARE(stored->encryptedContent, whole.encryptedContent);
        QCOMPARE(stored->encryptedRich, whole.encryptedRich);
        awaitFuture(m_store->deleteEntry(whole.id));
        QCOMPARE(awaitFuture(m_store->fetchEntry(whole.id)).value(), std::nullopt);
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

    // The launch reads the history while the key comes; the fetch after it
    // hands that over only while nothing was written since, and leaves out
    // what expired meanwhile, as a fresh read would.
    void readAheadIsHandedOverUnlessTheHistoryChanged_data()
    {
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<bool>("handedOver");
        QTest::newRow("nothing") << u"nothing"_s << true;
        QTest::newRow("an insert") << u"insert"_s << false;
        QTest::newRow("a deletion") << u"delete"_s << false;
        QTest::newRow("pinned") << u"pin"_s << false;
        QTest::newRow("an expiry") << u"expire"_s << true;
        QTest::newRow("forgotten") << u"forget"_s << false;
        QTest::newRow("closed and opened again") << u"reopen"_s << false;
    }

    void readAheadIsHandedOverUnlessTheHistoryChanged()
    {
        QFETCH(QString, meanwhile);
        QFETCH(bool, handedOver);
        const ClipboardEntry oldest = makeEntry(now().addSecs(-30));
        ClipboardEntry expiring = makeEntry(now().addSecs(-20));
        expiring.expiresAt = now().addSecs(5);
        ClipboardEntry newest = makeEntry(now().addSecs(-10));
        for (const ClipboardEntry &entry : {oldest, expiring, newest})
            insert(entry);
        if (meanwhile == u"reopen"_s) {
            // A new connection has written nothing yet, as the one read from.
            awaitFuture(m_store->closeDatabase());
            awaitFuture(m_store->openDatabase());
        }
        awaitFuture(m_store->readAheadHistory());

        if (meanwhile == u"insert"_s) {
            insert(makeEntry(now()));
        } else if (meanwhile == u"delete"_s) {
            awaitFuture(m_store->deleteEntry(newest.id));
        } else if (meanwhile == u"pin"_s) {
            newest.isPinned = true;
            awaitFuture(m_store->updateFlags(newest));
        } else if (meanwhile == u"expire"_s) {
            m_clock.advance(6s);
        } else if (meanwhile == u"forget"_s) {
            awaitFuture(m_store->forgetReadAhead());
        } else if (meanwhile == u"reopen"_s) {
            awaitFuture(m_store->closeDatabase());
            awaitFuture(m_store->openDatabase());
        }
        // A row only another connection wrote shows whether the fetch read
        // the table again.
        QVERIFY(file().run(("INSERT INTO clipboard_entries (id, content_type, created_at, encrypted_content) "
                            "VALUES ('"
                               + UuidText::toText(QUuid::createUuid()).toLatin1() + "', 'text', "
                               + QByteArray::number(DateCoding::toSeconds(now()) + 1, 'f', 3) + ", ?)")
                               .constData(),
            QByteArray(40, 'x')));

        const QList<ClipboardEntry> fetched = fetch();
        const QList<ClipboardEntry> readAgain = fetch();
        QCOMPARE(fetched.size() + (handedOver ? 1 : 0), readAgain.size());
        QCOMPARE(fetched, readAgain.mid(handedOver ? 1 : 0));
        for (qsizetype at = 0; at < fetched.size(); ++at)
            QCOMPARE(fetched[at].isPinned, readAgain[at + (handedOver ? 1 : 0)].isPinned);
        if (meanwhile == u"expire"_s) {
            QVERIFY(!idsOf(fetched).contains(expiring.id));
            QCOMPARE(file().count("SELECT COUNT(*) FROM clipboard_entries WHERE expires_at IS NOT NULL"), 0);
        }
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

        // The next private session starts empty.
        setMemoryOnly(true);
        QVERIFY(fetch().isEmpty());
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
        // Not an empty history: a backup would pass it for one.
        const UnreadRows notOpen {.uncounted = true, .reason = u"the database is not open"_s};
        const HistoryRead history = awaitFuture(m_store->fetchAllEntries());
        QVERIFY(history.entries.isEmpty());
        QCOMPARE(history.unread, notOpen);
        QCOMPARE(awaitFuture(m_store->fetchSnippets()).unread, notOpen);
        awaitFuture(m_store->clearUnpinnedEntries());
        QVERIFY(!awaitFuture(m_store->wipeAllData()));
        QVERIFY(!awaitFuture(m_store->execute(u"SELECT 1"_s)));
        QCOMPARE(awaitFuture(m_store->entryCount()), 0);
        const auto snippet = awaitFuture(m_store->insertSnippet(makeSnippet(u"x"_s, now())));
        QVERIFY(!snippet);
        const auto *error = std::get_if<StorageError>(&snippet.error());
        QVERIFY(error);
        QCOMPARE(error->code, StorageError::Code::sqlitePrepareFailed);
        QCOMPARE(description(snippet.error()), u"Database statement failed: "_s + error->detail);
        QCOMPARE(capture.lines(),
            (QStringList {u"[Vantorell] ❌ insertEntry FAILED: database is nil (not initialized)"_s,
                u"[Vantorell] ❌ fetchAllEntries FAILED: database is nil"_s,
                u"[Vantorell] insertSnippet prepare failed: "_s + error->detail}));
    }

    // A write the database does not take says why, in the system's words
    // where there are some: a full database reads as a full disk.
    void insertSaysWhyItFailed_data()
    {
        QTest::addColumn<bool>("closed");
        QTest::addColumn<qsizetype>("contentSize");
        QTest::addColumn<StorageError>("error");
        const StorageError full {StorageError::Code::sqliteStepFailed, u"No space left on device"_s};
        QTest::newRow("closed") << true << qsizetype(40)
                                << StorageError {StorageError::Code::databaseNotOpen};
        QTest::newRow("full") << false << qsizetype(64 << 10) << full;
        QTest::newRow("full, streamed") << false << qsizetype(2 << 20) << full;
    }

    void insertSaysWhyItFailed()
    {
        QFETCH(bool, closed);
        QFETCH(qsizetype, contentSize);
        if (closed)
            awaitFuture(m_store->closeDatabase());
        // No page beyond those the file has.
        else
            QVERIFY(awaitFuture(m_store->execute(u"PRAGMA max_page_count = 1"_s)));
        const auto inserted
            = awaitFuture(m_store->insertEntry(makeEntry(now(), QByteArray(contentSize, 'c'))));
        QVERIFY(!inserted);
        QTEST(inserted.error(), "error");
        QVERIFY(closed || fetch().isEmpty());
    }

    void failedOpenIsVisible()
    {
        // A file where the folder should be: the folder cannot be made.
        QVERIFY(QDir(m_f->home.path()).mkdir(u"blocked"_s));
        qputenv("XDG_DATA_HOME", m_f->home.filePath(u"blocked"_s).toUtf8());
        QFile blocker(m_f->home.filePath(u"blocked/Vantorell"_s));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        LogCapture capture;
        SecureStorageManager store(m_encryption, m_clock);
        const StorageOutcome opened = awaitFuture(store.openDatabase());
        QVERIFY(!opened && !store.isOpen());
        QCOMPARE(
            opened.error().detail, blocker.fileName() + u"/vantorell.db: unable to open database file"_s);
        QCOMPARE(capture.lines(),
            QStringList {u"[Vantorell] Failed to open database: unable to open database file"_s});
    }

    void oldFileIsMigratedOnceAndLoadsWithDefaults()
    {
        awaitFuture(m_store->closeDatabase());
        QFile::remove(databasePath());
        QVERIFY(QFile::copy(QFINDTESTDATA("../data/old-store.db"), databasePath()));
        QFile::setPermissions(databasePath(), QFile::ReadOwner | QFile::WriteOwner);
        LogCapture capture;
        awaitFuture(m_store->openDatabase());
        QCOMPARE(migrationLines(capture),
            (QStringList {
                u"[Vantorell] Schema migration: added 'encrypted_group' to 'snippets'"_s,
                u"[Vantorell] Schema migration: added 'encrypted_tags' to 'snippets'"_s,
                u"[Vantorell] Schema migration: added 'encrypted_search_text' to 'clipboard_entries'"_s,
                u"[Vantorell] Schema migration: added 'is_pinned' to 'clipboard_entries'"_s,
                u"[Vantorell] Schema migration: added 'is_sensitive' to 'clipboard_entries'"_s,
                u"[Vantorell] Schema migration: added 'expires_at' to 'clipboard_entries'"_s,
                u"[Vantorell] Schema migration: added 'encrypted_rich' to 'clipboard_entries'"_s,
            }));
        const QStringList schema = file().texts("SELECT sql FROM sqlite_master ORDER BY name");
        capture.clear();
        StoreDatabase again;
        QVERIFY(again.openDatabase(databasePath()));
        QVERIFY(migrationLines(capture).isEmpty());
        QCOMPARE(file().texts("SELECT sql FROM sqlite_master ORDER BY name"), schema);
        QStringList columns = columnsOf(again, u"clipboard_entries"_s);
        StoreDatabase fresh;
        QVERIFY(fresh.openDatabase(m_f->home.filePath(u"fresh.db"_s)));
        QStringList expected = columnsOf(fresh, u"clipboard_entries"_s);
        columns.sort();
        expected.sort();
        QCOMPARE(columns, expected);

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

    void snippetsRoundTrip_data()
    {
        QTest::addColumn<Snippet>("snippet");
        Snippet unfiled = makeSnippet(QString(), QDateTime::fromMSecsSinceEpoch(1'700'000'000'123, Qt::UTC));
        unfiled.content = QString();
        QTest::newRow("no folder, no tags, empty texts") << unfiled;
        Snippet emptyFolder = makeSnippet(u"Reply"_s, QDateTime::fromSecsSinceEpoch(1'700'000'000, Qt::UTC));
        emptyFolder.group = QString();
        QTest::newRow("empty folder name") << emptyFolder;
        Snippet full = makeSnippet(u"Grüße ✓"_s, QDateTime::fromSecsSinceEpoch(1'700'000'000, Qt::UTC));
        full.group = u"Work/Mail"_s;
        full.tags = {u"b"_s, u"a"_s, u"\"quoted\""_s};
        full.isFavorite = true;
        full.usageCount = (qint64(1) << 40) + 7;
        QTest::newRow("everything, 64-bit count") << full;
    }

    void snippetsRoundTrip()
    {
        QFETCH(Snippet, snippet);
        save(snippet);
        QCOMPARE(fetchSnippets(), QList<Snippet> {snippet});
        QCOMPARE(file().value("SELECT encrypted_group IS NULL FROM snippets").toBool(),
            !snippet.group.has_value());
        QVERIFY(file().value("SELECT length(encrypted_tags) FROM snippets").toInt() >= 28);
    }

    void savingReplacesAndOrdersByUpdate()
    {
        Snippet first = makeSnippet(u"first"_s, now());
        save(first);
        save(makeSnippet(u"second"_s, now().addSecs(1)));
        QCOMPARE(titlesOf(fetchSnippets()), (QStringList {u"second"_s, u"first"_s}));

        m_clock.advance(10s);
        first.title = u"first, edited"_s;
        first.usageCount = 3;
        QVERIFY(awaitFuture(m_manager->saveSnippet(first)).has_value());
        const QList<Snippet> snippets = fetchSnippets();
        QCOMPARE(titlesOf(snippets), (QStringList {u"first, edited"_s, u"second"_s}));
        QCOMPARE(snippets.first().updatedAt, now());
        QCOMPARE(snippets.first().createdAt, first.createdAt);
        QCOMPARE(snippets.first().usageCount, 3);
    }

    void unreadableFieldsDegrade_data()
    {
        QTest::addColumn<QByteArray>("column");
        QTest::addColumn<QByteArray>("blob");
        QTest::addColumn<bool>("loads");
        QTest::addColumn<QStringList>("tags");
        QTest::addColumn<bool>("hasGroup");

        QTest::newRow("tags not an array") << "encrypted_tags"_ba
                                           << "{\"a\":1}"_ba << true << QStringList() << true;
        QTest::newRow("tags unopenable")
            << "encrypted_tags"_ba << QByteArray() << true << QStringList() << true;
        QTest::newRow("folder not UTF-8") << "encrypted_group"_ba
                                          << "\xff\xfe"_ba << true << QStringList {u"t"_s} << false;
        QTest::newRow("title not UTF-8") << "encrypted_title"_ba
                                         << "\xc3"_ba << false << QStringList() << false;
    }

    // An empty blob in the table stands for bytes that open under no key.
    void unreadableFieldsDegrade()
    {
        QFETCH(QByteArray, column);
        QFETCH(QByteArray, blob);
        QFETCH(bool, loads);
        QFETCH(QStringList, tags);
        QFETCH(bool, hasGroup);
        Snippet snippet = makeSnippet(u"kept"_s, now());
        snippet.tags = {u"t"_s};
        snippet.group = u"g"_s;
        save(snippet);
        const QByteArray stored = blob.isEmpty() ? QByteArray(40, '\x01') : seal(blob);
        QVERIFY(file().run(("UPDATE snippets SET " + column + " = ?").constData(), stored));

        const QList<Snippet> snippets = fetchSnippets();
        QCOMPARE(snippets.size(), loads ? 1 : 0);
        if (loads) {
            QCOMPARE(snippets.first().title, u"kept"_s);
            QCOMPARE(snippets.first().tags, tags);
            QCOMPARE(snippets.first().group.has_value(), hasGroup);
        }
        QCOMPARE(file().count("SELECT COUNT(*) FROM snippets"), 1);
    }

    void recordingUseCountsInTheDatabase()
    {
        Snippet snippet = makeSnippet(u"used"_s, now());
        snippet.usageCount = 4;
        save(snippet);
        save(makeSnippet(u"newer"_s, now().addSecs(1)));

        // An edit saved after the caller took its copy is not undone.
        Snippet edited = snippet;
        edited.title = u"used, edited"_s;
        save(edited);
        m_clock.advance(5s);
        QVERIFY(awaitFuture(m_manager->recordSnippetUse(snippet)).has_value());

        const QList<Snippet> snippets = fetchSnippets();
        QCOMPARE(titlesOf(snippets), (QStringList {u"newer"_s, u"used, edited"_s}));
        QCOMPARE(snippets[1].usageCount, 5);
        QCOMPARE(snippets[1].updatedAt, snippet.updatedAt);
        QCOMPARE(file().texts("SELECT event_type || ' ' || quote(detail) FROM audit_log"),
            QStringList {u"snippet_used NULL"_s});
        QCOMPARE(
            file().value("SELECT timestamp FROM audit_log").toDouble(), now().toMSecsSinceEpoch() / 1000.0);
    }

    void recordingUseOfADeletedSnippetWritesNothing()
    {
        const Snippet snippet = makeSnippet(u"gone"_s, now());
        save(snippet);
        QVERIFY(awaitFuture(m_manager->deleteSnippet(snippet.id)));
        QVERIFY(awaitFuture(m_manager->recordSnippetUse(snippet)).has_value());
        QCOMPARE(file().count("SELECT COUNT(*) FROM snippets"), 0);
        QCOMPARE(auditRows(), 0);
    }

    // Quitting while a use is being recorded: nothing runs on the manager
    // that is gone, and the caller's future still ends.
    void recordingUseEndsCanceledWhenTheManagerGoesFirst()
    {
        const Snippet snippet = makeSnippet(u"used"_s, now());
        save(snippet);
        auto manager = std::make_unique<SnippetManager>(*m_store, m_clock);
        const QFuture<SnippetManager::Result> used = manager->recordSnippetUse(snippet);
        manager.reset();
        awaitFuture(m_store->entryCount());
        QCoreApplication::processEvents();
        QVERIFY(used.isFinished());
        QVERIFY(used.isCanceled());
        QCOMPARE(auditRows(), 0);
    }

    void lockedVaultWritesAndShowsNothing()
    {
        const Snippet snippet = makeSnippet(u"secret"_s, now());
        save(snippet);
        m_key.drop();

        const auto inserted = awaitFuture(m_store->insertSnippet(makeSnippet(u"new"_s, now())));
        QVERIFY(!inserted);
        QCOMPARE(inserted.error(), SnippetError(EncryptionError::masterKeyUnavailable));
        QCOMPARE(description(inserted.error()), u"App is locked. Master key not available."_s);
        QVERIFY(fetchSnippets().isEmpty());

        const auto used = awaitFuture(m_manager->recordSnippetUse(snippet));
        QVERIFY(!used);
        QCOMPARE(used.error(), SnippetError(EncryptionError::masterKeyUnavailable));
        QCOMPARE(file().count("SELECT usage_count FROM snippets"), 0);
        QCOMPARE(file().count("SELECT COUNT(*) FROM snippets"), 1);
        QCOMPARE(auditRows(), 0);
    }

    void memoryOnlyModeStillKeepsSnippetsButNoAudit()
    {
        awaitFuture(m_store->setSecureMode(true));
        const Snippet snippet = makeSnippet(u"private"_s, now());
        save(snippet);
        QVERIFY(awaitFuture(m_manager->recordSnippetUse(snippet)).has_value());
        QCOMPARE(titlesOf(fetchSnippets()), QStringList {u"private"_s});
        QCOMPARE(file().count("SELECT usage_count FROM snippets"), 1);
        QCOMPARE(file().texts("SELECT event_type FROM audit_log"), QStringList {u"secure_mode_enabled"_s});
    }

    // Deleted history must not stay readable anywhere in the store's files:
    // neither its plaintext nor its sealed bytes, in the database, its log or
    // the log's index.
    void deletedEntriesLeaveNoTrace()
    {
        SecureStorageManager &store = *m_store;
        const QDateTime now = m_clock.now();

        QList<Sealed> deleted(6);
        QList<ClipboardEntry> entries;
        for (int i = 0; i < deleted.size(); ++i)
            entries.append(makeCanary(i, deleted[i], now.addSecs(i - 10)));
        entries[3].createdAt = now.addDays(-40);
        entries[4].expiresAt = now.addSecs(-1);
        Sealed keptSealed;
        ClipboardEntry kept = makeCanary(99, keptSealed, now);
        kept.isPinned = true;
        entries.append(kept);
        for (const ClipboardEntry &entry : entries)
            awaitFuture(store.insertEntry(entry));

        Snippet snippet;
        snippet.id = QUuid::createUuid();
        snippet.title = u"CANARY-SNIPPET"_s;
        snippet.content = QString(300, u's');
        QVERIFY(awaitFuture(store.insertSnippet(snippet)).has_value());
        awaitFuture(store.closeDatabase());
        QVERIFY(storeFiles().contains(entries[0].encryptedContent));
        Sealed snippetSealed;
        {
            RawDatabase raw(databasePath());
            snippetSealed.plaintext = "CANARY-SNIPPET";
            snippetSealed.blobs = {raw.value("SELECT encrypted_title FROM snippets").toByteArray(),
                raw.value("SELECT encrypted_content FROM snippets").toByteArray()};
            QCOMPARE(snippetSealed.blobs.last().size(), 300 + 28);
        }

        awaitFuture(store.openDatabase());
        awaitFuture(store.deleteEntry(entries[0].id));
        awaitFuture(store.deleteEntries({entries[1].id, entries[2].id}));
        awaitFuture(store.deleteEntriesOlderThan(now.addDays(-30)));
        awaitFuture(store.fetchAllEntries());
        awaitFuture(store.clearUnpinnedEntries());
        QVERIFY(awaitFuture(store.deleteSnippet(snippet.id)));

        const QByteArray files = storeFiles();
        for (int i = 0; i < deleted.size(); ++i)
            QVERIFY2(!occursIn(files, deleted[i]), qPrintable(u"entry %1 is still on disk"_s.arg(i)));
        QVERIFY(!occursIn(files, snippetSealed));
        // The search itself works: what was kept is found.
        QVERIFY(occursIn(files, keptSealed));

        awaitFuture(store.clearAllEntries());
        QVERIFY(!occursIn(storeFiles(), keptSealed));
    }
};

QTEST_GUILESS_MAIN(SecureStorageManagerTest)
#include "tst_securestoragemanager.moc"
