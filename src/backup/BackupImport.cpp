#include "backup/BackupImport.h"

#include "app/AppStateController.h"
#include "backup/BackupPayload.h"
#include "base/WhenFinished.h"
#include "crypto/EncryptionService.h"
#include "settings/RetentionCutoff.h"
#include "settings/SettingsManager.h"
#include "store/SecureStorageManager.h"

#include <QPromise>
#include <QSet>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <memory>

namespace {

using DecodedPayload = std::expected<BackupPayload, BackupError>;

// The entry sealed under the vault's key, in the order search text,
// content, preview, rich text; none when any sealing fails. A sensitive
// entry is never searchable, and nothing imported expires.
std::optional<ClipboardEntry> sealed(const BackupEntry &entry, const EncryptionService &encryption)
{
    ClipboardEntry sealedEntry {
        .id = entry.id,
        .contentType = entry.contentType,
        .createdAt = entry.createdAt,
        .isFavorite = entry.isFavorite,
        .isPinned = entry.isPinned,
        .sourceApp = entry.sourceApp,
        .isSensitive = entry.isSensitive,
    };
    bool failed = false;
    const auto seal = [&](const std::optional<QByteArray> &plain) -> std::optional<QByteArray> {
        if (!plain || failed)
            return std::nullopt;
        auto box = encryption.encrypt(*plain);
        failed = !box;
        return box ? std::optional(std::move(*box)) : std::nullopt;
    };
    const auto utf8 = [](const std::optional<QString> &text) {
        return text ? std::optional(text->toUtf8()) : std::nullopt;
    };
    if (!entry.isSensitive)
        sealedEntry.encryptedSearchText = seal(utf8(entry.searchText));
    sealedEntry.encryptedContent = seal(entry.content).value_or(QByteArray());
    sealedEntry.encryptedPreview = seal(utf8(entry.preview));
    sealedEntry.encryptedRich = seal(entry.rich);
    if (failed)
        return std::nullopt;
    return sealedEntry;
}

// How many more ordinary entries the history limit lets in; a damaged limit
// must not overflow.
qint64 roomUnder(qint64 limit, qint64 count)
{
    return limit > count ? limit - count : 0;
}

// One import, from the checks to the reloads. Every step continues on the
// main thread; entries and snippets are written one per call to the store.
class ImportJob final : public std::enable_shared_from_this<ImportJob> {
public:
    ImportJob(QString source, QString password, AppStateController &appState, SettingsManager &settings,
        const Clock &clock, qsizetype payloadLimit)
        : m_source(std::move(source)), m_password(std::move(password)), m_appState(appState),
          m_settings(settings), m_clock(clock), m_payloadLimit(payloadLimit)
    {
        m_promise.start();
    }

    QFuture<ImportResult> start()
    {
        const QFuture<ImportResult> future = m_promise.future();
        m_store = m_appState.storageManager();
        if (!m_store || !encryption().isReady()) {
            finish(std::unexpected(BackupError {BackupError::locked}));
            return future;
        }
        whenFinished(&m_appState, m_store->isRAMMode(), [self = shared_from_this()](bool memoryOnly) {
            if (memoryOnly)
                self->finish(std::unexpected(BackupError {BackupError::privateSession}));
            else
                self->open();
        });
        return future;
    }

private:
    const EncryptionService &encryption() const { return m_store->encryptionService(); }

    void open()
    {
        auto opening = QtConcurrent::run(
            [source = m_source, password = m_password, limit = m_payloadLimit]() -> DecodedPayload {
                const auto json = openBackupFile(source, password, limit);
                return json ? BackupPayload::decode(*json) : std::unexpected(json.error());
            });
        whenFinished(&m_appState, opening, [self = shared_from_this()](const DecodedPayload &payload) {
            if (!payload)
                self->finish(std::unexpected(payload.error()));
            // Nothing is written yet: better refused than every entry
            // skipped and reported as an import.
            else if (!self->encryption().isReady())
                self->finish(std::unexpected(BackupError {BackupError::locked}));
            else
                self->plan(*payload);
        });
    }

