#pragma once

#include "app/AppStateAccess.h"
#include "app/PasteController.h"
#include "app/QuitSaves.h"
#include "base/Clock.h"
#include "base/MainQueue.h"
#include "capture/CaptureStateAccess.h"
#include "platform/RunningApplication.h"
#include "records/ClipboardEntry.h"
#include "records/Snippet.h"
#include "store/EntryContentReader.h"
#include "store/StorageError.h"

#include <QDateTime>
#include <QFuture>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QPromise>
#include <QString>
#include <QTimer>
#include <QUuid>

#include <chrono>
#include <expected>
#include <functional>
#include <memory>
#include <optional>

class ClipboardMonitor;
class SecureStorageManager;
class SecurityController;
class SettingsManager;
class SnippetManager;

// A tab of the settings window; its cases are defined with the window.
enum class SettingsSection : int;

// The one application-state object: the published history, snippets and
// paste stack, the flags the views and controllers observe, the requests to
// the menu bar, and the upkeep that keeps the history in step with the
// store. Pasting is its paste(). Lives on the main thread.
class AppStateController final : public QObject, public AppStateAccess, public CaptureStateAccess {
    Q_OBJECT
    Q_DISABLE_COPY(AppStateController)

    Q_PROPERTY(bool isUnlocked READ isUnlocked WRITE setUnlocked NOTIFY isUnlockedChanged)
    Q_PROPERTY(bool showOnboarding READ showOnboarding WRITE setShowOnboarding NOTIFY showOnboardingChanged)
    Q_PROPERTY(
        bool showUnlockPrompt READ showUnlockPrompt WRITE setShowUnlockPrompt NOTIFY showUnlockPromptChanged)
    Q_PROPERTY(
        bool showQuickPicker READ showQuickPicker WRITE setShowQuickPicker NOTIFY showQuickPickerChanged)
    Q_PROPERTY(bool isSecureModeActive READ isSecureModeActive WRITE setSecureModeActive NOTIFY
            isSecureModeActiveChanged)
    Q_PROPERTY(bool isPaused READ isPaused WRITE setPaused NOTIFY isPausedChanged)
    // Null when the pause has no set end.
    Q_PROPERTY(QDateTime pausedUntil READ pausedUntil WRITE setPausedUntil NOTIFY pausedUntilChanged)
    Q_PROPERTY(QList<ClipboardEntry> clipboardEntries READ clipboardEntries WRITE setClipboardEntries NOTIFY
            clipboardEntriesChanged)
    Q_PROPERTY(QList<Snippet> snippets READ snippets WRITE setSnippets NOTIFY snippetsChanged)
    Q_PROPERTY(QString searchQuery READ searchQuery WRITE setSearchQuery NOTIFY searchQueryChanged)
    Q_PROPERTY(SidebarTab selectedTab READ selectedTab WRITE setSelectedTab NOTIFY selectedTabChanged)
    // Null when there is no message.
    Q_PROPERTY(QString statusMessage READ statusMessage WRITE setStatusMessage NOTIFY statusMessageChanged)
    Q_PROPERTY(QList<ClipboardEntry> pasteStack READ pasteStack WRITE setPasteStack NOTIFY pasteStackChanged)
    // Why the history database cannot keep anything, naming its file and
    // SQLite's reason; empty while it opened.
    Q_PROPERTY(QString databaseError READ databaseError WRITE setDatabaseError NOTIFY databaseErrorChanged)
    // Why the history database refused the last copy, in its words; empty
    // once a copy is stored, and when set-up begins a new vault.
    Q_PROPERTY(QString copyRefusal READ copyRefusal WRITE setCopyRefusal NOTIFY copyRefusalChanged)

public:
    enum class SidebarTab {
        clipboard,
        snippets,
        settings,
    };
    Q_ENUM(SidebarTab)

    static QString rawValue(SidebarTab tab);
    // Exact match of the raw text only.
    static std::optional<SidebarTab> sidebarTab(QStringView rawValue);

    static constexpr std::chrono::seconds expiryInterval {30};

    explicit AppStateController(const Clock &clock = Clock::system(),
        MainQueue &mainQueue = MainQueue::system(), QObject *parent = nullptr);

    bool isUnlocked() const override { return m_isUnlocked; }
    bool showOnboarding() const { return m_showOnboarding; }
    bool showUnlockPrompt() const { return m_showUnlockPrompt; }
    bool showQuickPicker() const { return m_showQuickPicker; }
    bool isSecureModeActive() const override { return m_isSecureModeActive; }
    bool isPaused() const override { return m_isPaused; }
    QDateTime pausedUntil() const { return m_pausedUntil; }
    QList<ClipboardEntry> clipboardEntries() const { return m_clipboardEntries; }
    QList<Snippet> snippets() const { return m_snippets; }
    QString searchQuery() const { return m_searchQuery; }
    SidebarTab selectedTab() const { return m_selectedTab; }
    QString statusMessage() const { return m_statusMessage; }
    QList<ClipboardEntry> pasteStack() const { return m_pasteStack; }
    QString databaseError() const { return m_databaseError; }
    QString copyRefusal() const { return m_copyRefusal; }

