#include "backup/BackupImport.h"

#include "app/AppStateController.h"
#include "backup/ImportBounds.h"
#include "backup/PayloadReader.h"
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
#include <numeric>
#include <utility>
#include <variant>
#include <vector>

namespace {

// Entries are taken in this many at most in one turn of the main thread.
constexpr qsizetype entriesPerTurn = 10'000;
// Sealing this much takes a millisecond or more.
constexpr qsizetype sealedOnWorkerSize = 1024 * 1024;

// A payload read, and the order its entries are taken in: newest first, a
// later copy of an identifier marked, since it would overwrite the newer
// one with an older one. Shared, not copied: the job lets go of each
// entry's plain content once it is sealed.
struct Restoring {
    ReadPayload read;
    std::vector<qsizetype> order;
    std::vector<bool> repeated;
};
using Opened = std::expected<std::shared_ptr<Restoring>, BackupError>;

// Reads and orders a payload, unless the vault's session ends first; off
// the main thread.
Opened restoring(const QString &source, const QString &password, qsizetype payloadLimit,
    const EncryptionService::KeySession &session)
{
    auto read = PayloadReader::readFile(source, password, PayloadReader::Texts::bounded, payloadLimit,
        [&session] { return session.expired(); });
    if (!read)
        return std::unexpected(read.error());
    auto made = std::make_shared<Restoring>(std::move(*read));
    const std::deque<BackupEntry> &entries = made->read.entries;
    made->order.resize(entries.size());
    std::iota(made->order.begin(), made->order.end(), 0);
    std::ranges::stable_sort(made->order, std::ranges::greater(),
        [&entries](qsizetype index) { return entries[index].createdAt; });
    std::vector<qsizetype> byId = made->order;
    std::ranges::stable_sort(
        byId, std::ranges::less(), [&entries](qsizetype index) { return entries[index].id; });
    made->repeated.resize(entries.size());
    for (size_t i = 1; i < byId.size(); ++i)
        made->repeated[size_t(byId[i])] = entries[byId[i]].id == entries[byId[i - 1]].id;
    return made;
}

using Sealed = std::expected<ClipboardEntry, SealingError>;

// The entry sealed under the session's key, in the order search text,
// content, preview, rich text; the first failure when any sealing fails. A
// sensitive entry is never searchable, and nothing imported expires. The
// plain bytes become the sealed ones, so that a large content is not held
// twice. Takes nothing by reference: it runs on a worker that quitting does
// not wait for.
Sealed sealed(BackupEntry &&entry, const EncryptionService::KeySession &session)
{
    ClipboardEntry sealedEntry {
        .id = entry.id,
        .contentType = entry.contentType,
        .createdAt = entry.createdAt,
        .isFavorite = entry.isFavorite,
        .isPinned = entry.isPinned,
        .sourceApp = std::move(entry.sourceApp),
        .isSensitive = entry.isSensitive,
    };
    std::optional<SealingError> failure;
    const auto seal = [&](std::optional<QByteArray> &&plain) -> std::optional<QByteArray> {
        if (!plain || failure)
            return std::nullopt;
        auto box = EncryptionService::encryptInPlace(std::move(*plain), session);
        if (!box) {
            failure = box.error();
            return std::nullopt;
        }
        return std::move(*box);
    };
    const auto utf8 = [](const std::optional<QString> &text) {
        return text ? std::optional(text->toUtf8()) : std::nullopt;
    };
    if (!entry.isSensitive)
        sealedEntry.encryptedSearchText = seal(utf8(entry.searchText));
    sealedEntry.encryptedContent = seal(std::exchange(entry.content, {})).value_or(QByteArray());
    sealedEntry.encryptedPreview = seal(utf8(entry.preview));
    sealedEntry.encryptedRich = seal(std::exchange(entry.rich, {}));
    if (failure)
        return std::unexpected(*failure);
    return sealedEntry;
}

// The store's words for why it did not take a write.
QString reason(const StorageError &error)
{
    return error.detail.isEmpty() ? description(error) : error.detail;
}

QString reason(const SnippetError &error)
{
    if (const auto *storage = std::get_if<StorageError>(&error))
        return reason(*storage);
    return description(error);
}

// How many more ordinary entries the history limit lets in; a damaged limit
// must not overflow.
qint64 roomUnder(qint64 limit, qint64 count)
{
    return limit > count ? limit - count : 0;
}

// One import, from the checks to the reloads. Every step continues on the
// main thread; entries and snippets are written one per call to the store,
// each only while the vault's session the import started in is current.
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
        m_session = encryption().keySession();
        whenFinished(&m_appState, m_store->isRAMMode(), [self = shared_from_this()](bool memoryOnly) {
            if (memoryOnly)
                self->finish(std::unexpected(BackupError {BackupError::privateSession}));
            else if (self->inSession())
                self->open();
        });
        return future;
    }

