#include "app/AppStateController.h"
#include "crypto/EncryptionService.h"
#include "crypto/MasterKeyHolder.h"
#include "support/FakeClock.h"
#include "support/FakeMainQueue.h"
#include "support/FileSizeLimit.h"
#include "support/StoreFixture.h"
#include "support/TestEntries.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLocale>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

QList<QUuid> idsOf(const QList<ClipboardEntry> &entries)
{
    QList<QUuid> ids;
    for (const ClipboardEntry &entry : entries)
        ids.append(entry.id);
    return ids;
}

// Each entry's id with its flags.
QStringList rowsOf(const QList<ClipboardEntry> &entries)
{
    QStringList rows;
    for (const ClipboardEntry &entry : entries)
        rows.append(entry.id.toString() + (entry.isPinned ? u" pinned"_s : QString())
            + (entry.isFavorite ? u" favorite"_s : QString()));
    return rows;
}

} // namespace

class AppStateControllerTest final : public QObject {
    Q_OBJECT

private:
    FakeClock m_clock;
    FakeMainQueue m_queue;
    MasterKeyHolder m_key;
    EncryptionService m_encryption {m_key};
    std::unique_ptr<StoreFixture> m_f;
    SecureStorageManager *m_store = nullptr;
    SettingsManager *m_settings = nullptr;
    std::unique_ptr<AppStateController> m_state;

    QDateTime now() const { return m_clock.now(); }
    QDateTime hoursAgo(qint64 hours) const { return now().addSecs(-hours * 3600); }
    QList<QUuid> storedIds() { return idsOf(awaitFuture(m_store->fetchAllEntries()).entries); }
    QList<QUuid> shownIds() const { return idsOf(m_state->clipboardEntries()); }

    // Puts entries (newest first) in the store and in the shown history.
    void seed(const QList<ClipboardEntry> &entries)
    {
        for (auto it = entries.rbegin(); it != entries.rend(); ++it)
            awaitFuture(m_store->insertEntry(*it));
        m_state->setClipboardEntries(entries);
    }

    void settle() { m_f->settle(); }

private slots:
    void init()
    {
        m_f = std::make_unique<StoreFixture>(m_encryption, m_clock);
        m_store = &m_f->store;
        m_settings = &m_f->settings;
        QVERIFY(m_store->isOpen());
        m_state = std::make_unique<AppStateController>(m_clock, m_queue);
        m_state->configure(nullptr, *m_store, m_f->snippets, nullptr, *m_settings);
        m_state->setUnlocked(true);
    }

    void cleanup()
    {
        limitFileSize(RLIM_INFINITY);
        m_state.reset();
        m_f.reset();
    }

    void togglePasteStackEntry_data()
    {
        QTest::addColumn<ContentType>("type");
        QTest::addColumn<bool>("stacked");
        QTest::addColumn<int>("stackAfter");
        QTest::newRow("adds a text") << ContentType::plainText << false << 2;
        QTest::newRow("removes one already there") << ContentType::plainText << true << 1;
        QTest::newRow("refuses an image") << ContentType::image << false << 1;
    }

    void togglePasteStackEntry()
    {
        QFETCH(ContentType, type);
        QFETCH(bool, stacked);
        QFETCH(int, stackAfter);
        const ClipboardEntry other = entryAt(now());
        ClipboardEntry entry = entryAt(now());
        entry.contentType = type;
        m_state->setClipboardEntries({entry, other});
        m_state->setPasteStack(stacked ? QList {other, entry} : QList {other});
        m_state->togglePasteStackEntry(entry.id);
        QCOMPARE(m_state->pasteStack().size(), stackAfter);
        QCOMPARE(m_state->pasteStack().constFirst().id, other.id);
    }

    void orderedEntriesGroupPinnedThenStarred()
    {
        const QList<ClipboardEntry> entries {entryAt(now(), starred), entryAt(now(), pinned), entryAt(now()),
            entryAt(now(), starred | pinned)};
        m_state->setClipboardEntries(entries);
        QCOMPARE(idsOf(m_state->orderedEntries()),
            (QList {entries.at(1).id, entries.at(3).id, entries.at(0).id, entries.at(2).id}));
        QCOMPARE(shownIds(), idsOf(entries));
    }