    void setUnlocked(bool unlocked) override;
    void setShowOnboarding(bool show) override;
    void setShowUnlockPrompt(bool show) override;
    void setShowQuickPicker(bool show);
    void setSecureModeActive(bool active) override;
    // Announces the lock: emits aboutToLock.
    void prepareForLock() override;
    // Announces the quit: emits aboutToQuit and returns the saves it started.
    QuitSaves saveEditsBeforeQuit();
    void setPaused(bool paused);
    void setPausedUntil(const QDateTime &until);
    void setClipboardEntries(const QList<ClipboardEntry> &entries);
    void setSnippets(const QList<Snippet> &snippets);
    void setSearchQuery(const QString &query);
    void setSelectedTab(SidebarTab tab);
    void setStatusMessage(const QString &message);
    void setPasteStack(const QList<ClipboardEntry> &entries);
    void setDatabaseError(const QString &error) override;
    void setCopyRefusal(const QString &reason) override;

    // The application in front when the panel or the history menu opened: the
    // one a paste goes back to. Set by the menu bar.
    std::optional<RunningApplication> previousActiveApp;

    // Whether the panel is shown and has keyboard focus: the query the menu
    // bar installs, asked while its owner lives; false otherwise.
    bool isPanelKey() const;
    void setPanelKeyQuery(QObject *owner, std::function<bool()> query);

    // Reveal and paste, the paste stack and the entry tools' pastes.
    PasteController &paste() { return m_paste; }
    const Clock &clock() const { return m_clock; }

    // Null until configure.
    ClipboardMonitor *clipboardMonitor() const { return m_clipboardMonitor; }
    SecureStorageManager *storageManager() const override { return m_storageManager; }
    // Opens the content of the published entries, which leave large content
    // in the store.
    const EntryContentReader *entryContent() const { return m_entryContent ? &*m_entryContent : nullptr; }
    SnippetManager *snippetManager() const { return m_snippetManager; }
    SecurityController *securityController() const { return m_securityController; }
    SettingsManager *settingsManager() const { return m_settingsManager; }

    // Hands over the services once at launch, takes in the monitor's
    // captures, follows the history limit and retention settings and starts
    // the expiry tick.
    void configure(ClipboardMonitor *clipboardMonitor, SecureStorageManager &storageManager,
        SnippetManager &snippetManager, SecurityController *securityController,
        SettingsManager &settingsManager);

    // Pinned first, then starred, then the rest; newest first within each.
    QList<ClipboardEntry> orderedEntries() const;
    // Publishes every snippet from the store, most recently updated first;
    // nothing without a snippet manager.
    void loadSnippets() override;
    // Shown at once; when the store refuses, the history shows the item as
    // stored again and showAlert says why.
    void toggleFavorite(const QUuid &id);
    void togglePin(const QUuid &id);
    // Takes the entry off the paste stack when it is there, else adds it by
    // the stack's rules.
    void togglePasteStackEntry(const QUuid &id);
    // The preview and search text of an entry whose image text was
    // recognised; the store already holds them.
    void replaceEntry(const QUuid &id, const std::optional<QByteArray> &encryptedPreview,
        const std::optional<QByteArray> &encryptedSearchText) override;

    // Shown on the next turn of the event loop, unless the vault has locked
    // by then.
    void insertCapturedEntry(const ClipboardEntry &entry);
    void enforceMaxHistory();
    // The retention purge.
    void purgeExpiredEntries();
    void handleExpiryTimerTick();
    void reloadEntries() override;
    // What the store does not delete stays shown, and showAlert says why;
    // clearHistory likewise.
    void deleteEntry(const QUuid &id);
    // all also removes pinned and starred entries. cleared, when given, is
    // told the store's outcome once the history shows it.
    void clearHistory(bool all, std::function<void(const std::expected<void, StorageError> &)> cleared = {});
    // Asks first; keeps pinned and starred entries.
    void confirmClearHistory();
    // Holds while the vault stays unlocked under the key loaded now: false
    // from the moment a lock drops the key, even while a worker still holds
    // it, and once unlocked again. A menu's choice counts under it.
    std::function<bool()> unlockedFromNow() const;
    // Holds until a lock, an erase or another key comes, false from the
    // moment the key goes; opened while locked and across an unlock it
    // holds. A dialog's answer counts under it: the settings window opens on
    // the lock screen and during set-up too.
    std::function<bool()> noLockFromNow() const;

