#include "BackupScript.h"
#include "app/AppStateController.h"
#include "backup/BackupExport.h"
#include "backup/BackupImport.h"
#include "backup/BackupPayload.h"
#include "backup/ImportBounds.h"
#include "base/FileWrites.h"
#include "base/WhenFinished.h"
#include "crypto/SecureRandom.h"
#include "support/FileMode.h"
#include "support/FileSizeLimit.h"
#include "support/RawDatabase.h"
#include "support/StoreFixture.h"
#include "support/TestEntries.h"
#include "support/TestFiles.h"

#include <QDeadlineTimer>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QTimer>

using namespace Qt::StringLiterals;
using Step = std::function<void()>;
using Sizes = QList<qsizetype>;
using Measure = std::function<Sizes()>;
using Contents = QList<QByteArray>;
Q_DECLARE_METATYPE(Step)
Q_DECLARE_METATYPE(Measure)
Q_DECLARE_METATYPE(BackupPayload)
Q_DECLARE_METATYPE(BackupError::Code)
Q_DECLARE_METATYPE(BackupEntry)
Q_DECLARE_METATYPE(ImportCounts)
Q_DECLARE_METATYPE(UnreadRows)

namespace {

const QString password = u"Müller-Straße ✓"_s;
constexpr const char *exportsAudited = "SELECT COUNT(*) FROM audit_log WHERE event_type = 'export_performed'";

BackupEntry backupEntry(qint64 hoursAgo, const QByteArray &content, int flags = plain)
{
    return {QUuid::createUuid(), ContentType::plainText, FakeClock().now().addSecs(-hoursAgo * 3600),
        (flags & starred) != 0, (flags & pinned) != 0, {}, false, content};
}

// Sealed on a worker, a field at a time.
BackupEntry largeEntry(qint64 hoursAgo, qsizetype mebibytes = 8)
{
    return backupEntry(hoursAgo, QByteArray(mebibytes << 20, 'L'));
}

// Runs step once a worker seals a large entry, which holds the vault's key
// beside the key holder; waits for the import's end.
template<class T>
T whileAWorkerSeals(QFuture<T> importing, const EncryptionService::KeySession &key, const Step &step)
{
    bool stepped = !step;
    while (!importing.isFinished()) {
        QCoreApplication::processEvents();
        if (!stepped && key.use_count() > 1) {
            step();
            stepped = true;
        }
    }
    return importing.result();
}

} // namespace

class BackupIoTest final : public QObject {
    Q_OBJECT

    FakeClock m_clock;
    SecureBytes m_keyBytes;
    MasterKeyHolder m_key;
    EncryptionService m_encryption {m_key};
    std::unique_ptr<StoreFixture> m_f;
    std::unique_ptr<AppStateController> m_state;
    // The vault's key as a worker sealing a capture holds it.
    MasterKeyHolder::Key m_heldKey;

    SecureStorageManager &store() { return m_f->store; }
    SettingsManager &settings() { return m_f->settings; }
    QDateTime hoursAgo(qint64 hours) const { return m_clock.now().addSecs(-hours * 3600); }
    qint64 audited() { return RawDatabase(m_f->databasePath()).count(exportsAudited); }

    // Runs step once the store has answered hops calls queued one after
    // another.
    void afterHops(int hops, const Step &step)
    {
        if (hops == 0)
            return step();
        whenFinished(
            m_state.get(), store().entryCount(), [this, hops, step](qint64) { afterHops(hops - 1, step); });
    }

    void lockAfter(int hops)
    {
        afterHops(hops, [this] {
            m_key.drop();
            m_state->setUnlocked(false);
            m_state->clearPublishedLists();
        });
    }

    // Runs step while a worker seals the backup: nothing else of an export
    // runs on the shared pool.
    void whileSealing(const Step &step)
    {
        auto *poll = new QTimer(m_state.get());
        connect(poll, &QTimer::timeout, poll, [poll, step] {
            if (QThreadPool::globalInstance()->activeThreadCount() == 0)
                return;
            poll->deleteLater();
            step();
        });
        poll->start(1);
    }

