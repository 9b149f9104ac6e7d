#include "BackupScript.h"
#include "app/AppStateController.h"
#include "backup/BackupExport.h"
#include "backup/BackupImport.h"
#include "backup/BackupPayload.h"
#include "base/WhenFinished.h"
#include "crypto/SecureRandom.h"
#include "support/RawDatabase.h"
#include "support/StoreFixture.h"
#include "support/TestEntries.h"
#include "support/TestFiles.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

using Step = std::function<void()>;
using Contents = QList<QByteArray>;
const QString password = u"Müller-Straße ✓"_s;

// Lets files grow to limit bytes only, as a full disk would.
void limitFileSize(rlim_t limit)
{
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit sizes {limit, RLIM_INFINITY};
    setrlimit(RLIMIT_FSIZE, &sizes);
}

BackupEntry backupEntry(const QDateTime &createdAt, const QByteArray &content, int flags = plain)
{
    return {.id = QUuid::createUuid(),
        .createdAt = createdAt,
        .isFavorite = (flags & starred) != 0,
        .isPinned = (flags & pinned) != 0,
        .content = content};
}

} // namespace

Q_DECLARE_METATYPE(Step)
Q_DECLARE_METATYPE(BackupError::Code)
Q_DECLARE_METATYPE(BackupEntry)

class BackupIoTest final : public QObject {
    Q_OBJECT

    FakeClock m_clock;
    MasterKeyHolder m_key;
    EncryptionService m_encryption {m_key};
    std::unique_ptr<StoreFixture> m_f;
    std::unique_ptr<AppStateController> m_state;

    SecureStorageManager &store() { return m_f->store; }
    SettingsManager &settings() { return m_f->settings; }
    QString path(const QString &name) const { return m_f->home.filePath(name); }
    QDateTime hoursAgo(qint64 hours) const { return m_clock.now().addSecs(-hours * 3600); }
    qint64 rows(const char *sql) { return RawDatabase(m_f->databasePath()).count(sql); }

    void lock()
    {
        m_key.drop();
        m_state->setUnlocked(false);
        m_state->clearPublishedLists();
    }

    // Locks once the store has answered hops calls queued one after another.
    void lockAfter(int hops)
    {
        if (hops == 0)
            return lock();
        whenFinished(m_state.get(), store().entryCount(), [this, hops](qint64) { lockAfter(hops - 1); });
    }

    ClipboardEntry stored(const QDateTime &createdAt, const QByteArray &content, int flags = plain)
    {
        ClipboardEntry entry = entryAt(createdAt, flags);
        entry.encryptedContent = *m_encryption.encrypt(content);
        awaitFuture(store().insertEntry(entry));
        return entry;
    }

    // Once the reload that follows an import has trimmed the history; the
    // contents are short enough to be published.
    Contents storedContents()
    {
        m_f->settle();
        Contents contents;
        for (const ClipboardEntry &entry : awaitFuture(store().fetchAllEntries()))
            contents.append(m_encryption.decrypt(entry.encryptedContent).value_or("?"));
        return contents;
    }

    ImportResult importFile(const QString &file)
    {
        return awaitFuture(importBackup(file, password, *m_state, settings(), m_clock));
    }

    QString sealed(const BackupPayload &payload)
    {
        const QString file = path(u"in.vtbackup"_s);
        return writeFile(file, sealBackup(payload.encode(), password).value()) ? file : QString();
    }

private slots:
    void init()
    {
        m_key.set(*SecureRandom::bytes(32));
        m_f = std::make_unique<StoreFixture>(m_encryption, m_clock);
        m_state = std::make_unique<AppStateController>(m_clock);
        m_state->configure(nullptr, store(), m_f->snippets, nullptr, settings());
        m_state->setUnlocked(true);
    }

    void cleanup()
    {
        limitFileSize(RLIM_INFINITY);
        m_state.reset();
        m_f.reset();
    }

    void exportRefuses_data()
    {
        QTest::addColumn<Step>("before");
        QTest::addColumn<Step>("after");
        QTest::addColumn<qsizetype>("limit");
        QTest::addColumn<BackupError::Code>("error");
        QTest::addColumn<qint64>("rowsLeft");
        const Step none = [] {};
        const qsizetype limit = BackupFile::payloadLimit;
        QTest::newRow("locked") << Step([this] { lock(); }) << none << limit << BackupError::locked << 3LL;
        QTest::newRow("private session") << Step([this] { awaitFuture(store().setSecureMode(true)); }) << none
                                         << limit << BackupError::privateSession << 3LL;
        QTest::newRow("locked at the first wait")
            << none << Step([this] { lock(); }) << limit << BackupError::locked << 3LL;
        QTest::newRow("locked while content is read")
            << none << Step([this] { lockAfter(2); }) << limit << BackupError::locked << 2LL;
        QTest::newRow("too large") << none << none << qsizetype(100) << BackupError::writeFailed << 2LL;
        // A payload larger than the store and the limit, written at once.
        QTest::newRow("destination cannot be written") << Step([this] {
            settings().setSnippetFolders(
                {QString::fromLatin1(SecureRandom::bytes(3 << 20)->toByteArray().toBase64())});
            limitFileSize(2 << 20);
        }) << none << limit << BackupError::writeFailed << 2LL;
    }

