#include "app/AppStateController.h"

#include "base/Log.h"
#include "base/MainQueue.h"
#include "base/WhenFinished.h"
#include "capture/ClipboardMonitor.h"
#include "crypto/EncryptionService.h"
#include "platform/OpenDialogs.h"
#include "settings/RetentionCutoff.h"
#include "settings/SettingsManager.h"
#include "store/SecureStorageManager.h"

#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

bool isProtected(const ClipboardEntry &entry)
{
    return entry.isPinned || entry.isFavorite;
}

// What the alert calls a flag change the store refused.
QString refusedFlagTitle(bool ClipboardEntry::*flag, bool set)
{
    if (flag == &ClipboardEntry::isPinned)
        return set ? u"The item couldn't be pinned"_s : u"The item couldn't be unpinned"_s;
    return set ? u"The item couldn't be made a favorite"_s : u"The item couldn't be removed from favorites"_s;
}

} // namespace

QString AppStateController::rawValue(SidebarTab tab)
{
    switch (tab) {
    case SidebarTab::clipboard:
        return u"Clipboard"_s;
    case SidebarTab::snippets:
        return u"Snippets"_s;
    case SidebarTab::settings:
        return u"Settings"_s;
    }
    Q_UNREACHABLE();
    return {};
}

std::optional<AppStateController::SidebarTab> AppStateController::sidebarTab(QStringView rawValue)
{
    for (const SidebarTab tab : {SidebarTab::clipboard, SidebarTab::snippets, SidebarTab::settings}) {
        if (rawValue == AppStateController::rawValue(tab))
            return tab;
    }
    return std::nullopt;
}

AppStateController::AppStateController(const Clock &clock, MainQueue &mainQueue, QObject *parent)
    : QObject(parent), m_clock(clock), m_mainQueue(mainQueue)
{
    m_expiryTimer.setInterval(expiryInterval);
    m_expiryTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_expiryTimer, &QTimer::timeout, this, &AppStateController::handleExpiryTimerTick);
}

void AppStateController::setUnlocked(bool unlocked)
{
    if (m_isUnlocked == unlocked)
        return;
    if (!unlocked)
        ++m_locks;
    m_isUnlocked = unlocked;
    emit isUnlockedChanged(unlocked);
}

void AppStateController::setShowOnboarding(bool show)
{
    // Set-up begins a new vault (after an erase, say): the copies refused
    // before are no news of its database.
    if (show)
        setCopyRefusal({});
    if (m_showOnboarding == show)
        return;
    m_showOnboarding = show;
    emit showOnboardingChanged(show);
}

void AppStateController::setShowUnlockPrompt(bool show)
{
    if (m_showUnlockPrompt == show)
        return;
    m_showUnlockPrompt = show;
    emit showUnlockPromptChanged(show);
}

void AppStateController::setShowQuickPicker(bool show)
{
    if (m_showQuickPicker == show)
        return;
    m_showQuickPicker = show;
    emit showQuickPickerChanged(show);
}

void AppStateController::setSecureModeActive(bool active)
{
    if (m_isSecureModeActive == active)
        return;
    m_isSecureModeActive = active;
    emit isSecureModeActiveChanged(active);
}

void AppStateController::prepareForLock()
{
    emit aboutToLock();
}

QuitSaves AppStateController::saveEditsBeforeQuit()
{
    QuitSaves saves;
    emit aboutToQuit(saves);
    return saves;
}

void AppStateController::setPaused(bool paused)
{
    if (m_isPaused == paused)
        return;
    m_isPaused = paused;
    emit isPausedChanged(paused);
}

void AppStateController::setPausedUntil(const QDateTime &until)
{
    if (m_pausedUntil == until)
        return;
    m_pausedUntil = until;
    emit pausedUntilChanged(until);
}

// Entries compare by identity only, so a list whose flags changed would look
// unchanged: the lists always announce.
void AppStateController::setClipboardEntries(const QList<ClipboardEntry> &entries)
{
    m_clipboardEntries = entries;
    emit clipboardEntriesChanged();
}

void AppStateController::setSnippets(const QList<Snippet> &snippets)
{
    m_snippets = snippets;
    emit snippetsChanged();
}