    void stored(qint64 age, const QByteArray &content, int flags = plain, QUuid id = QUuid::createUuid(),
        std::optional<QDateTime> expiresAt = {})
    {
        ClipboardEntry entry = entryAt(hoursAgo(age), flags);
        entry.id = id;
        entry.expiresAt = expiresAt;
        entry.encryptedContent = *m_encryption.encrypt(content);
        awaitFuture(store().insertEntry(entry));
    }

    // Held and large content, content that does not open, expiring and expired.
    void seedHistory()
    {
        stored(1, "held");
        ClipboardEntry large = entryAt(hoursAgo(2), pinned);
        large.isSensitive = true;
        large.encryptedContent = *m_encryption.encrypt(QByteArray(2048, 'x'));
        large.encryptedRich = *m_encryption.encrypt("{\\rtf1 x}");
        large.encryptedPreview = QByteArray(40, 'p');
        awaitFuture(store().insertEntry(large));
        awaitFuture(store().insertEntry(entryAt(hoursAgo(3))));
        stored(4, "expiring", plain, QUuid::createUuid(), hoursAgo(-1));
        stored(5, "expired", plain, QUuid::createUuid(), hoursAgo(1));
    }

    // Each stored entry's content as the key loaded now opens it; "?" where
    // it does not.
    Contents storedContents()
    {
        Contents contents;
        for (const ClipboardEntry &entry : awaitFuture(store().fetchAllEntries()).entries) {
            const ClipboardEntry whole = awaitFuture(store().fetchEntry(entry.id)).value().value();
            contents.append(m_encryption.decrypt(whole.encryptedContent).value_or("?"));
        }
        return contents;
    }

private slots:
    void init()
    {
        m_keyBytes = *SecureRandom::bytes(32);
        m_key.set(m_keyBytes);
        m_f = std::make_unique<StoreFixture>(m_encryption, m_clock);
        m_state = std::make_unique<AppStateController>(m_clock);
        m_state->configure(nullptr, store(), m_f->snippets, nullptr, settings());
        m_state->setUnlocked(true);
    }

    void cleanup()
    {
        limitFileSize(RLIM_INFINITY);
        m_heldKey.reset();
        m_state.reset();
        m_f.reset();
    }

    void exportRefuses_data()
    {
        QTest::addColumn<Step>("before");
        QTest::addColumn<Step>("after");
        QTest::addColumn<BackupError::Code>("error");
        QTest::addColumn<QString>("description");
        const Step none = [] {};
        QTest::newRow("locked") << Step([this] { lockAfter(0); }) << none << BackupError::locked
                                << u"Unlock Vantorell first."_s;
        QTest::newRow("private") << Step([this] { awaitFuture(store().setSecureMode(true)); }) << none
                                 << BackupError::privateSession << QString();
        // Listing nothing is not an empty history: a good backup it
        // replaced would be lost.
        QTest::newRow("database not open")
            << Step([this] { awaitFuture(store().closeDatabase()); }) << none
            << BackupError::historyUnreadable
            << u"Vantorell couldn't read its history from the database: the database is not open. No file "
               "was written."_s;
        QTest::newRow("locked while read")
            << none << Step([this] { lockAfter(2); }) << BackupError::lockedDuringBackup << QString();
        QTest::newRow("locked while sealing, key held") << none << Step([this] {
            whileSealing([this] {
                m_heldKey = m_key.current();
                lockAfter(0);
            });
        }) << BackupError::lockedDuringBackup << QString();
        // A payload larger than the room left, written at once: the first
        // write stops short, the next one says why.
        QTest::newRow("unwritable") << Step([this] {
            settings().setSnippetFolders(
                {QString::fromLatin1(SecureRandom::bytes(3 << 20)->toByteArray().toBase64())});
            limitFileSize(2 << 20);
        }) << none << BackupError::writeFailed
                                    << u"Couldn't save the backup: File too large"_s;
    }