    void exportRefuses()
    {
        QFETCH(Step, before);
        QFETCH(Step, after);
        QFETCH(qsizetype, limit);
        QFETCH(BackupError::Code, error);
        stored(hoursAgo(1), "held");
        stored(hoursAgo(2), QByteArray(2048, 'x'));
        ClipboardEntry expired = entryAt(hoursAgo(3));
        expired.expiresAt = hoursAgo(1);
        awaitFuture(store().insertEntry(expired));
        const QString destination = path(u"old.vtbackup"_s);
        QVERIFY(writeFile(destination, "old"));

        before();
        const QFuture<ExportResult> exported
            = exportBackup(destination, password, *m_state, settings(), m_clock, limit);
        after();
        const ExportResult result = awaitFuture(exported);
        limitFileSize(RLIM_INFINITY);
        QVERIFY(!result);
        const BackupError got = std::get<BackupError>(result.error());
        QCOMPARE(got.code, error);
        QCOMPARE(got.detail.isEmpty(), error != BackupError::writeFailed);
        QCOMPARE(readFile(destination), "old");
        QCOMPARE(QDir(m_f->home.path()).entryList({u"old.vtbackup*"_s}).size(), 1);
        QCOMPARE(rows("SELECT COUNT(*) FROM audit_log WHERE event_type = 'export_performed'"), 0);
        QTEST(rows("SELECT COUNT(*) FROM clipboard_entries"), "rowsLeft");
    }

    void exportWritesWhatOpens()
    {
        QCoreApplication::setApplicationVersion({});
        const ClipboardEntry newest = stored(hoursAgo(1), "held");
        ClipboardEntry large = entryAt(hoursAgo(2), pinned);
        large.contentType = ContentType::richText;
        large.isSensitive = true;
        large.encryptedContent = *m_encryption.encrypt(QByteArray(2048, 'x'));
        large.encryptedRich = *m_encryption.encrypt("{\\rtf1 x}");
        large.encryptedPreview = QByteArray(40, 'p');
        large.encryptedSearchText = *m_encryption.encrypt("x");
        awaitFuture(store().insertEntry(large));
        awaitFuture(store().insertEntry(entryAt(hoursAgo(3))));
        ClipboardEntry expiring = entryAt(hoursAgo(4));
        expiring.encryptedContent = *m_encryption.encrypt("expiring");
        expiring.expiresAt = hoursAgo(-1);
        awaitFuture(store().insertEntry(expiring));
        const Snippet snippet {
            QUuid::createUuid(), u"T"_s, u"C"_s, {}, std::nullopt, false, hoursAgo(5), hoursAgo(5), 1};
        QVERIFY(awaitFuture(store().insertSnippet(snippet)));

        const QString destination = path(u"out.vtbackup"_s);
        const ExportResult result
            = awaitFuture(exportBackup(destination, password, *m_state, settings(), m_clock));
        QVERIFY(result);
        QCOMPARE(result->entries, 2);
        QCOMPARE(result->snippets, 1);
        QCOMPARE(
            rows(
                "SELECT COUNT(*) FROM audit_log WHERE event_type = 'export_performed' AND detail = 'backup'"),
            1);
        const auto [exitCode, json] = runBackupScript({u"check"_s, password, destination});
        QCOMPARE(exitCode, 0);
        const auto payload = BackupPayload::decode(json);
        QVERIFY(payload);
        QCOMPARE(payload->createdAt, m_clock.now());
        QCOMPARE(payload->appVersion, QString());
        QCOMPARE(payload->entries.size(), 2);
        QCOMPARE(payload->entries.at(0).id, newest.id);
        const BackupEntry &second = payload->entries.at(1);
        QCOMPARE(second.content, QByteArray(2048, 'x'));
        QCOMPARE(second.rich, QByteArray("{\\rtf1 x}"));
        QCOMPARE(second.preview, std::nullopt);
        QCOMPARE(second.searchText, u"x"_s);
        QVERIFY(second.isSensitive && second.isPinned);
        QCOMPARE(payload->snippets, QList {snippet});
    }