void AppStateController::setSearchQuery(const QString &query)
{
    if (m_searchQuery == query)
        return;
    m_searchQuery = query;
    emit searchQueryChanged(query);
}

void AppStateController::setSelectedTab(SidebarTab tab)
{
    if (m_selectedTab == tab)
        return;
    m_selectedTab = tab;
    emit selectedTabChanged(tab);
}

void AppStateController::setStatusMessage(const QString &message)
{
    if (m_statusMessage == message && m_statusMessage.isNull() == message.isNull())
        return;
    m_statusMessage = message;
    emit statusMessageChanged(message);
}

void AppStateController::setPasteStack(const QList<ClipboardEntry> &entries)
{
    m_pasteStack = entries;
    emit pasteStackChanged();
}

void AppStateController::setDatabaseError(const QString &error)
{
    if (m_databaseError == error)
        return;
    m_databaseError = error;
    emit databaseErrorChanged(error);
}

void AppStateController::setCopyRefusal(const QString &reason)
{
    if (m_copyRefusal == reason)
        return;
    m_copyRefusal = reason;
    emit copyRefusalChanged(reason);
}

bool AppStateController::isPanelKey() const
{
    return m_panelKeyOwner && m_panelKeyQuery && m_panelKeyQuery();
}

void AppStateController::setPanelKeyQuery(QObject *owner, std::function<bool()> query)
{
    m_panelKeyOwner = owner;
    m_panelKeyQuery = std::move(query);
}

void AppStateController::configure(ClipboardMonitor *clipboardMonitor, SecureStorageManager &storageManager,
    SnippetManager &snippetManager, SecurityController *securityController, SettingsManager &settingsManager)
{
    m_clipboardMonitor = clipboardMonitor;
    if (m_clipboardMonitor) {
        connect(m_clipboardMonitor, &ClipboardMonitor::latestEntryChanged, this,
            &AppStateController::insertCapturedEntry);
    }
    m_storageManager = &storageManager;
    m_entryContent.emplace(storageManager);
    m_snippetManager = &snippetManager;
    m_securityController = securityController;
    m_settingsManager = &settingsManager;

    // Queued: a new value acts on the next turn of the event loop, and the
    // value current now triggers nothing.
    connect(m_settingsManager, &SettingsManager::maxHistoryCountChanged, this,
        &AppStateController::enforceMaxHistory, Qt::QueuedConnection);
    connect(m_settingsManager, &SettingsManager::retentionHoursChanged, this,
        &AppStateController::purgeExpiredEntries, Qt::QueuedConnection);
    startExpiryTimer();
}

QList<ClipboardEntry> AppStateController::orderedEntries() const
{
    QList<ClipboardEntry> ordered;
    ordered.reserve(m_clipboardEntries.size());
    for (const ClipboardEntry &entry : m_clipboardEntries) {
        if (entry.isPinned)
            ordered.append(entry);
    }
    for (const ClipboardEntry &entry : m_clipboardEntries) {
        if (entry.isFavorite && !entry.isPinned)
            ordered.append(entry);
    }
    for (const ClipboardEntry &entry : m_clipboardEntries) {
        if (!isProtected(entry))
            ordered.append(entry);
    }
    return ordered;
}

void AppStateController::loadSnippets()
{
    if (!m_snippetManager || !m_storageManager)
        return;
    // What the database could not read the store has logged; the rest shows.
    whenFinished(this, m_storageManager->fetchSnippets(), [this, locks = m_locks](const SnippetRead &read) {
        if (isUnlockedSince(locks))
            setSnippets(read.snippets);
    });
}

void AppStateController::toggleFavorite(const QUuid &id)
{
    toggleFlag(id, &ClipboardEntry::isFavorite);
}

void AppStateController::togglePin(const QUuid &id)
{
    toggleFlag(id, &ClipboardEntry::isPinned);
}

void AppStateController::togglePasteStackEntry(const QUuid &id)
{
    if (m_pasteStack.removeIf([&id](const ClipboardEntry &entry) { return entry.id == id; }) > 0) {
        emit pasteStackChanged();
        return;
    }
    if (const auto found = std::ranges::find(m_clipboardEntries, id, &ClipboardEntry::id);
        found != m_clipboardEntries.end())
        m_paste.addToPasteStack(*found);
}