    void exportRefuses()
    {
        QFETCH(Step, before);
        QFETCH(Step, after);
        QFETCH(BackupError::Code, error);
        seedHistory();
        const QString destination = m_f->home.filePath(u"old.vtbackup"_s);
        QVERIFY(writeFile(destination, "old"));
        before();
        const auto exported = exportBackup(destination, password, *m_state, settings(), m_clock);
        after();
        const ExportResult result = awaitFuture(exported);
        QVERIFY(!result);
        QCOMPARE(std::get<BackupError>(result.error()).code, error);
        QFETCH(QString, description);
        if (!description.isNull())
            QCOMPARE(::description(result.error()), description);
        QCOMPARE(readFile(destination), "old");
        QCOMPARE(QDir(m_f->home.path()).entryList({u"old.vtbackup*"_s}).size(), 1);
        QCOMPARE(audited(), 0);
    }

    // A private session started meanwhile keeps what comes next in memory;
    // the backup is of the database it began from, whole: whether the
    // switch comes before the history is listed or among the reads of more
    // large contents than the export asks for at once.
    void exportOutlastsAPrivateSession_data()
    {
        QTest::addColumn<int>("hops");
        QTest::newRow("before the listing") << 0;
        QTest::newRow("among the reads") << 2;
    }

    void exportOutlastsAPrivateSession()
    {
        QFETCH(int, hops);
        Contents contents;
        for (int i = 0; i < 40; ++i) {
            contents.append(QByteArray::number(i).repeated(600));
            stored(i + 1, contents.last());
        }
        const QString destination = m_f->home.filePath(u"out.vtbackup"_s);
        const auto exported = exportBackup(destination, password, *m_state, settings(), m_clock);
        afterHops(hops, [this] { m_state->changeSecureMode(true); });
        QCOMPARE(awaitFuture(exported).value(), (ExportCounts {contents.size(), 0}));
        QVERIFY(m_state->isSecureModeActive());
        const auto payload = BackupPayload::decode(openBackup(readFile(destination), password).value());
        QCOMPARE(payload.value().entries.size(), contents.size());
        for (qsizetype i = 0; i < contents.size(); ++i)
            QCOMPARE(payload.value().entries.at(i).content, contents.at(i));
    }