private:
    const EncryptionService &encryption() const { return m_store->encryptionService(); }
    ReadPayload &read() { return m_restoring->read; }

    void open()
    {
        whenFinished(&m_appState,
            QtConcurrent::run(restoring, m_source, m_password, m_payloadLimit, m_session),
            [self = shared_from_this()](const Opened &opened) {
                // A read the lock cut short says nothing of the file.
                if (!self->inSession())
                    return;
                if (!opened)
                    self->finish(std::unexpected(opened.error()));
                else
                    self->plan(*opened);
            });
    }

    void plan(std::shared_ptr<Restoring> restoring)
    {
        m_restoring = std::move(restoring);
        m_entriesInBackup = qsizetype(read().entries.size());
        m_snippetsInBackup = read().payload.snippets.size();
        const qint64 hours = m_settings.retentionHours();
        if (hours >= 1)
            m_cutoff = retentionCutoff(m_clock.now(), hours);
        for (const ClipboardEntry &entry : m_appState.clipboardEntries())
            m_knownIds.insert(entry.id);
        whenFinished(&m_appState, m_store->entryCount(), [self = shared_from_this()](qint64 count) {
            self->m_room = roomUnder(self->m_settings.maxHistoryCount(), count);
            self->writeEntries();
        });
    }

    bool admits(const BackupEntry &entry, bool repeated)
    {
        if (repeated)
            return false;
        const bool isProtected = entry.isPinned || entry.isFavorite;
        if (m_cutoff && entry.createdAt < *m_cutoff && !isProtected)
            return false;
        if (m_knownIds.contains(entry.id) || isProtected)
            return true;
        if (m_room < 1)
            return false;
        --m_room;
        return true;
    }

    // Skips up to the next entry to write, then waits for its write; a long
    // run of skipped entries gives the main thread back now and then. A large
    // entry is sealed on a worker, where it holds up nothing.
    void writeEntries()
    {
        const std::vector<qsizetype> &order = m_restoring->order;
        for (qsizetype taken = 0; m_next < qsizetype(order.size()); ++taken) {
            if (taken == entriesPerTurn) {
                QMetaObject::invokeMethod(
                    &m_appState, [self = shared_from_this()] { self->writeEntries(); }, Qt::QueuedConnection);
                return;
            }
            const qsizetype index = order[size_t(m_next++)];
            BackupEntry entry = std::exchange(read().entries[size_t(index)], {});
            if (!admits(entry, m_restoring->repeated[size_t(index)])) {
                ++m_counts.entriesSkipped;
                continue;
            }
            if (entry.content.size() + entry.rich.value_or(QByteArray()).size() < sealedOnWorkerSize) {
                const Sealed sealedEntry = sealed(std::move(entry), m_session);
                if (!inSession())
                    return;
                if (sealedEntry)
                    return write(*sealedEntry);
                passedOver(description(sealedEntry.error()));
                continue;
            }
            whenFinished(&m_appState,
                QtConcurrent::run([entry = std::move(entry), session = m_session]() mutable {
                    return sealed(std::move(entry), session);
                }),
                [self = shared_from_this()](const Sealed &sealedEntry) {
                    if (!self->inSession())
                        return;
                    if (sealedEntry)
                        return self->write(*sealedEntry);
                    self->passedOver(description(sealedEntry.error()));
                    self->writeEntries();
                });
            return;
        }
        m_next = 0;
        releaseEntries();
        writeSnippets();
    }

    // Writes an entry sealed in the session, and goes on with the next. A
    // private session switched on meanwhile refuses it in the same turn of
    // the store.
    void write(const ClipboardEntry &sealedEntry)
    {
        whenFinished(&m_appState, m_store->insertEntryOnDisk(sealedEntry),
            [self = shared_from_this()](const std::expected<void, StorageError> &stored) {
                if (stored)
                    ++self->m_counts.entriesImported;
                else if (stored.error().code == StorageError::Code::memoryOnly)
                    return self->stop(BackupError {BackupError::privateSessionStarted});
                else
                    self->passedOver(reason(stored.error()));
                self->writeEntries();
            });
    }

    void writeSnippets()
    {
        QList<Snippet> &snippets = read().payload.snippets;
        if (m_next == snippets.size())
            return mergeSettings();
        // The store seals it at the call, under the key loaded then.
        if (!inSession())
            return;
        Snippet snippet = std::exchange(snippets[m_next], {});
        snippet.content = QString::fromUtf8(std::exchange(read().snippetContents[m_next], {}));
        ++m_next;
        whenFinished(&m_appState, m_store->insertSnippet(snippet),
            [self = shared_from_this()](const std::expected<void, SnippetError> &stored) {
                if (stored)
                    ++self->m_counts.snippetsImported;
                else
                    self->passedOver(reason(stored.error()));
                self->writeSnippets();
            });
    }

    // Once each, in the payload's order, up to the bounds; against sets, so
    // that long lists take no longer than reading them.
    void mergeSettings()
    {
        if (!inSession())
            return;
        QList<ExcludedApp> apps = m_settings.excludedApps();
        const qsizetype appsBefore = apps.size();
        QSet<QString> identifiers;
        for (const ExcludedApp &app : std::as_const(apps))
            identifiers.insert(app.bundleIdentifier);
        for (const ExcludedApp &app : std::as_const(read().payload.excludedApps)) {
            if (apps.size() >= ImportBounds::applicationCount)
                break;
            if (!identifiers.contains(app.bundleIdentifier)) {
                identifiers.insert(app.bundleIdentifier);
                apps.append(app);
            }
        }
        if (apps.size() > appsBefore)
            m_settings.setExcludedApps(apps);
        QStringList folders = m_settings.snippetFolders();
        const qsizetype foldersBefore = folders.size();
        QSet<QString> names(folders.cbegin(), folders.cend());
        for (const QString &folder : std::as_const(read().payload.snippetFolders)) {
            if (folders.size() >= ImportBounds::folderCount)
                break;
            if (!names.contains(folder)) {
                names.insert(folder);
                folders.append(folder);
            }
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
        if (m_storeFailure)
            m_counts.cutShort = shortfall(*m_storeFailure);
        finish(m_counts);
    }

    // An entry or snippet the vault did not take: the import goes on, and
    // tells the first reason.
    void passedOver(const QString &why)
    {
        if (!m_storeFailure)
            m_storeFailure = BackupError::failedToStore(why);
    }

    // Whether the vault's session the import started in is still current
    // and its history on disk; once not (a lock, a reset, a private
    // session), the import ends here with what it wrote so far.
    bool inSession()
    {
        if (!encryption().isCurrent(m_session))
            stop(BackupError {BackupError::interrupted});
        else if (m_appState.isSecureModeActive())
            stop({m_restoring ? BackupError::privateSessionStarted : BackupError::privateSession});
        else
            return true;
        return false;
    }

    void stop(const BackupError &why)
    {
        if (m_restoring) {
            m_counts.cutShort = shortfall(why);
            finish(m_counts);
            releaseEntries();
        } else {
            finish(std::unexpected(why));
        }
    }

    // Millions of records take a while to free: not on the main thread.
    void releaseEntries()
    {
        (void)QtConcurrent::run([done = std::exchange(read().entries, {})] {});
    }

    ImportShortfall shortfall(const BackupError &why) const
    {
        return {why, m_entriesInBackup, m_snippetsInBackup};
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
    EncryptionService::KeySession m_session;
    QPromise<ImportResult> m_promise;

    std::shared_ptr<Restoring> m_restoring;
    qsizetype m_entriesInBackup = 0;
    qsizetype m_snippetsInBackup = 0;
    std::optional<QDateTime> m_cutoff;
    QSet<QUuid> m_knownIds;
    qint64 m_room = 0;
    qsizetype m_next = 0;
    ImportCounts m_counts;
    std::optional<BackupError> m_storeFailure;
};

} // namespace

QFuture<ImportResult> importBackup(const QString &source, const QString &password,
    AppStateController &appState, SettingsManager &settings, const Clock &clock, qsizetype payloadLimit)
{
    return std::make_shared<ImportJob>(source, password, appState, settings, clock, payloadLimit)->start();
}