void AppStateController::toggleFlag(const QUuid &id, bool ClipboardEntry::*flag)
{
    const auto found = std::ranges::find(m_clipboardEntries, id, &ClipboardEntry::id);
    if (found == m_clipboardEntries.end())
        return;
    (*found).*flag = !((*found).*flag);
    const ClipboardEntry toggled = *found;
    emit clipboardEntriesChanged();
    if (!m_storageManager)
        return;
    const quint64 write = ++m_flagWriteCount;
    m_flagWrites.insert(id, {write, toggled.isFavorite, toggled.isPinned});
    whenFinished(this, m_storageManager->updateFlags(toggled),
        [this, id, write, title = refusedFlagTitle(flag, toggled.*flag)](const StorageOutcome &stored) {
            const auto last = m_flagWrites.constFind(id);
            // Each write carries both flags: a later one of the entry, still
            // on its way, tells what is stored.
            if (last == m_flagWrites.cend() || last->write != write)
                return;
            m_flagWrites.erase(last);
            if (!stored)
                reportKeptEntries(title, stored.error(), u"It stays as it was."_s);
        });
}

void AppStateController::replaceEntry(const QUuid &id, const std::optional<QByteArray> &encryptedPreview,
    const std::optional<QByteArray> &encryptedSearchText)
{
    const auto found = std::ranges::find(m_clipboardEntries, id, &ClipboardEntry::id);
    if (found == m_clipboardEntries.end())
        return;
    found->encryptedPreview = encryptedPreview;
    emit clipboardEntriesChanged();
    found->encryptedSearchText = encryptedSearchText;
    emit clipboardEntriesChanged();
}

void AppStateController::insertCapturedEntry(const ClipboardEntry &entry)
{
    QMetaObject::invokeMethod(
        this,
        [this, entry] {
            // A capture sealed before a lock is in the store; the emptied
            // history of the locked vault must not show it.
            if (!m_isUnlocked)
                return;
            m_clipboardEntries.prepend(entry);
            emit clipboardEntriesChanged();
            enforceMaxHistory();
        },
        Qt::QueuedConnection);
}

void AppStateController::enforceMaxHistory()
{
    if (!m_settingsManager)
        return;
    const qint64 limit = m_settingsManager->maxHistoryCount();
    // Only a damaged settings file holds such a limit; obeying it would delete
    // every unprotected entry.
    if (limit < 1) {
        Log::write(u"History limit %1 is not a count of entries; nothing trimmed"_s.arg(limit));
        return;
    }
    QList<QUuid> removed;
    while (m_clipboardEntries.size() > limit) {
        const auto oldest
            = std::find_if_not(m_clipboardEntries.rbegin(), m_clipboardEntries.rend(), isProtected);
        if (oldest == m_clipboardEntries.rend())
            break;
        removed.append(oldest->id);
        m_clipboardEntries.erase(std::next(oldest).base());
    }
    if (removed.isEmpty())
        return;
    emit clipboardEntriesChanged();
    // Silent: an item the store kept is trimmed again by the next reload.
    if (m_storageManager)
        (void)m_storageManager->deleteEntries(removed);
}

QDateTime AppStateController::retentionCutoff(qint64 hours) const
{
    return ::retentionCutoff(m_clock.now(), hours);
}

void AppStateController::purgeExpiredEntries()
{
    if (!m_settingsManager)
        return;
    const qint64 hours = m_settingsManager->retentionHours();
    if (hours < 1)
        return;
    const QDateTime cutoff = retentionCutoff(hours);
    const qsizetype removed = m_clipboardEntries.removeIf(
        [&cutoff](const ClipboardEntry &entry) { return entry.createdAt < cutoff && !isProtected(entry); });
    if (removed > 0)
        emit clipboardEntriesChanged();
    // While locked the list is empty and tells nothing about the store.
    if (removed == 0 && m_isUnlocked)
        return;
    // Silent: what the store kept is purged again before the next reload
    // reads the history.
    if (m_storageManager)
        (void)m_storageManager->deleteEntriesOlderThan(cutoff);
}

