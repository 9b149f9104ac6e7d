#include "core/SqliteStatement.h"
#include "core/StoreDatabase.h"
#include "support/LogCapture.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

QStringList columnsOf(StoreDatabase &database, const QString &table)
{
    QStringList columns;
    SqliteStatement statement(
        database.handle(), (u"PRAGMA table_info("_s + table + u')').toUtf8().constData());
    while (statement.step() == SQLITE_ROW)
        columns << statement.columnText(1).value_or(QString());
    return columns;
}

QStringList schemaOf(StoreDatabase &database)
{
    QStringList schema;
    SqliteStatement statement(database.handle(), "SELECT type, name, sql FROM sqlite_master ORDER BY name");
    while (statement.step() == SQLITE_ROW)
        schema << statement.columnText(0).value_or(QString()) + u' '
                + statement.columnText(1).value_or(QString()) + u'\n'
                + statement.columnText(2).value_or(QString());
    return schema;
}

QStringList migrationLines(const LogCapture &capture)
{
    QStringList lines = capture.lines();
    lines.removeIf([](const QString &line) { return !line.startsWith(u"[Vantorell] Schema migration"_s); });
    return lines;
}

const QStringList entryColumns {u"id"_s, u"content_type"_s, u"created_at"_s, u"is_favorite"_s, u"is_pinned"_s,
    u"source_app"_s, u"encrypted_content"_s, u"encrypted_preview"_s, u"encrypted_search_text"_s,
    u"is_sensitive"_s, u"expires_at"_s, u"encrypted_rich"_s};
const QStringList snippetColumns {u"id"_s, u"encrypted_title"_s, u"encrypted_content"_s, u"encrypted_tags"_s,
    u"encrypted_group"_s, u"is_favorite"_s, u"created_at"_s, u"updated_at"_s, u"usage_count"_s};
const QStringList auditColumns {u"id"_s, u"timestamp"_s, u"event_type"_s, u"detail"_s};

} // namespace

class StoreDatabaseTest final : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_home;

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        qputenv("XDG_DATA_HOME", m_home.filePath(u"data"_s).toUtf8());
        QCoreApplication::setApplicationName(u"Vantorell"_s);
        QCoreApplication::setOrganizationName(QString());
    }

    void freshFileGetsTheWholeSchema()
    {
        LogCapture capture;
        const QString path = StoreDatabase::databaseURL();
        QCOMPARE(path, m_home.filePath(u"data/Vantorell/vantorell.db"_s));

        StoreDatabase database;
        database.openDatabase(path);
        QVERIFY(database.isOpen());
        QVERIFY(QFile::exists(path));
        QCOMPARE(columnsOf(database, u"clipboard_entries"_s), entryColumns);
        QCOMPARE(columnsOf(database, u"snippets"_s), snippetColumns);
        QCOMPARE(columnsOf(database, u"audit_log"_s), auditColumns);
        QVERIFY(schemaOf(database).contains(
            u"index idx_entries_created\nCREATE INDEX idx_entries_created ON clipboard_entries(created_at DESC)"_s));
        QCOMPARE(capture.lines(), QStringList {u"[Vantorell] Database opened at: "_s + path});

        SqliteStatement mode(database.handle(), "PRAGMA journal_mode");
        QCOMPARE(mode.step(), SQLITE_ROW);
        QCOMPARE(mode.columnText(0), u"wal"_s);
        SqliteStatement secure(database.handle(), "PRAGMA secure_delete");
        QCOMPARE(secure.step(), SQLITE_ROW);
        QCOMPARE(secure.columnInt64(0), 1);
    }

    void oldFileIsMigratedInOrderAndOnlyOnce()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(u"vantorell.db"_s);
        QVERIFY(QFile::copy(QFINDTESTDATA("../data/old-store.db"), path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);

        LogCapture capture;
        QStringList migrated;
        {
            StoreDatabase database;
            database.openDatabase(path);
            QVERIFY(database.isOpen());
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
            QStringList columns = columnsOf(database, u"clipboard_entries"_s);
            QStringList expected = entryColumns;
            columns.sort();
            expected.sort();
            QCOMPARE(columns, expected);

            migrated = schemaOf(database);
        }

        capture.clear();
        StoreDatabase again;
        again.openDatabase(path);
        QVERIFY(migrationLines(capture).isEmpty());
        QCOMPARE(schemaOf(again), migrated);
    }

    void failedStatementsAreReported()
    {
        QTemporaryDir folder;
        StoreDatabase database;
        database.openDatabase(folder.filePath(u"vantorell.db"_s));
        LogCapture capture;

        QVERIFY(!database.execute(u"SELEC 1"_s));
        QCOMPARE(capture.lines(), QStringList {u"[Vantorell] SQL Error: near \"SELEC\": syntax error"_s});
        QVERIFY(database.execute(u"CREATE TABLE t (a); INSERT INTO t VALUES (1)"_s));

        // A failed ALTER is not reported as a migration.
        capture.clear();
        database.addColumnIfMissing(u"no_such_table"_s, u"extra"_s, u"BLOB"_s);
        QCOMPARE(capture.lines(), QStringList {u"[Vantorell] SQL Error: no such table: no_such_table"_s});
    }
};

QTEST_GUILESS_MAIN(StoreDatabaseTest)
#include "tst_storedatabase.moc"