    void importAdmits_data()
    {
        QTest::addColumn<Step>("setUp");
        QTest::addColumn<QList<BackupEntry>>("entries");
        QTest::addColumn<qint64>("imported");
        QTest::addColumn<qint64>("skipped");
        QTest::addColumn<Contents>("contents");
        const auto fill = [this](int count, qint64 limit) {
            return Step([this, count, limit] {
                settings().setMaxHistoryCount(limit);
                for (int i = 0; i < count; ++i)
                    stored(hoursAgo(100 + i), "s");
            });
        };
        QTest::newRow("empty") << Step([] {}) << QList<BackupEntry> {} << 0LL << 0LL << Contents {};
        QTest::newRow("room for the newest")
            << fill(3, 5)
            << QList {backupEntry(hoursAgo(3), "c"), backupEntry(hoursAgo(1), "a"),
                   backupEntry(hoursAgo(2), "b"), backupEntry(hoursAgo(4), "d")}
            << 2LL << 2LL << Contents {"a", "b", "s", "s", "s"};
        QTest::newRow("protected past room and retention")
            << fill(1, 1)
            << QList {backupEntry(hoursAgo(1), "p", pinned), backupEntry(hoursAgo(9999), "f", starred),
                   backupEntry(hoursAgo(2), "n")}
            << 2LL << 1LL << Contents {"p", "f"};
        QTest::newRow("no retention")
            << Step([this] { settings().setRetentionHours(0); })
            << QList {backupEntry(hoursAgo(99999), "old")} << 1LL << 0LL << Contents {"old"};
        const BackupEntry twice = backupEntry(hoursAgo(1), "newer");
        BackupEntry older = twice;
        older.createdAt = hoursAgo(2);
        older.content = "older";
        QTest::newRow("repeated id") << Step([] {}) << QList {older, twice} << 1LL << 1LL
                                     << Contents {"newer"};
    }

    void importAdmits()
    {
        QFETCH(Step, setUp);
        QFETCH(QList<BackupEntry>, entries);
        setUp();
        const ImportResult result = importFile(sealed({.entries = entries}));
        QVERIFY(result);
        QCOMPARE(result->snippetsImported, 0);
        QTEST(qint64(result->entriesImported), "imported");
        QTEST(qint64(result->entriesSkipped), "skipped");
        QTEST(storedContents(), "contents");
    }

    void importReplacesKnownIds()
    {
        const ClipboardEntry recent = stored(hoursAgo(1), "mine");
        const ClipboardEntry old = stored(hoursAgo(24 * 365), "mine too", pinned);
        m_state->setClipboardEntries(awaitFuture(store().fetchAllEntries()));
        settings().setMaxHistoryCount(2);
        BackupEntry sameRecent = backupEntry(recent.createdAt, "theirs");
        sameRecent.id = recent.id;
        BackupEntry sameOld = backupEntry(old.createdAt, "theirs too");
        sameOld.id = old.id;
        const ImportResult result = importFile(sealed({.entries = {sameOld, sameRecent}}));
        QVERIFY(result);
        QCOMPARE(result->entriesImported, 1);
        QCOMPARE(result->entriesSkipped, 1);
        QCOMPARE(storedContents(), (Contents {"theirs", "mine too"}));
    }

    void importMergesWhatTheScriptWrote()
    {
        QTemporaryDir dir;
        QCOMPARE(runBackupScript({u"write"_s, dir.path(), password}).first, 0);
        const QString file = dir.filePath(u"full.vtbackup"_s);
        Snippet mine {QUuid::fromString(u"11111111-2222-3333-4444-555555555555"), u"Mine"_s, {}, {}, {},
            false, hoursAgo(1), hoursAgo(1), 0};
        QVERIFY(awaitFuture(store().insertSnippet(mine)));
        settings().setExcludedApps({{QUuid::createUuid(), u"org.keepassxc.KeePassXC"_s, u"KeePass"_s}});
        settings().setSnippetFolders({u"Work"_s});
        settings().setRetentionHours(0);

        for (int run = 0; run < 2; ++run) {
            QSignalSpy reloaded(m_state.get(), &AppStateController::clipboardEntriesChanged);
            const ImportResult result = importFile(file);
            QVERIFY(result);
            QCOMPARE(result->entriesImported, 2);
            QCOMPARE(result->snippetsImported, 1);
            QCOMPARE(result->entriesSkipped, 0);
            QVERIFY(!reloaded.isEmpty() || reloaded.wait());
            QCOMPARE(m_state->clipboardEntries().size(), 2);
        }
        const ClipboardEntry sensitive = m_state->clipboardEntries().first();
        QVERIFY(sensitive.isSensitive && !sensitive.encryptedSearchText && !sensitive.expiresAt);
        QCOMPARE(m_encryption.decrypt(*sensitive.encryptedPreview), u"Bild ✓"_s.toUtf8());
        const QList<Snippet> snippets = awaitFuture(store().fetchSnippets());
        QCOMPARE(snippets.size(), 1);
        QCOMPARE(snippets.first().usageCount, 3);
        QCOMPARE(settings().excludedApps().size(), 1);
        QCOMPARE(settings().excludedApps().first().name, u"KeePass"_s);
        QCOMPARE(settings().snippetFolders(), (QStringList {u"Work"_s, u"Ärger"_s}));
    }

    void importEndingLockedPublishesNothing()
    {
        connect(&settings(), &SettingsManager::snippetFoldersChanged, this, [this] { lock(); });
        const ImportResult result
            = importFile(sealed({.entries = {backupEntry(hoursAgo(1), "a")}, .snippetFolders = {u"Work"_s}}));
        QVERIFY(result);
        QCOMPARE(result->entriesImported, 1);
        m_f->settle();
        QVERIFY(m_state->clipboardEntries().isEmpty());
    }
};

QTEST_GUILESS_MAIN(BackupIoTest)
#include "tst_backupio.moc"