std::function<bool()> AppStateController::unlockedFromNow() const
{
    EncryptionService::KeySession key;
    if (m_storageManager)
        key = m_storageManager->encryptionService().keySession();
    // The key may outlive the lock in a worker's hands: only the holder
    // tells whether it is still the one loaded.
    return [state = QPointer<const AppStateController>(this), locks = m_locks, key] {
        return state && state->isUnlockedSince(locks) && state->m_storageManager
            && state->m_storageManager->encryptionService().isCurrent(key);
    };
}

std::function<bool()> AppStateController::noLockFromNow() const
{
    return [state = QPointer<const AppStateController>(this), locks = m_locks, ended = endedKeys()] {
        return state && state->m_locks == locks && state->endedKeys() == ended;
    };
}

quint64 AppStateController::endedKeys() const
{
    return m_storageManager ? m_storageManager->encryptionService().endedKeys() : 0;
}

bool AppStateController::isUnlockedSince(quint64 locks) const
{
    // What was read before a lock belongs to a vault since closed, perhaps
    // erased.
    return m_isUnlocked && m_locks == locks;
}

void AppStateController::startExpiryTimer()
{
    m_expiryTimer.start();
}

void AppStateController::handleExpiryTimerTick()
{
    const QDateTime now = m_clock.now();
    const qsizetype removed = m_clipboardEntries.removeIf(
        [&now](const ClipboardEntry &entry) { return entry.expiresAt && *entry.expiresAt < now; });
    if (removed > 0) {
        emit clipboardEntriesChanged();
        // Silent: reads leave expired rows out and purge them again.
        if (m_storageManager)
            (void)m_storageManager->deleteExpiredEntries();
    }
    purgeExpiredEntries();
}

void AppStateController::reloadEntries()
{
    if (!m_storageManager)
        return;
    const qint64 hours = m_settingsManager ? m_settingsManager->retentionHours() : 0;
    // Silent: the read that follows shows what the purge left.
    if (hours >= 1)
        (void)m_storageManager->deleteEntriesOlderThan(retentionCutoff(hours));
    whenFinished(this, m_storageManager->fetchAllEntries(), [this, locks = m_locks](HistoryRead read) {
        if (!isUnlockedSince(locks))
            return;
        // Silent on rows the database could not read: they stay in it,
        // the store logs them, and the history shows every other one.
        QList<ClipboardEntry> &entries = read.entries;
        // Flags still on their way were toggled after this read: they
        // show as toggled until the store answers.
        if (!m_flagWrites.isEmpty()) {
            for (ClipboardEntry &entry : entries) {
                if (const auto written = m_flagWrites.constFind(entry.id); written != m_flagWrites.cend()) {
                    entry.isFavorite = written->isFavorite;
                    entry.isPinned = written->isPinned;
                }
            }
        }
        setClipboardEntries(entries);
        enforceMaxHistory();
    });
}

void AppStateController::deleteEntry(const QUuid &id)
{
    const auto matches = [&id](const ClipboardEntry &entry) { return entry.id == id; };
    if (m_pasteStack.removeIf(matches) > 0)
        emit pasteStackChanged();
    clearLastContentHash();
    const auto removeFromHistory = [this, matches] {
        if (m_clipboardEntries.removeIf(matches) > 0)
            emit clipboardEntriesChanged();
    };
    if (!m_storageManager) {
        QMetaObject::invokeMethod(this, removeFromHistory, Qt::QueuedConnection);
        return;
    }
    whenFinished(
        this, m_storageManager->deleteEntry(id), [this, removeFromHistory](const StorageOutcome &deleted) {
            if (deleted)
                removeFromHistory();
            else
                reportKeptEntries(
                    u"The item couldn't be deleted"_s, deleted.error(), u"It stays in the history."_s);
        });
}

