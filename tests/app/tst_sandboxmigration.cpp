#include "app/SandboxMigration.h"
#include "settings/TypedSettings.h"
#include "support/LogCapture.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const SettingDefinition flag {u"migration.sandboxContainer.v1"_s, SettingKind::boolean, false};
} // namespace

class SandboxMigrationTest final : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_home;

    QString home(const QString &path) const { return m_home->filePath(path); }
    QString container(const QString &path) const { return home(u".var/app/net.quenlax.Vantorell/"_s + path); }
    QString source(const QString &name) const { return container(u"data/Vantorell/"_s + name); }
    QString destination(const QString &name) const { return home(u"data/"_s + name); }
    QString settingsFile() const { return home(u"config/Vantorell.conf"_s); }

    void migrate() const
    {
        (void)SandboxMigration(m_home->path(), settingsFile(), home(u"data"_s)).migrateFromSandboxContainer();
    }
    bool flagSet() const { return TypedSettings(settingsFile()).value(flag).toBool(); }

private slots:
    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        qunsetenv("APP_SANDBOX_CONTAINER_ID");
    }

    void flagRules_data()
    {
        QTest::addColumn<bool>("sandboxed");
        QTest::addColumn<bool>("alreadyMigrated");
        QTest::addColumn<bool>("hasContainer");
        QTest::addColumn<bool>("copied");
        QTest::addColumn<bool>("flagAfter");
        QTest::newRow("first unsandboxed launch") << false << false << true << true << true;
        QTest::newRow("sandboxed: untouched, runs later") << true << false << true << false << false;
        QTest::newRow("already migrated") << false << true << true << false << true;
        QTest::newRow("no container: only the flag") << false << false << false << false << true;
    }

    void flagRules()
    {
        QFETCH(bool, sandboxed);
        QFETCH(bool, alreadyMigrated);
        QFETCH(bool, hasContainer);
        QFETCH(bool, copied);
        QFETCH(bool, flagAfter);
        if (sandboxed)
            qputenv("APP_SANDBOX_CONTAINER_ID", "net.quenlax.Vantorell");
        if (alreadyMigrated)
            QVERIFY(TypedSettings(settingsFile()).setValue(flag, true));
        if (hasContainer)
            QVERIFY(writeFile(source(u"vantorell.db"_s), "database"));

        migrate();
        QCOMPARE(SandboxMigration::isSandboxed(), sandboxed);
        QCOMPARE(QFileInfo::exists(destination(u"vantorell.db"_s)), copied);
        QCOMPARE(flagSet(), flagAfter);
        QCOMPARE(QFileInfo::exists(settingsFile()), flagAfter);
    }

    void preferencesMergeMissingKeysOnly()
    {
        TypedSettings mine(settingsFile());
        QVERIFY(
            mine.setValue({u"settings.clipboard.maxHistoryCount"_s, SettingKind::integer, {}}, qint64(50)));
        const QJsonObject theirs {
            {u"settings.clipboard.maxHistoryCount"_s, 900},
            {u"settings.clipboard.retentionHours"_s, 48},
        };
        QVERIFY(writeFile(container(u"config/Vantorell/Vantorell.conf"_s), QJsonDocument(theirs).toJson()));

        migrate();
        const TypedSettings merged(settingsFile());
        QCOMPARE(
            merged.storedValue(u"settings.clipboard.maxHistoryCount"_s, SettingKind::integer), qint64(50));
        QCOMPARE(
            merged.storedValue(u"settings.clipboard.retentionHours"_s, SettingKind::integer), qint64(48));
        QVERIFY(flagSet());
    }

    void databaseCopies_data()
    {
        QTest::addColumn<QStringList>("sourceFiles");
        QTest::addColumn<QStringList>("destinationFiles");
        QTest::addColumn<bool>("copied");
        QTest::addColumn<QStringList>("expectedFiles");
        const QStringList all {u"vantorell.db"_s, u"vantorell.db-wal"_s, u"vantorell.db-shm"_s};
        QTest::newRow("with companions") << all << QStringList {} << true << all;
        QTest::newRow("stale journal at the destination is moved aside")
            << QStringList {u"vantorell.db"_s} << QStringList {u"vantorell.db-wal"_s} << true
            << QStringList {u"vantorell.db"_s, u"vantorell.db-wal.before-migration"_s};
        QTest::newRow("destination database kept")
            << all << QStringList {u"vantorell.db"_s} << false << QStringList {u"vantorell.db"_s};
    }

    void databaseCopies()
    {
        QFETCH(QStringList, sourceFiles);
        QFETCH(QStringList, destinationFiles);
        QFETCH(bool, copied);
        QFETCH(QStringList, expectedFiles);
        for (const QString &name : sourceFiles)
            QVERIFY(writeFile(source(name), "from container " + name.toUtf8()));
        for (const QString &name : destinationFiles)
            QVERIFY(writeFile(destination(name), "already here " + name.toUtf8()));

        migrate();
        QDir folder(home(u"data"_s));
        QStringList present = folder.entryList(QDir::Files, QDir::Name);
        expectedFiles.sort();
        QCOMPARE(present, expectedFiles);
        if (copied) {
            for (const QString &name : sourceFiles)
                QCOMPARE(readFile(destination(name)), "from container " + name.toUtf8());
        } else {
            QCOMPARE(readFile(destination(u"vantorell.db"_s)), QByteArray("already here vantorell.db"));
        }
        for (const QString &name : sourceFiles)
            QVERIFY(QFileInfo::exists(source(name)));
        QVERIFY(flagSet());
    }

    void failedCompanionLeavesNothingBehind()
    {
        QVERIFY(writeFile(source(u"vantorell.db"_s), "database"));
        QVERIFY(writeFile(source(u"vantorell.db-shm"_s), "shared memory"));
        // A folder where the journal should be cannot be copied.
        QVERIFY(QDir().mkpath(source(u"vantorell.db-wal"_s)));

        LogCapture log;
        migrate();
        QCOMPARE(log.lines().size(), 1);
        QVERIFY(log.lines().constFirst().startsWith(u"[Vantorell] Sandbox migration failed: "_s));
        QCOMPARE(QDir(home(u"data"_s)).entryList(QDir::Files), QStringList {});
        QVERIFY(flagSet());

        LogCapture again;
        migrate();
        QVERIFY(again.lines().isEmpty());
    }
};

QTEST_GUILESS_MAIN(SandboxMigrationTest)
#include "tst_sandboxmigration.moc"