    void plan(const BackupPayload &payload)
    {
        m_payload = payload;
        const qint64 hours = m_settings.retentionHours();
        if (hours >= 1)
            m_cutoff = retentionCutoff(m_clock.now(), hours);
        for (const ClipboardEntry &entry : m_appState.clipboardEntries())
            m_knownIds.insert(entry.id);
        std::ranges::stable_sort(m_payload.entries, std::ranges::greater(), &BackupEntry::createdAt);
        whenFinished(&m_appState, m_store->entryCount(), [self = shared_from_this()](qint64 count) {
            self->m_room = roomUnder(self->m_settings.maxHistoryCount(), count);
            self->writeEntries();
        });
    }

    bool admits(const BackupEntry &entry)
    {
        const bool isProtected = entry.isPinned || entry.isFavorite;
        // A repeat within the file would overwrite the newer copy with an
        // older one.
        if (m_seenIds.contains(entry.id))
            return false;
        m_seenIds.insert(entry.id);
        if (m_cutoff && entry.createdAt < *m_cutoff && !isProtected)
            return false;
        if (m_knownIds.contains(entry.id) || isProtected)
            return true;
        if (m_room < 1)
            return false;
        --m_room;
        return true;
    }

    // Skips synchronously up to the next entry to write, then waits for its
    // write.
    void writeEntries()
    {
        while (m_next < m_payload.entries.size()) {
            const BackupEntry &entry = m_payload.entries.at(m_next++);
            const std::optional<ClipboardEntry> sealedEntry
                = admits(entry) ? sealed(entry, encryption()) : std::nullopt;
            if (!sealedEntry) {
                ++m_counts.entriesSkipped;
                continue;
            }
            whenFinished(
                &m_appState, m_store->insertEntry(*sealedEntry), [self = shared_from_this()](bool stored) {
                    ++(stored ? self->m_counts.entriesImported : self->m_counts.entriesSkipped);
                    self->writeEntries();
                });
            return;
        }
        m_next = 0;
        writeSnippets();
    }

    void writeSnippets()
    {
        if (m_next == m_payload.snippets.size())
            return mergeSettings();
        const Snippet &snippet = m_payload.snippets.at(m_next++);
        whenFinished(&m_appState, m_store->insertSnippet(snippet),
            [self = shared_from_this()](const std::expected<void, SnippetError> &stored) {
                if (stored)
                    ++self->m_counts.snippetsImported;
                self->writeSnippets();
            });
    }

    void mergeSettings()
    {
        QList<ExcludedApp> apps = m_settings.excludedApps();
        const qsizetype appsBefore = apps.size();
        for (const ExcludedApp &app : std::as_const(m_payload.excludedApps)) {
            if (std::ranges::find(apps, app.bundleIdentifier, &ExcludedApp::bundleIdentifier) == apps.end())
                apps.append(app);
        }
        if (apps.size() > appsBefore)
            m_settings.setExcludedApps(apps);
        QStringList folders = m_settings.snippetFolders();
        const qsizetype foldersBefore = folders.size();
        for (const QString &folder : std::as_const(m_payload.snippetFolders)) {
            if (!folders.contains(folder))
                folders.append(folder);
        }
        if (folders.size() > foldersBefore)
            m_settings.setSnippetFolders(folders);
        m_appState.clearLastContentHash();
        // Reloading now would publish the history into the locked vault.
        if (m_appState.isUnlocked()) {
            m_appState.reloadEntries();
            if (m_appState.snippetManager())
                QMetaObject::invokeMethod(
                    &m_appState, [state = &m_appState] { state->loadSnippets(); }, Qt::QueuedConnection);
        }
        finish(m_counts);
    }

    void finish(const ImportResult &result)
    {
        m_promise.addResult(result);
        m_promise.finish();
    }

    const QString m_source;
    const QString m_password;
    AppStateController &m_appState;
    SettingsManager &m_settings;
    const Clock &m_clock;
    const qsizetype m_payloadLimit;
    SecureStorageManager *m_store = nullptr;
    QPromise<ImportResult> m_promise;

    BackupPayload m_payload;
    std::optional<QDateTime> m_cutoff;
    QSet<QUuid> m_knownIds;
    QSet<QUuid> m_seenIds;
    qint64 m_room = 0;
    qsizetype m_next = 0;
    ImportCounts m_counts;
};

} // namespace

QFuture<ImportResult> importBackup(const QString &source, const QString &password,
    AppStateController &appState, SettingsManager &settings, const Clock &clock, qsizetype payloadLimit)
{
    return std::make_shared<ImportJob>(source, password, appState, settings, clock, payloadLimit)->start();
}
