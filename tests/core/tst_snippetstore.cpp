#include "core/EncryptionService.h"
#include "core/MasterKeyHolder.h"
#include "core/SecureStorageManager.h"
#include "core/SnippetManager.h"
#include "core/UuidText.h"
#include "support/AwaitFuture.h"
#include "support/FakeClock.h"
#include "support/LogCapture.h"
#include "support/RawDatabase.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

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

} // namespace

class SnippetStoreTest final : public QObject {
    Q_OBJECT

private:
    FakeClock m_clock;
    MasterKeyHolder m_key;
    EncryptionService m_encryption {m_key};
    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<SecureStorageManager> m_store;
    std::unique_ptr<SnippetManager> m_manager;
    std::unique_ptr<RawDatabase> m_raw;

    QDateTime now() const { return m_clock.now(); }
    QList<Snippet> fetch() { return awaitFuture(m_store->fetchSnippets()); }
    void save(const Snippet &snippet) { QVERIFY(awaitFuture(m_store->insertSnippet(snippet)).has_value()); }
    QByteArray seal(const QByteArray &bytes) { return m_encryption.encrypt(bytes).value(); }
    qint64 auditRows() { return m_raw->count("SELECT COUNT(*) FROM audit_log"); }

private slots:
    void initTestCase() { QCoreApplication::setApplicationName(u"Vantorell"_s); }

    void init()
    {
        m_key.set(SecureBytes(QByteArray(32, '\x5a')));
        m_home = std::make_unique<QTemporaryDir>();
        qputenv("XDG_DATA_HOME", m_home->path().toUtf8());
        m_store = std::make_unique<SecureStorageManager>(m_encryption, m_clock);
        m_manager = std::make_unique<SnippetManager>(*m_store, m_clock);
        awaitFuture(m_store->openDatabase());
        m_raw = std::make_unique<RawDatabase>(m_home->filePath(u"Vantorell/vantorell.db"_s));
    }

    void cleanup()
    {
        m_raw.reset();
        m_manager.reset();
        m_store.reset();
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
        QCOMPARE(fetch(), QList<Snippet> {snippet});
        QCOMPARE(m_raw->value("SELECT encrypted_group IS NULL FROM snippets").toBool(),
            !snippet.group.has_value());
        QVERIFY(m_raw->value("SELECT length(encrypted_tags) FROM snippets").toInt() >= 28);
    }

    void savingReplacesAndOrdersByUpdate()
    {
        Snippet first = makeSnippet(u"first"_s, now());
        save(first);
        save(makeSnippet(u"second"_s, now().addSecs(1)));
        QCOMPARE(titlesOf(fetch()), (QStringList {u"second"_s, u"first"_s}));

        m_clock.advance(10s);
        first.title = u"first, edited"_s;
        first.usageCount = 3;
        QVERIFY(awaitFuture(m_manager->saveSnippet(first)).has_value());
        const QList<Snippet> snippets = fetch();
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
        QTest::newRow("content unopenable")
            << "encrypted_content"_ba << QByteArray() << false << QStringList() << false;
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
        QVERIFY(m_raw->run(("UPDATE snippets SET " + column + " = ?").constData(), stored));

        const QList<Snippet> snippets = fetch();
        QCOMPARE(snippets.size(), loads ? 1 : 0);
        if (loads) {
            QCOMPARE(snippets.first().title, u"kept"_s);
            QCOMPARE(snippets.first().tags, tags);
            QCOMPARE(snippets.first().group.has_value(), hasGroup);
        }
        QCOMPARE(m_raw->count("SELECT COUNT(*) FROM snippets"), 1);
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

        const QList<Snippet> snippets = fetch();
        QCOMPARE(titlesOf(snippets), (QStringList {u"newer"_s, u"used, edited"_s}));
        QCOMPARE(snippets[1].usageCount, 5);
        QCOMPARE(snippets[1].updatedAt, snippet.updatedAt);
        QCOMPARE(m_raw->texts("SELECT event_type || ' ' || quote(detail) FROM audit_log"),
            QStringList {u"snippet_used NULL"_s});
        QCOMPARE(
            m_raw->value("SELECT timestamp FROM audit_log").toDouble(), now().toMSecsSinceEpoch() / 1000.0);
    }

    void recordingUseOfADeletedSnippetWritesNothing()
    {
        const Snippet snippet = makeSnippet(u"gone"_s, now());
        save(snippet);
        QVERIFY(awaitFuture(m_manager->deleteSnippet(snippet.id)));
        QVERIFY(awaitFuture(m_manager->recordSnippetUse(snippet)).has_value());
        QCOMPARE(m_raw->count("SELECT COUNT(*) FROM snippets"), 0);
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
        QVERIFY(fetch().isEmpty());

        const auto used = awaitFuture(m_manager->recordSnippetUse(snippet));
        QVERIFY(!used);
        QCOMPARE(used.error(), SnippetError(EncryptionError::masterKeyUnavailable));
        QCOMPARE(m_raw->count("SELECT usage_count FROM snippets"), 0);
        QCOMPARE(m_raw->count("SELECT COUNT(*) FROM snippets"), 1);
        QCOMPARE(auditRows(), 0);
    }

    void databaseFailuresReachTheCaller()
    {
        LogCapture capture;
        awaitFuture(m_store->closeDatabase());
        const auto result = awaitFuture(m_store->insertSnippet(makeSnippet(u"x"_s, now())));
        QVERIFY(!result);
        const auto *error = std::get_if<StorageError>(&result.error());
        QVERIFY(error);
        QCOMPARE(error->code(), StorageError::Code::sqlitePrepareFailed);
        QCOMPARE(description(result.error()), u"Database statement failed: "_s + error->message());
        QCOMPARE(capture.lines(),
            QStringList {u"[Vantorell] insertSnippet prepare failed: "_s + error->message()});
    }

    void memoryOnlyModeStillKeepsSnippetsButNoAudit()
    {
        awaitFuture(m_store->setSecureMode(true));
        const Snippet snippet = makeSnippet(u"private"_s, now());
        save(snippet);
        QVERIFY(awaitFuture(m_manager->recordSnippetUse(snippet)).has_value());
        QCOMPARE(titlesOf(fetch()), QStringList {u"private"_s});
        QCOMPARE(m_raw->count("SELECT usage_count FROM snippets"), 1);
        QCOMPARE(m_raw->texts("SELECT event_type FROM audit_log"), QStringList {u"secure_mode_enabled"_s});
    }
};

QTEST_GUILESS_MAIN(SnippetStoreTest)
#include "tst_snippetstore.moc"