    void togglesChangeMemoryThenStore()
    {
        const ClipboardEntry first = entryAt(now());
        const ClipboardEntry second = entryAt(hoursAgo(1));
        seed({first, second});
        QSignalSpy changed(m_state.get(), &AppStateController::clipboardEntriesChanged);

        m_state->toggleFavorite(QUuid::createUuid());
        QCOMPARE(changed.size(), 0);

        m_state->togglePin(second.id);
        QVERIFY(m_state->clipboardEntries().at(1).isPinned);
        QCOMPARE(shownIds(), (QList {first.id, second.id}));
        const QList<ClipboardEntry> stored = awaitFuture(m_store->fetchAllEntries()).entries;
        QVERIFY(stored.at(1).isPinned);
        QVERIFY(!stored.at(1).isFavorite);

        m_state->togglePin(second.id);
        QVERIFY(!awaitFuture(m_store->fetchAllEntries()).entries.at(1).isPinned);

        // A read under way does not take back a toggle made after it.
        m_state->reloadEntries();
        m_state->toggleFavorite(first.id);
        settle();
        QCOMPARE(rowsOf(m_state->clipboardEntries()), rowsOf(awaitFuture(m_store->fetchAllEntries()).entries));
        QVERIFY(m_state->clipboardEntries().at(0).isFavorite);
    }

    void limitKeepsProtectedEntries()
    {
        QList<ClipboardEntry> entries;
        for (int i = 0; i < 17; ++i)
            entries.append(entryAt(hoursAgo(i), i % 3 == 1 && i < 15 ? plain : (i % 2 ? starred : pinned)));
        // 12 protected, 5 plain, newest first.
        QCOMPARE(
            std::ranges::count_if(entries, [](const auto &e) { return e.isPinned || e.isFavorite; }), 12);
        seed(entries);
        m_settings->setMaxHistoryCount(10);
        // A new limit acts on the next turn of the event loop.
        QCOMPARE(shownIds().size(), 17);
        settle();
        QCOMPARE(m_state->clipboardEntries().size(), 12);
        for (const ClipboardEntry &entry : m_state->clipboardEntries())
            QVERIFY(entry.isPinned || entry.isFavorite);
        QCOMPARE(storedIds(), shownIds());
    }

    void captureAtLimitDropsOldestUnprotected()
    {
        const ClipboardEntry starredOldest = entryAt(hoursAgo(3), starred);
        const ClipboardEntry oldestPlain = entryAt(hoursAgo(2));
        const ClipboardEntry newer = entryAt(hoursAgo(1));
        m_settings->setMaxHistoryCount(3);
        settle();
        seed({newer, oldestPlain, starredOldest});

        const ClipboardEntry captured = entryAt(now());
        awaitFuture(m_store->insertEntry(captured));
        m_state->insertCapturedEntry(captured);
        QCOMPARE(shownIds().size(), 3);
        settle();
        QCOMPARE(shownIds(), (QList {captured.id, newer.id, starredOldest.id}));
        QCOMPARE(storedIds(), shownIds());
    }

    void captureFinishedAfterLockIsNotShown()
    {
        const ClipboardEntry captured = entryAt(now());
        awaitFuture(m_store->insertEntry(captured));
        m_state->insertCapturedEntry(captured);
        m_state->setUnlocked(false);
        m_state->clearPublishedLists();
        settle();
        QCOMPARE(shownIds(), QList<QUuid> {});
        QCOMPARE(storedIds(), QList {captured.id});
    }

    void damagedLimitTrimsNothing()
    {
        seed({entryAt(now()), entryAt(hoursAgo(1))});
        m_settings->setMaxHistoryCount(0);
        settle();
        QCOMPARE(shownIds().size(), 2);
        QCOMPARE(storedIds().size(), 2);
    }

    void retentionPurgeKeepsCutoffAndProtected()
    {
        m_settings->setRetentionHours(24);
        settle();
        const ClipboardEntry atCutoff = entryAt(hoursAgo(24));
        const ClipboardEntry older = entryAt(hoursAgo(24).addSecs(-1));
        const ClipboardEntry starredOld = entryAt(hoursAgo(48), starred);
        seed({atCutoff, older, starredOld});
        m_state->handleExpiryTimerTick();
        settle();
        QCOMPARE(shownIds(), (QList {atCutoff.id, starredOld.id}));
        QCOMPARE(storedIds(), shownIds());
    }

    void tickPurgesStoreWhileLocked_data()
    {
        QTest::addColumn<qint64>("retentionHours");
        QTest::addColumn<bool>("unlocked");
        QTest::addColumn<bool>("storePurged");
        QTest::newRow("locked") << qint64(1) << false << true;
        QTest::newRow("unlocked, nothing old in memory") << qint64(1) << true << false;
        QTest::newRow("locked, keep forever") << qint64(0) << false << false;
    }

    void tickPurgesStoreWhileLocked()
    {
        QFETCH(qint64, retentionHours);
        QFETCH(bool, unlocked);
        QFETCH(bool, storePurged);
        m_settings->setRetentionHours(retentionHours);
        settle();
        // Only in the store: the list in memory does not know it.
        awaitFuture(m_store->insertEntry(entryAt(hoursAgo(5))));
        m_state->setUnlocked(unlocked);
        m_state->handleExpiryTimerTick();
        QCOMPARE(storedIds().isEmpty(), storePurged);
    }