    // Without minutes the pause lasts until resumed.
    void pauseCapture(std::optional<int> minutes);
    // Ends any pause of capture.
    void resumeCapture() override;
    QString pauseStatusText() const;
    // Starts or ends a private session: new copies are kept in memory only and
    // the saved history is hidden until it ends. Switches reach the store one
    // after another, in call order.
    void changeSecureMode(bool active);
    // Empties the history, snippets and paste stack and the search text, as
    // locking does.
    void clearPublishedLists() override;
    // Both do nothing without a clipboard monitor.
    void stopMonitoring() override;
    void clearLastContentHash() override;
    // Emits showAlert.
    void raiseAlert(const QString &title, const QString &informativeText) override;

signals:
    void isUnlockedChanged(bool unlocked);
    void showOnboardingChanged(bool show);
    void showUnlockPromptChanged(bool show);
    void showQuickPickerChanged(bool show);
    void isSecureModeActiveChanged(bool active);
    void isPausedChanged(bool paused);
    void pausedUntilChanged(const QDateTime &until);
    void clipboardEntriesChanged();
    void snippetsChanged();
    void searchQueryChanged(const QString &query);
    void selectedTabChanged(SidebarTab tab);
    void statusMessageChanged(const QString &message);
    void pasteStackChanged();
    void databaseErrorChanged(const QString &error);
    void copyRefusalChanged(const QString &reason);
    // The vault starts to lock and the master key is still loaded: a direct
    // connection can still save what the user has typed and not yet saved.
    void aboutToLock();
    // The application is about to quit: a direct connection saves what the
    // user has typed and not yet saved, and adds the save.
    void aboutToQuit(QuitSaves &saves);

    // Requests to the menu bar, which connects to them; any part of the
    // application or a view may emit them.
    void dismissPanel();
    void presentClipboardMenuAtCursor();
    void openSnippetManager();
    // Without a section the window keeps the one it shows.
    void openSettingsWindow(std::optional<SettingsSection> section = std::nullopt);
    // A failure to tell the user, shown by the application as an alert.
    void showAlert(const QString &title, const QString &informativeText);

private:
    // Whether the vault is unlocked and has not locked since locks locks.
    bool isUnlockedSince(quint64 locks) const;
    // The store's count of keys gone; 0 without a store.
    quint64 endedKeys() const;
    void startExpiryTimer();
    void toggleFlag(const QUuid &id, bool ClipboardEntry::*flag);
    QDateTime retentionCutoff(qint64 hours) const;
    void switchStoreSecureMode(bool active, std::shared_ptr<QPromise<void>> done);
    // The store kept rows the user asked to remove: the history shows what
    // it still holds, and the alert says why and what stays.
    void reportKeptEntries(const QString &title, const StorageError &error, const QString &kept);

    const Clock &m_clock;
    MainQueue &m_mainQueue;

    bool m_isUnlocked = false;
    // Locks so far: store reads started before one are not published.
    quint64 m_locks = 0;
    bool m_showOnboarding = false;
    bool m_showUnlockPrompt = false;
    bool m_showQuickPicker = false;
    bool m_isSecureModeActive = false;
    bool m_isPaused = false;
    QDateTime m_pausedUntil;
    QList<ClipboardEntry> m_clipboardEntries;
    QList<Snippet> m_snippets;
    QString m_searchQuery;
    SidebarTab m_selectedTab = SidebarTab::clipboard;
    QString m_statusMessage;
    QList<ClipboardEntry> m_pasteStack;
    QString m_databaseError;
    QString m_copyRefusal;

    QTimer m_expiryTimer;
    ClipboardMonitor *m_clipboardMonitor = nullptr;
    SecureStorageManager *m_storageManager = nullptr;
    std::optional<EntryContentReader> m_entryContent;
    SnippetManager *m_snippetManager = nullptr;
    SecurityController *m_securityController = nullptr;
    SettingsManager *m_settingsManager = nullptr;
    QPointer<QObject> m_panelKeyOwner;
    std::function<bool()> m_panelKeyQuery;
    // Flag writes the store has not answered, by entry: the number of the
    // last one and the flags it carries.
    struct FlagWrite {
        quint64 write = 0;
        bool isFavorite = false;
        bool isPinned = false;
    };
    QHash<QUuid, FlagWrite> m_flagWrites;
    quint64 m_flagWriteCount = 0;
    // Deleting it cancels the end of a timed pause.
    std::unique_ptr<QObject> m_resumeTimer;
    std::optional<QFuture<void>> m_privacyTask;
    PasteController m_paste {*this, m_mainQueue};
};