    // A full disk, as the real device for it answers.
    void fullDiskGivesItsReason()
    {
        QFile full(u"/dev/full"_s);
        QVERIFY(full.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        QCOMPARE(FileWrites::writeAll(full, QByteArray(100, 'x')).error(), u"No space left on device"_s);
    }

    // Only its owner may read it, whatever the umask or the file it
    // replaces allowed.
    void exportWritesWhatOpens_data()
    {
        QTest::addColumn<int>("replacedMode");
        QTest::newRow("new file") << -1;
        QTest::newRow("over a file anyone may write") << 0666;
    }

    void exportWritesWhatOpens()
    {
        QFETCH(int, replacedMode);
        seedHistory();
        const Snippet snippet {
            QUuid::createUuid(), u"T"_s, u"C"_s, {}, {}, false, hoursAgo(5), hoursAgo(5), 1};
        QVERIFY(awaitFuture(store().insertSnippet(snippet)));
        const QString destination = m_f->home.filePath(u"out.vtbackup"_s);
        if (replacedMode >= 0) {
            QVERIFY(writeFile(destination, "old"));
            QVERIFY(::chmod(QFile::encodeName(destination).constData(), mode_t(replacedMode)) == 0);
        }
        const mode_t umaskBefore = ::umask(022);
        const auto exported = awaitFuture(exportBackup(destination, password, *m_state, settings(), m_clock));
        ::umask(umaskBefore);
        QCOMPARE(fileMode(destination), 0600);
        QCOMPARE(exported.value(), (ExportCounts {2, 1}));
        QCOMPARE(audited(), 1);
        const auto [exitCode, json] = runBackupScript({u"check"_s, password, destination});
        QCOMPARE(exitCode, 0);
        const BackupPayload payload = BackupPayload::decode(json).value();
        QCOMPARE(payload.entries.first().content, "held");
        const BackupEntry &large = payload.entries.at(1);
        QCOMPARE(large.content, QByteArray(2048, 'x'));
        QCOMPARE(large.rich, QByteArray("{\\rtf1 x}"));
        QVERIFY(!large.preview && large.isSensitive && large.isPinned);
        QCOMPARE(payload.snippets, QList {snippet});
    }

    // A row the database cannot read costs only itself: the others are in
    // the history, the snippets and the file, the result counts what is
    // missing and why, and nothing is deleted. A broken link in one row's
    // long content; an index that fails, which the rows are read without; a
    // table that neither it nor its indexes list to the end writes no file.
    void exportReadsPastDamage_data()
    {
        QTest::addColumn<QByteArrayList>("pages");
        QTest::addColumn<QByteArray>("damage");
        QTest::addColumn<qsizetype>("entries");
        QTest::addColumn<UnreadRows>("unread");
        QTest::addColumn<qsizetype>("snippets");
        QTest::addColumn<UnreadRows>("unreadSnippets");
        const QString malformed = u"database disk image is malformed"_s;
        const auto overflow = [](const char *table) {
            return "SELECT pageno FROM dbstat WHERE name = '"_ba + table
                + "' AND path LIKE '%+000000' ORDER BY path LIMIT 1 OFFSET 5";
        };
        const auto root = [](const char *name) {
            return "SELECT rootpage FROM sqlite_schema WHERE name = '"_ba + name + '\'';
        };
        const QByteArray broken("\x7f\xff\xff\xff");
        QTest::newRow("one row's overflow chain")
            << QByteArrayList {overflow("clipboard_entries")} << broken << qsizetype(39)
            << UnreadRows {1, false, malformed} << qsizetype(10) << UnreadRows {};
        QTest::newRow("the id index")
            << QByteArrayList {root("sqlite_autoindex_clipboard_entries_1")} << QByteArray("\x7f")
            << qsizetype(40) << UnreadRows {} << qsizetype(10) << UnreadRows {};
        QTest::newRow("the created_at index")
            << QByteArrayList {root("idx_entries_created")} << QByteArray("\x7f") << qsizetype(40)
            << UnreadRows {} << qsizetype(10) << UnreadRows {};
        QTest::newRow("the history's table and indexes")
            << QByteArrayList {root("clipboard_entries"), root("idx_entries_created"),
                   root("sqlite_autoindex_clipboard_entries_1")}
            << QByteArray("\x7f") << qsizetype(0) << UnreadRows {0, true, malformed} << qsizetype(10)
            << UnreadRows {};
        QTest::newRow("one snippet's overflow chain")
            << QByteArrayList {overflow("snippets")} << broken << qsizetype(40) << UnreadRows {}
            << qsizetype(9) << UnreadRows {1, false, malformed};
        QTest::newRow("the snippets' table and index")
            << QByteArrayList {root("snippets"), root("sqlite_autoindex_snippets_1")} << QByteArray("\x7f")
            << qsizetype(40) << UnreadRows {} << qsizetype(0) << UnreadRows {0, true, malformed};
    }

    void exportReadsPastDamage()
    {
        QFETCH(QByteArrayList, pages);
        QFETCH(QByteArray, damage);
        QFETCH(qsizetype, entries);
        QFETCH(UnreadRows, unread);
        QFETCH(qsizetype, snippets);
        QFETCH(UnreadRows, unreadSnippets);
        // As captured: the preview lies past the content, in its last
        // overflow page; and a snippet's updated_at past its content.
        for (int i = 0; i < 40; ++i) {
            ClipboardEntry entry = entryAt(hoursAgo(i + 1));
            entry.encryptedContent = *m_encryption.encrypt(QByteArray(12 << 10, char('a' + i % 26)));
            entry.encryptedPreview = *m_encryption.encrypt("preview");
            awaitFuture(store().insertEntry(entry));
        }
        for (int i = 0; i < 10; ++i) {
            QVERIFY(awaitFuture(store().insertSnippet({QUuid::createUuid(), u"T"_s, QString(12 << 10, u's'),
                {}, {}, false, hoursAgo(i), hoursAgo(i), 0})));
        }
        awaitFuture(store().closeDatabase());
        const QString path = m_f->databasePath();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        for (const QByteArray &page : pages) {
            const qint64 at = (RawDatabase(path).count(page.constData()) - 1)
                * RawDatabase(path).count("PRAGMA page_size");
            QVERIFY(at > 0 && file.seek(at) && file.write(damage) == damage.size() && file.flush());
        }
        file.close();
        awaitFuture(store().openDatabase());
        // As at launch: the export is handed what was read ahead.
        awaitFuture(store().readAheadHistory());
        const QString destination = m_f->home.filePath(u"out.vtbackup"_s);
        const ExportResult result
            = awaitFuture(exportBackup(destination, password, *m_state, settings(), m_clock));
        if (unread.uncounted || unreadSnippets.uncounted) {
            QVERIFY(!result);
            QCOMPARE(std::get<BackupError>(result.error()),
                unread.uncounted ? BackupError::unreadableHistory(unread.reason)
                                 : BackupError::unreadableSnippets(unreadSnippets.reason));
            QVERIFY(!QFile::exists(destination));
        } else {
            QCOMPARE(result.value(), (ExportCounts {entries, snippets, unread, unreadSnippets}));
            const BackupPayload payload
                = BackupPayload::decode(openBackup(readFile(destination), password).value()).value();
            QCOMPARE(payload.entries.size(), entries);
            QCOMPARE(payload.snippets.size(), snippets);
        }
        QCOMPARE(awaitFuture(store().fetchAllEntries()).entries.size(), entries);
        const SnippetRead listed = awaitFuture(store().fetchSnippets());
        QCOMPARE(listed.snippets.size(), snippets);
        QCOMPARE(listed.unread, unreadSnippets);
        // Unless the table itself is what cannot be read.
        if (!unread.uncounted)
            QCOMPARE(RawDatabase(path).count("SELECT COUNT(*) FROM clipboard_entries NOT INDEXED"), 40);
        if (!unreadSnippets.uncounted)
            QCOMPARE(RawDatabase(path).count("SELECT COUNT(*) FROM snippets NOT INDEXED"), 10);
    }

    void importAdmits_data()
    {
        QTest::addColumn<Step>("setUp");
        QTest::addColumn<QList<BackupEntry>>("entries");
        QTest::addColumn<ImportCounts>("counts");
        QTest::addColumn<Contents>("contents");
        const auto fill = [this](int count, qint64 limit) {
            return Step([=, this] {
                settings().setMaxHistoryCount(limit);
                for (int i = 0; i < count; ++i)
                    stored(100, "s");
            });
        };
        QTest::newRow("empty") << Step([] {}) << QList<BackupEntry> {} << ImportCounts {0, 0, 0}
                               << Contents {};
        QTest::newRow("room for the newest")
            << fill(3, 5)
            << QList {backupEntry(3, "c"), backupEntry(1, "a"), backupEntry(2, "b"), backupEntry(4, "d")}
            << ImportCounts {2, 0, 2} << Contents {"a", "b", "s", "s", "s"};
        QTest::newRow("protected") << fill(
            1, 1) << QList {backupEntry(1, "p", pinned), backupEntry(9999, "f", starred), backupEntry(2, "n")}
                                   << ImportCounts {2, 0, 1} << Contents {"p", "f"};
        BackupEntry newer = backupEntry(1, "newer");
        BackupEntry older = newer;
        older.createdAt = hoursAgo(2);
        QTest::newRow("repeated id") << Step([] {}) << QList {older, newer} << ImportCounts {1, 0, 1}
                                     << Contents {"newer"};
        // Sealed off the main thread, in order with the rest.
        const QByteArray large(2 << 20, 'L');
        QTest::newRow("a large content")
            << Step([] {}) << QList {backupEntry(2, "small"), backupEntry(1, large)} << ImportCounts {2, 0, 0}
            << Contents {large, "small"};
        // A known id needs no room; one past the retention stays as it is.
        const BackupEntry known = backupEntry(1, "theirs");
        const BackupEntry knownOld = backupEntry(9999, "theirs too");
        QTest::newRow("known ids") << Step([=, this] {
            settings().setMaxHistoryCount(2);
            stored(1, "mine", plain, known.id);
            stored(9999, "mine too", pinned, knownOld.id);
            m_state->setClipboardEntries(awaitFuture(store().fetchAllEntries()).entries);
        }) << QList {knownOld, known}
                                   << ImportCounts {1, 0, 1} << Contents {"theirs", "mine too"};
        // Reloading would show the history while locked.
        QTest::newRow("locked before the reloads") << Step([this] {
            connect(&settings(), &SettingsManager::snippetFoldersChanged, this,
                [this] { m_state->setUnlocked(false); });
        }) << QList {backupEntry(1, "a")} << ImportCounts {1, 0, 0}
                                                   << Contents {"a"};
    }

    void importAdmits()
    {
        QFETCH(Step, setUp);
        QFETCH(QList<BackupEntry>, entries);
        setUp();
        const QString file = m_f->home.filePath(u"in.vtbackup"_s);
        QVERIFY(writeFile(file,
            sealBackup(BackupPayload {.entries = entries, .snippetFolders = {u"Work"_s}}.encode(), password)
                .value()));
        QTEST(awaitFuture(importBackup(file, password, *m_state, settings(), m_clock)).value(), "counts");
        m_f->settle();
        const Contents contents = storedContents();
        QTEST(contents, "contents");
        QCOMPARE(m_state->clipboardEntries().size(), m_state->isUnlocked() ? contents.size() : 0);
    }

    // A restore the vault's end, a private session, or a write it does not
    // take, cuts short: nothing lands in a vault the import did not start
    // in, nothing is counted that the database does not hold, and the
    // result says how much came in and why the rest did not.
    void importCutShort_data()
    {
        QTest::addColumn<Step>("before");
        QTest::addColumn<Step>("whileSealing");
        QTest::addColumn<ImportCounts>("counts");
        QTest::addColumn<Contents>("contents");
        QTest::addColumn<QStringList>("folders");
        const Step none;
        const ImportShortfall interrupted {{BackupError::interrupted}, 6, 2};
        QTest::newRow("locked") << none << Step([this] { lockAfter(0); })
                                << ImportCounts {3, 0, 0, interrupted} << Contents {"a", "b", "c"}
                                << QStringList {};
        // As an erase and a new vault's set-up at once: the vault is open
        // again, under another key.
        QTest::newRow("erased") << none << Step([this] {
            m_key.drop();
            (void)store().wipeAllData();
            m_key.set(*SecureRandom::bytes(32));
        }) << ImportCounts {3, 0, 0, interrupted}
                                << Contents {} << QStringList {};
        // From the status menu; or the store's switch queued ahead of the
        // next write while the import still saw none.
        const ImportShortfall privateSession {{BackupError::privateSessionStarted}, 6, 2};
        QTest::newRow("private session")
            << none << Step([this] { m_state->changeSecureMode(true); })
            << ImportCounts {3, 0, 0, privateSession} << Contents {"a", "b", "c"} << QStringList {};
        QTest::newRow("memory only at the next write")
            << none << Step([this] { store().setSecureMode(true); }) << ImportCounts {3, 0, 0, privateSession}
            << Contents {"a", "b", "c"} << QStringList {};
        // The large entry does not fit; what comes after it still does.
        const Step diskAlmostFull = [] { limitFileSize(2 << 20); };
        const ImportShortfall notStored {BackupError::failedToStore(u"File too large"_s), 6, 2};
        QTest::newRow("not stored") << diskAlmostFull << none << ImportCounts {5, 2, 0, notStored}
                                    << Contents {"a", "b", "c", "d", "e"} << QStringList {u"Work"_s};
    }

    void importCutShort()
    {
        QFETCH(Step, before);
        QFETCH(Step, whileSealing);
        const QList<BackupEntry> entries {backupEntry(1, "a"), backupEntry(2, "b"), backupEntry(3, "c"),
            largeEntry(4), backupEntry(5, "d"), backupEntry(6, "e")};
        const QList<Snippet> snippets {
            {QUuid::createUuid(), u"S1"_s, u"one"_s, {}, {}, false, hoursAgo(1), hoursAgo(1), 0},
            {QUuid::createUuid(), u"S2"_s, u"two"_s, {}, {}, false, hoursAgo(1), hoursAgo(1), 0}};
        const QString file = m_f->home.filePath(u"in.vtbackup"_s);
        QVERIFY(writeFile(file,
            sealBackup(BackupPayload {.entries = entries, .snippets = snippets, .snippetFolders = {u"Work"_s}}
                           .encode(),
                password)
                .value()));
        if (before)
            before();
        const ImportResult result
            = whileAWorkerSeals(importBackup(file, password, *m_state, settings(), m_clock),
                m_encryption.keySession(), whileSealing);
        QTEST(result.value(), "counts");
        // What stays is on disk.
        m_state->changeSecureMode(false);
        awaitFuture(store().setSecureMode(false));
        m_f->settle();
        // Open again, where the lock closed it.
        if (!m_key.isPresent())
            m_key.set(m_keyBytes);
        QTEST(storedContents(), "contents");
        const qsizetype snippetsStored = awaitFuture(store().fetchSnippets()).snippets.size();
        QCOMPARE(snippetsStored, result->snippetsImported);
        QTEST(settings().snippetFolders(), "folders");
    }

    // Quitting tears the services down before the application joins its
    // workers: one still sealing a large entry must not reach them.
    void quitWhileAWorkerSeals()
    {
        auto key = std::make_unique<MasterKeyHolder>();
        key->set(*SecureRandom::bytes(32));
        auto encryption = std::make_unique<EncryptionService>(*key);
        auto vault = std::make_unique<StoreFixture>(*encryption, m_clock);
        auto state = std::make_unique<AppStateController>(m_clock);
        state->configure(nullptr, vault->store, vault->snippets, nullptr, vault->settings);
        state->setUnlocked(true);
        // Its preview is sealed after its content, which takes longer than
        // the services take to go.
        BackupEntry large = largeEntry(1, 24);
        large.preview = u"L"_s;
        QTemporaryDir folder;
        const QString file = folder.filePath(u"in.vtbackup"_s);
        QVERIFY(writeFile(file, sealBackup(BackupPayload {.entries = {large}}.encode(), password).value()));
        const auto importing = importBackup(file, password, *state, vault->settings, m_clock);
        const EncryptionService::KeySession session = encryption->keySession();
        const QDeadlineTimer deadline(std::chrono::minutes(1));
        while (session.use_count() < 2 && !deadline.hasExpired())
            QCoreApplication::processEvents();
        QVERIFY(!deadline.hasExpired());
        // As the application ends: it locks, and its services go before it
        // joins the workers; the data folder stays.
        key->drop();
        const QString home = vault->home.path();
        vault->home.setAutoRemove(false);
        vault.reset();
        encryption.reset();
        key.reset();
        state.reset();
        QThreadPool::globalInstance()->waitForDone();
        QVERIFY(importing.isCanceled());
        QDir(home).removeRecursively();
    }

    // One past each bound, and what the vault takes of it.
    void importBounds_data()
    {
        QTest::addColumn<BackupPayload>("payload");
        QTest::addColumn<Measure>("measure");
        QTest::addColumn<Sizes>("expected");
        const QString over100 = QString(101, u'p');
        const QString over200 = QString(201, u'n');
        const auto entry = [this](ContentType type) {
            return BackupEntry {QUuid::createUuid(), type, m_clock.now(), false, false, {}, false, "x"};
        };
        const auto snippet = [this] {
            return Snippet {
                QUuid::createUuid(), u"T"_s, u"C"_s, {}, {}, false, m_clock.now(), m_clock.now(), 0};
        };
        const auto opened = [this](const std::optional<QByteArray> &box) {
            return QString::fromUtf8(box ? m_encryption.decrypt(*box).value_or("") : QByteArray()).size();
        };

        // Previews and search texts as capture cuts them.
        BackupEntry text = entry(ContentType::plainText);
        text.preview = over100;
        text.searchText = QString(501, u's');
        text.sourceApp = over200;
        BackupEntry picture = entry(ContentType::image);
        picture.searchText = QString(2001, u's');
        QTest::newRow("an entry's texts") << BackupPayload {.entries = {text, picture}} << Measure([=, this] {
            const QList<ClipboardEntry> stored = awaitFuture(store().fetchAllEntries()).entries;
            const ClipboardEntry image
                = *std::ranges::find(stored, ContentType::image, &ClipboardEntry::contentType);
            const ClipboardEntry plain
                = *std::ranges::find(stored, ContentType::plainText, &ClipboardEntry::contentType);
            return Sizes {opened(plain.encryptedPreview), opened(plain.encryptedSearchText),
                opened(image.encryptedSearchText), plain.sourceApp->size()};
        }) << Sizes {100, 500, 2000, 200};
        Snippet named = snippet();
        named.title = over200;
        named.group = over200;
        named.tags = {over100};
        for (int i = 1; i <= 100; ++i)
            named.tags.append(QString::number(i));
        QTest::newRow("a snippet's texts") << BackupPayload {.snippets = {named},
            .snippetFolders = {over200}} << Measure([this] {
            const Snippet stored = awaitFuture(store().fetchSnippets()).snippets.value(0);
            return Sizes {stored.title.size(), stored.group->size(), stored.tags.first().size(),
                stored.tags.size(), settings().snippetFolders().first().size()};
        }) << Sizes {200, 200, 100, 100, 200};
        QStringList folders;
        for (int i = 0; i <= ImportBounds::folderCount; ++i)
            folders.append(QString::number(i));
        const QUuid longestId = QUuid::createUuid();
        QList<ExcludedApp> apps {{longestId, over200, over200}};
        for (int i = 1; i <= ImportBounds::applicationCount; ++i)
            apps.append({QUuid::createUuid(), u"org.example.App%1"_s.arg(i), u"App"_s});
        QTest::newRow("folders and applications") << BackupPayload {.excludedApps = apps,
            .snippetFolders = folders} << Measure([=, this] {
            const QList<ExcludedApp> listed = settings().excludedApps();
            const ExcludedApp &longest = *std::ranges::find(listed, longestId, &ExcludedApp::id);
            return Sizes {settings().snippetFolders().size(), listed.size(), longest.bundleIdentifier.size(),
                longest.name.size()};
        }) << Sizes {ImportBounds::folderCount, ImportBounds::applicationCount, 200, 200};
        // Not cut: it is what gets pasted.
        Snippet longer = snippet();
        longer.content = QString(ImportBounds::snippetContentLength + 1, u'c');
        QTest::newRow("snippet text") << BackupPayload {.snippets = {longer, snippet()}} << Measure([this] {
            return Sizes {awaitFuture(store().fetchSnippets()).snippets.size()};
        }) << Sizes {1};
    }

    void importBounds()
    {
        QFETCH(BackupPayload, payload);
        QFETCH(Measure, measure);
        settings().setRetentionHours(0);
        const QString file = m_f->home.filePath(u"in.vtbackup"_s);
        QVERIFY(writeFile(file, sealBackup(payload.encode(), password).value()));
        QVERIFY(awaitFuture(importBackup(file, password, *m_state, settings(), m_clock)));
        m_f->settle();
        QTEST(measure(), "expected");
    }

    void importMergesWhatTheScriptWrote()
    {
        QTemporaryDir dir;
        QCOMPARE(runBackupScript({u"write"_s, dir.path(), password}).first, 0);
        const QUuid snippetId = QUuid::fromString(u"11111111-2222-3333-4444-555555555555");
        QVERIFY(awaitFuture(
            store().insertSnippet({snippetId, u"Mine"_s, {}, {}, {}, false, hoursAgo(1), hoursAgo(1), 0})));
        const QList<ExcludedApp> apps {{QUuid::createUuid(), u"org.keepassxc.KeePassXC"_s, u"KeePass"_s}};
        settings().setExcludedApps(apps);
        settings().setSnippetFolders({u"Work"_s});
        // Its entries are two years old.
        settings().setRetentionHours(0);
        const QString file = dir.filePath(u"full.vtbackup"_s);
        for (int run = 0; run < 2; ++run) {
            const auto counts = awaitFuture(importBackup(file, password, *m_state, settings(), m_clock));
            QCOMPARE(counts.value(), (ImportCounts {2, 1, 0}));
            m_f->settle();
            QCOMPARE(m_state->clipboardEntries().size(), 2);
        }
        const ClipboardEntry sensitive = m_state->clipboardEntries().first();
        QVERIFY(sensitive.isSensitive && !sensitive.encryptedSearchText && !sensitive.expiresAt);
        QCOMPARE(awaitFuture(store().fetchSnippets()).snippets.value(0).usageCount, 3);
        QCOMPARE(settings().excludedApps(), apps);
        QCOMPARE(settings().snippetFolders(), (QStringList {u"Work"_s, u"Ärger"_s}));
    }
};

QTEST_GUILESS_MAIN(BackupIoTest)
#include "tst_backupio.moc"
