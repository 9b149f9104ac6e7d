#include "SettingsWindowFixture.h"

#include "backup/BackupError.h"
#include "support/TestEntries.h"
#include "ui/windows/settings/BackupSettingsTab.h"
#include "ui/windows/settings/VaultBackupOperations.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

using Written = BackupOperations::Outcome<BackupOperations::Written>;
using Restored = BackupOperations::Outcome<BackupOperations::Restored>;

namespace {

const QString eight = u"abcdefgh"_s;

template<class T> void finish(QPromise<T> &work, T outcome)
{
    work.addResult(std::move(outcome));
    work.finish();
}

} // namespace

class BackupSettingsTest final : public QObject {
    Q_OBJECT

    SettingsWindowFixture m_f {false};
    std::unique_ptr<BackupSettingsTab> m_tab;

private slots:
    void init()
    {
        m_f.appState.setSecureModeActive(false);
        m_f.backupDialogs = {};
        m_f.backup.calls.clear();
        m_tab = std::make_unique<BackupSettingsTab>();
        m_tab->setContext(&m_f.context);
        m_tab->setPassword(eight);
        m_tab->setConfirm(eight);
    }

    void validation_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("canCreate");
        const QString tooShort = u"Use at least 8 characters."_s;
        // Two code points and four code units, one character.
        const QString thumb = u"👍🏽"_s;
        QTest::newRow("empty") << QString() << QString() << QString() << false;
        QTest::newRow("7") << u"abcdefg"_s << u"abcdefg"_s << tooShort << false;
        QTest::newRow("8, confirmation empty") << eight << QString() << QString() << false;
        QTest::newRow("mismatch") << eight << u"abcdefgH"_s << u"The passwords don't match."_s << false;
        QTest::newRow("equal") << eight << eight << QString() << true;
        QTest::newRow("eight emoji") << thumb.repeated(8) << thumb.repeated(8) << QString() << true;
        QTest::newRow("seven emoji") << thumb.repeated(7) << thumb.repeated(7) << tooShort << false;
    }

    void validation()
    {
        QFETCH(QString, password);
        QFETCH(QString, confirm);
        QFETCH(QString, message);
        QFETCH(bool, canCreate);
        m_tab->setPassword(password);
        m_tab->setConfirm(confirm);
        QCOMPARE(m_tab->validationMessage(), message);
        QCOMPARE(m_tab->canCreate(), canCreate);
    }

    // Three counts are a restore's, two a backup's; an error text fails it.
    // A backup written without rows the database could not read warns, and
    // its password has done its work all the same.
    void outcomes_data()
    {
        QTest::addColumn<QList<int>>("counts");
        // Unread items and snippets.
        QTest::addColumn<QList<int>>("unread");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("result");
        const QString denied = u"Couldn't save the backup: Permission denied"_s;
        QTest::newRow("1 and 1") << QList {1, 1} << QList {0, 0} << QString()
                                 << u"Backed up 1 item and 1 snippet."_s;
        QTest::newRow("0 and 0") << QList {0, 0} << QList {0, 0} << QString()
                                 << u"Backed up 0 items and 0 snippets."_s;
        QTest::newRow("1 unreadable") << QList {39, 0} << QList {1, 0} << QString()
                                      << u"Backed up 39 items and 0 snippets. 1 item couldn't be read from "
                                         u"the database (disk image malformed) and isn't in the backup."_s;
        QTest::newRow("2 unreadable") << QList {38, 0} << QList {2, 0} << QString()
                                      << u"Backed up 38 items and 0 snippets. 2 items couldn't be read from "
                                         u"the database (disk image malformed) and aren't in the backup."_s;
        QTest::newRow("1 item, 1 snippet unreadable")
            << QList {39, 9} << QList {1, 1} << QString()
            << u"Backed up 39 items and 9 snippets. 1 item couldn't be read from the database (disk image "
               u"malformed) and isn't in the backup. 1 snippet couldn't be read from the database (disk "
               u"image malformed) and isn't in the backup."_s;
        QTest::newRow("backup failed") << QList {0, 0} << QList {0, 0} << denied << denied;
        QTest::newRow("7 skipped") << QList {40, 3, 7} << QList {0, 0} << QString()
                                   << u"Restored 40 items and 3 snippets. 7 older items were skipped."_s;
        QTest::newRow("1 skipped") << QList {1, 1, 1} << QList {0, 0} << QString()
                                   << u"Restored 1 item and 1 snippet. 1 older items were skipped."_s;
        QTest::newRow("none skipped")
            << QList {2, 0, 0} << QList {0, 0} << QString() << u"Restored 2 items and 0 snippets."_s;
        QTest::newRow("restore failed") << QList {0, 0, 0} << QList {0, 0} << denied << denied;
    }

    void outcomes()
    {
        QFETCH(QList<int>, counts);
        QFETCH(QList<int>, unread);
        QFETCH(QString, error);
        QFETCH(QString, result);
        const bool restore = counts.size() == 3;
        restore ? m_tab->restore() : m_tab->backUp();
        QVERIFY(m_tab->isWorking() && m_tab->result().isNull());
        // Both buttons are off while the work runs.
        m_tab->restore();
        QVERIFY(!m_tab->canCreate() && m_f.backup.calls.size() == 1);
        QCOMPARE(m_f.backup.calls[0][1], restore ? u"restore pass"_s : eight);
        if (restore)
            finish(m_f.backup.imported,
                error.isEmpty() ? Restored({counts[0], counts[1], counts[2]}) : std::unexpected(error));
        else
            finish(m_f.backup.exported,
                error.isEmpty()
                    ? Written({counts[0], counts[1], UnreadRows {unread[0], false, u"disk image malformed"_s},
                        UnreadRows {unread[1], false, u"disk image malformed"_s}})
                    : std::unexpected(error));
        QTRY_VERIFY(!m_tab->isWorking());
        QCOMPARE(m_tab->result(), result);
        QCOMPARE(m_tab->resultIsError(), !error.isEmpty() || unread != (QList {0, 0}));
        // Only a backup that was written clears the fields.
        const bool cleared = !restore && error.isEmpty();
        QCOMPARE(m_tab->password().isEmpty(), cleared);
        QCOMPARE(m_tab->confirm().isEmpty(), cleared);
    }

    // A restore that ends short of the backup says how much came in and
    // why. A lock closes the window, and the section in it, on the way: the
    // user is told once the vault is open again, not over the lock screen,
    // and not at all after an erase, which took what came in with it.
    void unfinishedRestore_data()
    {
        QTest::addColumn<QString>("meanwhile");
        // Restored entries, snippets, skipped; in the backup entries, snippets.
        QTest::addColumn<QList<int>>("counts");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("told");
        const QString locked = description(BackupError {BackupError::interrupted});
        const QString fiveOfTwenty
            = u"Restored 5 of 20 items and 0 of 3 snippets. Vantorell locked during the "
              u"restore. Restore the same file again to add the rest."_s;
        QTest::newRow("locked") << u"lock"_s << QList {5, 0, 0, 20, 3} << locked << fiveOfTwenty << true;
        QTest::newRow("not saved, window open")
            << QString() << QList {0, 1, 1, 1, 1}
            << description(BackupError::failedToStore(u"No space left on device"_s))
            << u"Restored 0 of 1 item and 1 of 1 snippet. 1 older items were skipped. Some couldn't be "
               u"saved: "
               u"No space left on device. Restore the same file again to add the rest."_s
            << false;
        QTest::newRow("erased") << u"erase"_s << QList {5, 0, 0, 20, 3} << locked << fiveOfTwenty << false;
    }

    void unfinishedRestore()
    {
        QFETCH(QString, meanwhile);
        QFETCH(QList<int>, counts);
        QFETCH(QString, reason);
        QFETCH(QString, result);
        QFETCH(bool, told);
        SettingsWindowFixture f;
        f.appState.setUnlocked(true);
        BackupSettingsTab tab;
        tab.setContext(&f.context);
        tab.restore();
        if (meanwhile == u"lock")
            f.security->lockNow();
        else if (meanwhile == u"erase")
            f.security->beginFullReset();
        using CutShort = BackupOperations::Restored::CutShort;
        finish(f.backup.imported,
            Restored({counts[0], counts[1], counts[2], CutShort {reason, counts[3], counts[4]}}));
        QTRY_VERIFY(!tab.isWorking());
        QTRY_COMPARE(f.appState.isUnlocked(), meanwhile.isEmpty());
        // A lock or an erase closed the window: this section stands for one
        // opened again before the vault is.
        QCOMPARE(tab.result(), meanwhile.isEmpty() ? result : QString());
        QCOMPARE(tab.resultIsError(), meanwhile.isEmpty());
        QVERIFY(f.backupDialogs.told.isEmpty());
        // Unlocked again, or a new vault set up.
        f.appState.setShowOnboarding(false);
        f.appState.setUnlocked(true);
        QCoreApplication::processEvents();
        QCOMPARE(f.backupDialogs.told, told ? QStringList {result} : QStringList {});
    }

    // A backup's or restore's outcome reaches the user when the section that
    // started it has gone: the next one shows it, also one opened while the
    // work runs, and one after it starts afresh. A lock, which closes the
    // window, gets an alert once the vault is open again, and only that: a
    // section reopened on the lock screen does not tell it first.
    void outcomeOutlivesTheSection_data()
    {
        QTest::addColumn<bool>("restore");
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("alert");
        const QString full = u"Restored 450 of 3000 items and 3 of 3 snippets. Some couldn't be saved: No "
                             u"space left on device. Restore the same file again to add the rest."_s;
        QTest::newRow("restore, reopened while it runs") << true << u"reopen"_s << full << QString();
        QTest::newRow("restore, closed, opened after") << true << u"close"_s << full << QString();
        QTest::newRow("backup, closed, opened after")
            << false << u"close"_s << u"Backed up 1 item and 12 snippets."_s << QString();
        QTest::newRow("backup, locked") << false << u"lock"_s << QString() << u"The backup didn't finish"_s;
    }

    void outcomeOutlivesTheSection()
    {
        QFETCH(bool, restore);
        QFETCH(QString, meanwhile);
        QFETCH(QString, shown);
        QFETCH(QString, alert);
        SettingsWindowFixture f;
        f.appState.setUnlocked(true);
        const auto opened = [&f] {
            auto tab = std::make_unique<BackupSettingsTab>();
            tab->setContext(&f.context);
            tab->setPassword(eight);
            tab->setConfirm(eight);
            return tab;
        };
        std::unique_ptr<BackupSettingsTab> tab = opened();
        restore ? tab->restore() : tab->backUp();
        if (meanwhile == u"lock")
            f.security->lockNow();
        if (meanwhile == u"close")
            tab->setShown(false);
        else
            tab = opened();
        QVERIFY(tab->isWorking() && !tab->canCreate());
        const QString locked = description(BackupError {BackupError::lockedDuringBackup});
        if (restore)
            finish(f.backup.imported,
                Restored({450, 3, 0,
                    BackupOperations::Restored::CutShort {
                        description(BackupError::failedToStore(u"No space left on device"_s)), 3000, 3}}));
        else
            finish(f.backup.exported,
                meanwhile == u"lock" ? Written(std::unexpected(locked)) : Written({1, 12}));
        QTRY_VERIFY(!tab->isWorking());
        f.appState.setUnlocked(true);
        QCoreApplication::processEvents();
        if (meanwhile == u"close")
            tab = opened();
        QCOMPARE(tab->result(), shown);
        QCOMPARE(f.backupDialogs.headings, alert.isNull() ? QStringList {} : QStringList {alert});
        QCOMPARE(f.backupDialogs.told, alert.isNull() ? QStringList {} : QStringList {locked});
        QVERIFY(opened()->result().isNull());
    }

    // A private session, or a question left unanswered, starts nothing.
    void refusals_data()
    {
        QTest::addColumn<bool>("restore");
        QTest::addColumn<QString>("unanswered");
        QTest::newRow("back up in a private session") << false << u"private"_s;
        QTest::newRow("restore in a private session") << true << u"private"_s;
        QTest::newRow("save cancelled") << false << u"save"_s;
        QTest::newRow("open cancelled") << true << u"open"_s;
        QTest::newRow("prompt cancelled") << true << u"password"_s;
        QTest::newRow("prompt left empty") << true << u"empty"_s;
    }

    void refusals()
    {
        QFETCH(bool, restore);
        QFETCH(QString, unanswered);
        FakeBackupDialogs &dialogs = m_f.backupDialogs;
        const bool privateSession = unanswered == u"private";
        m_f.appState.setSecureModeActive(privateSession);
        const QMap<QString, std::optional<QString> *> answers {{u"save"_s, &dialogs.destination},
            {u"open"_s, &dialogs.backup}, {u"password"_s, &dialogs.password}};
        if (std::optional<QString> *answer = answers.value(unanswered))
            answer->reset();
        if (unanswered == u"empty")
            dialogs.password = QString();
        restore ? m_tab->restore() : m_tab->backUp();
        QVERIFY(m_f.backup.calls.isEmpty() && !m_tab->isWorking());
        QCOMPARE(dialogs.asked == 0, privateSession);
        QCOMPARE(m_tab->result(),
            privateSession ? description(BackupError {BackupError::privateSession}) : QString());
        QCOMPARE(m_tab->resultIsError(), privateSession);
        QCOMPARE(m_tab->password(), eight);
    }

    // What one vault writes, another restores, each count in its place; an
    // old entry is skipped.
    void vaultRoundTrip()
    {
        QTemporaryDir folder;
        const QString file = folder.filePath(u"a.vtbackup"_s);
        SettingsWindowFixture from;
        awaitFuture(
            from.store.store.insertEntry(sealedEntry(from.encryption, ContentType::plainText, "old")));
        for (const QString &title : {u"A"_s, u"B"_s}) {
            const QDateTime now = QDateTime::currentDateTime();
            QVERIFY(awaitFuture(from.store.store.insertSnippet(
                {QUuid::createUuid(), title, title, {}, std::nullopt, false, now, now, 0})));
        }
        const Written written
            = awaitFuture(VaultBackupOperations(from.appState, from.settings()).exportBackup(file, eight));
        QVERIFY(written && written->entries == 1 && written->snippets == 2);

        SettingsWindowFixture to;
        const Restored restored
            = awaitFuture(VaultBackupOperations(to.appState, to.settings()).importBackup(file, eight));
        QVERIFY(restored && restored->entries == 0 && restored->snippets == 2 && restored->skipped == 1);
    }
};

QTEST_MAIN(BackupSettingsTest)
#include "tst_backupsettings.moc"