void AppStateController::clearHistory(
    bool all, std::function<void(const std::expected<void, StorageError> &)> cleared)
{
    if (!m_pasteStack.isEmpty())
        setPasteStack({});
    clearLastContentHash();
    const auto finish = [this, all, cleared = std::move(cleared)](
                            const std::expected<void, StorageError> &outcome) {
        if (outcome) {
            if (all)
                m_clipboardEntries.clear();
            else
                m_clipboardEntries.removeIf([](const ClipboardEntry &entry) { return !isProtected(entry); });
            emit clipboardEntriesChanged();
        } else {
            reportKeptEntries(u"The history couldn't be cleared"_s, outcome.error(),
                u"The items Vantorell still holds stay in the history."_s);
        }
        if (cleared)
            cleared(outcome);
    };
    if (!m_storageManager)
        QMetaObject::invokeMethod(
            this, [finish] { finish({}); }, Qt::QueuedConnection);
    else
        whenFinished(this,
            all ? m_storageManager->clearAllEntries() : m_storageManager->clearUnpinnedEntries(), finish);
}

void AppStateController::reportKeptEntries(
    const QString &title, const StorageError &error, const QString &kept)
{
    reloadEntries();
    emit showAlert(title, description(error) + u". "_s + kept);
}

void AppStateController::confirmClearHistory()
{
    QMessageBox alert(QMessageBox::Warning, u"Vantorell"_s, u"Clear clipboard history?"_s);
    alert.setInformativeText(
        u"This permanently deletes your clipboard history. Pinned and starred items are kept."_s);
    QPushButton *clear = alert.addButton(u"Clear History"_s, QMessageBox::AcceptRole);
    alert.addButton(u"Cancel"_s, QMessageBox::RejectRole);
    alert.setDefaultButton(clear);
    // A tray application has no window of its own in front to put it above.
    alert.setWindowFlag(Qt::WindowStaysOnTopHint);
    if (OpenDialogs::run(alert) && alert.clickedButton() == clear)
        clearHistory(false);
}

void AppStateController::pauseCapture(std::optional<int> minutes)
{
    m_resumeTimer.reset();
    setPaused(true);
    if (!minutes) {
        setPausedUntil({});
        return;
    }
    const std::chrono::milliseconds interval = std::chrono::minutes(*minutes);
    setPausedUntil(m_clock.now().addMSecs(interval.count()));
    m_resumeTimer = std::make_unique<QObject>();
    m_mainQueue.after(interval, m_resumeTimer.get(), [this] { resumeCapture(); });
}

void AppStateController::resumeCapture()
{
    m_resumeTimer.reset();
    setPausedUntil({});
    setPaused(false);
}

QString AppStateController::pauseStatusText() const
{
    if (!m_isPaused)
        return {};
    if (m_pausedUntil.isNull())
        return u"Capture paused"_s;
    return u"Paused until "_s + QLocale().toString(m_pausedUntil.toLocalTime().time(), QLocale::ShortFormat);
}

void AppStateController::changeSecureMode(bool active)
{
    if (active == m_isSecureModeActive)
        return;
    setSecureModeActive(active);
    setPasteStack({});
    clearLastContentHash();

    auto done = std::make_shared<QPromise<void>>();
    done->start();
    const std::optional<QFuture<void>> previous = std::exchange(m_privacyTask, done->future());
    if (previous)
        whenFinished(this, *previous, [this, active, done] { switchStoreSecureMode(active, done); });
    else
        switchStoreSecureMode(active, done);
}

void AppStateController::switchStoreSecureMode(bool active, std::shared_ptr<QPromise<void>> done)
{
    const auto finish = [this, done] {
        reloadEntries();
        done->finish();
    };
    if (m_storageManager)
        whenFinished(this, m_storageManager->setSecureMode(active), finish);
    else
        finish();
}

void AppStateController::clearPublishedLists()
{
    setClipboardEntries({});
    setSnippets({});
    setPasteStack({});
    setSearchQuery(QString());
}

void AppStateController::stopMonitoring()
{
    if (m_clipboardMonitor)
        m_clipboardMonitor->stopMonitoring();
}

void AppStateController::clearLastContentHash()
{
    if (m_clipboardMonitor)
        m_clipboardMonitor->clearLastContentHash();
}

void AppStateController::raiseAlert(const QString &title, const QString &informativeText)
{
    emit showAlert(title, informativeText);
}
