#include "core/EncryptionService.h"
#include "core/MasterKeyHolder.h"
#include "core/SecureStorageManager.h"
#include "support/AwaitFuture.h"
#include "support/FakeClock.h"
#include "support/RawDatabase.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Deleted history must not stay readable anywhere in the store's files:
// neither its plaintext nor its sealed bytes, in the database, its log or
// the log's index.
class StoreCanaryTest final : public QObject {
    Q_OBJECT

private:
    struct Sealed {
        QByteArray plaintext;
        QList<QByteArray> blobs;
    };

    FakeClock m_clock;
    MasterKeyHolder m_key;
    EncryptionService m_encryption {m_key};
    QTemporaryDir m_home;

    QByteArray seal(const QByteArray &bytes) { return m_encryption.encrypt(bytes).value(); }

    ClipboardEntry makeEntry(int index, Sealed &sealed, const QDateTime &createdAt)
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
            QFile file(m_home.filePath(u"Vantorell/vantorell.db"_s + suffix));
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

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName(u"Vantorell"_s);
        qputenv("XDG_DATA_HOME", m_home.path().toUtf8());
        m_key.set(SecureBytes(QByteArray(32, '\x33')));
    }

    void deletedEntriesLeaveNoTrace()
    {
        SecureStorageManager store(m_encryption, m_clock);
        awaitFuture(store.openDatabase());
        const QDateTime now = m_clock.now();

        QList<Sealed> deleted(6);
        QList<ClipboardEntry> entries;
        for (int i = 0; i < deleted.size(); ++i)
            entries.append(makeEntry(i, deleted[i], now.addSecs(i - 10)));
        entries[3].createdAt = now.addDays(-40);
        entries[4].expiresAt = now.addSecs(-1);
        Sealed keptSealed;
        ClipboardEntry kept = makeEntry(99, keptSealed, now);
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
            RawDatabase raw(m_home.filePath(u"Vantorell/vantorell.db"_s));
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

QTEST_GUILESS_MAIN(StoreCanaryTest)
#include "tst_storecanary.moc"