    void tickRemovesExpiredEvenWhenStarred()
    {
        ClipboardEntry expired = entryAt(hoursAgo(1), starred | pinned);
        expired.expiresAt = now().addMSecs(-1);
        ClipboardEntry expiringNow = entryAt(hoursAgo(1));
        expiringNow.expiresAt = now();
        const ClipboardEntry lasting = entryAt(hoursAgo(2));
        seed({expired, expiringNow, lasting});
        m_state->handleExpiryTimerTick();
        QCOMPARE(shownIds(), (QList {expiringNow.id, lasting.id}));
        QCOMPARE(storedIds(), shownIds());
    }

    void reloadPurgesThenLimits()
    {
        m_settings->setRetentionHours(10);
        m_settings->setMaxHistoryCount(2);
        settle();
        const ClipboardEntry a = entryAt(now());
        const ClipboardEntry b = entryAt(hoursAgo(1));
        const ClipboardEntry c = entryAt(hoursAgo(2));
        const ClipboardEntry old = entryAt(hoursAgo(11));
        for (const auto &entry : {old, c, b, a})
            awaitFuture(m_store->insertEntry(entry));
        m_state->reloadEntries();
        QTRY_COMPARE(shownIds(), (QList {a.id, b.id}));
        QCOMPARE(storedIds(), shownIds());
    }

    // What a read before a lock finds belongs to the vault as it was then.
    void readsStartedBeforeALockAreDropped()
    {
        awaitFuture(m_store->insertEntry(entryAt(now())));
        m_state->reloadEntries();
        m_state->setUnlocked(false);
        m_state->setUnlocked(true);
        settle();
        QVERIFY(shownIds().isEmpty());
        m_state->reloadEntries();
        QTRY_COMPARE(shownIds().size(), 1);
    }

    void deleteEntryLeavesHistoryAfterStore()
    {
        const ClipboardEntry entry = entryAt(now(), pinned);
        seed({entry});
        m_state->setPasteStack({entry});
        m_state->deleteEntry(entry.id);
        QVERIFY(m_state->pasteStack().isEmpty());
        QCOMPARE(shownIds().size(), 1);
        QTRY_VERIFY(shownIds().isEmpty());
        QVERIFY(storedIds().isEmpty());

        const ClipboardEntry other = entryAt(now());
        m_state->setPasteStack({other});
        m_state->deleteEntry(other.id);
        QVERIFY(m_state->pasteStack().isEmpty());
    }

    void clearEverything()
    {
        const ClipboardEntry pinnedEntry = entryAt(now(), pinned);
        seed({pinnedEntry, entryAt(hoursAgo(1)), entryAt(hoursAgo(2), starred)});
        m_state->setPasteStack({pinnedEntry});
        m_state->clearHistory(true);
        QVERIFY(m_state->pasteStack().isEmpty());
        QTRY_COMPARE(shownIds().size(), 0);
        QCOMPARE(storedIds(), shownIds());
    }

    // A removal or flag the database refuses, at the statement or as it goes
    // to the log (a full disk), leaves the history as stored and says why.
    void refusedRemovalShowsWhatIsStored_data()
    {
        QTest::addColumn<QString>("removal");
        QTest::addColumn<bool>("full");
        QTest::addColumn<QString>("alert");
        const QString readOnly = u"Database write failed: attempt to write a readonly database. "_s;
        const QString notCleared = u"The history couldn't be cleared|"_s;
        const QString kept = u"The items Vantorell still holds stay in the history."_s;
        QTest::newRow("delete") << u"delete"_s << false
                                << u"The item couldn't be deleted|"_s + readOnly
                + u"It stays in the history."_s;
        QTest::newRow("clear") << u"clear"_s << false << notCleared + readOnly + kept;
        const QString full = u"Database write failed: File too large. "_s;
        QTest::newRow("clear all, full") << u"clear all"_s << true << notCleared + full + kept;
        const QString asItWas = u"It stays as it was."_s;
        QTest::newRow("pin") << u"pin"_s << false << u"The item couldn't be pinned|"_s + readOnly + asItWas;
        QTest::newRow("unpin, full") << u"unpin"_s << true
                                     << u"The item couldn't be unpinned|"_s + full + asItWas;
        // Told once, by the last: each write carries both flags.
        QTest::newRow("pin, then favorite")
            << u"pin, favorite"_s << false << u"The item couldn't be made a favorite|"_s + readOnly + asItWas;
    }

    void refusedRemovalShowsWhatIsStored()
    {
        QFETCH(QString, removal);
        QFETCH(bool, full);
        const QList<ClipboardEntry> entries {
            entryAt(now(), pinned), entryAt(hoursAgo(1)), entryAt(hoursAgo(2))};
        seed(entries);
        // As after a trim the store did not take: the oldest is stored only.
        m_state->setClipboardEntries(entries.first(2));
        QVERIFY(awaitFuture(
            m_store->execute(full ? u"PRAGMA wal_checkpoint(TRUNCATE)"_s : u"PRAGMA query_only = ON"_s)));
        if (full)
            limitFileSize(16);
        QSignalSpy alerts(m_state.get(), &AppStateController::showAlert);
        if (removal == u"delete"_s)
            m_state->deleteEntry(entries[1].id);
        else if (removal == u"unpin"_s)
            m_state->togglePin(entries[0].id);
        else if (removal.startsWith(u"pin"_s)) {
            m_state->togglePin(entries[1].id);
            if (removal.endsWith(u"favorite"_s))
                m_state->toggleFavorite(entries[1].id);
        } else
            m_state->clearHistory(removal == u"clear all"_s);
        QTRY_COMPARE(alerts.size(), 1);
        limitFileSize(RLIM_INFINITY);
        QTEST(alerts[0][0].toString() + u'|' + alerts[0][1].toString(), "alert");
        settle();
        QCOMPARE(alerts.size(), 1);
        QCOMPARE(rowsOf(m_state->clipboardEntries()), rowsOf(entries));
        QCOMPARE(rowsOf(awaitFuture(m_store->fetchAllEntries()).entries), rowsOf(entries));
    }

    void confirmClearHistoryAsksFirst_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("kept");
        QTest::newRow("clear") << u"Clear History"_s << 1;
        QTest::newRow("cancel") << u"Cancel"_s << 2;
    }

    void confirmClearHistoryAsksFirst()
    {
        QFETCH(QString, button);
        QFETCH(int, kept);
        seed({entryAt(now(), starred), entryAt(hoursAgo(1))});
        QString shownText;
        QTimer::singleShot(0, this, [&] {
            auto *alert = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(alert);
            shownText = alert->text() + u'|' + alert->informativeText();
            for (QAbstractButton *candidate : alert->buttons()) {
                if (candidate->text() == button)
                    candidate->click();
            }
        });
        m_state->confirmClearHistory();
        QCOMPARE(shownText,
            u"Clear clipboard history?|This permanently deletes your clipboard history. "
            "Pinned and starred items are kept."_s);
        QTRY_COMPARE(shownIds().size(), kept);
        QCOMPARE(storedIds().size(), kept);
    }

    void pauseEndsOnTimeOrWhenResumed()
    {
        QCOMPARE(m_state->pauseStatusText(), QString());
        m_state->pauseCapture(15);
        const QDateTime end = now().addSecs(900);
        QCOMPARE(m_state->pausedUntil(), end);
        QCOMPARE(m_state->pauseStatusText(),
            u"Paused until "_s + QLocale().toString(end.toLocalTime().time(), QLocale::ShortFormat));
        m_queue.advance(899s);
        QVERIFY(m_state->isPaused());
        m_queue.advance(1s);
        QVERIFY(!m_state->isPaused());
        QVERIFY(m_state->pausedUntil().isNull());

        m_state->pauseCapture(5);
        m_state->pauseCapture(std::nullopt);
        QVERIFY(m_state->pausedUntil().isNull());
        QCOMPARE(m_state->pauseStatusText(), u"Capture paused"_s);
        m_queue.advance(1h);
        QVERIFY(m_state->isPaused());
        m_state->resumeCapture();
        QCOMPARE(m_state->pauseStatusText(), QString());
    }

    void quickPrivateSwitchEndsOnTheSavedHistory()
    {
        const ClipboardEntry saved = entryAt(now());
        awaitFuture(m_store->insertEntry(saved));
        m_state->setPasteStack({saved});
        m_state->changeSecureMode(false);
        QCOMPARE(m_state->pasteStack().size(), 1);

        m_state->changeSecureMode(true);
        QVERIFY(m_state->pasteStack().isEmpty());
        m_state->changeSecureMode(false);
        QVERIFY(!m_state->isSecureModeActive());
        QTRY_COMPARE(m_state->clipboardEntries().size(), 1);
        settle();
        QCOMPARE(m_state->clipboardEntries().first().id, saved.id);
    }

    // Asked of the menu bar only while it exists.
    void panelKeyQueryLivesWithItsOwner()
    {
        QVERIFY(!m_state->isPanelKey());
        auto owner = std::make_unique<QObject>();
        m_state->setPanelKeyQuery(owner.get(), [] { return true; });
        QVERIFY(m_state->isPanelKey());
        owner.reset();
        QVERIFY(!m_state->isPanelKey());
    }
};

QTEST_MAIN(AppStateControllerTest)
#include "tst_appstatecontroller.moc"
