#include "backup/BackupExport.h"

#include "app/AppStateController.h"
#include "backup/BackupPayload.h"
#include "base/FileWrites.h"
#include "base/Utf8Text.h"
#include "base/WhenFinished.h"
#include "crypto/EncryptionService.h"
#include "records/AuditEvent.h"
#include "settings/SettingsManager.h"
#include "store/EntryContentReader.h"
#include "store/SecureStorageManager.h"
#include "store/SnippetManager.h"

#include <QCoreApplication>
#include <QPromise>
#include <QSaveFile>
#include <QtConcurrent/QtConcurrentRun>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Enough reads queued to keep the store's worker busy between two turns of
// the main thread.
constexpr qsizetype readsInFlight = 32;

using Written = std::expected<void, BackupSealError>;

// Opened beside the destination before the sealing starts, so that a
// folder that takes no file says so before the key derivation's seconds.
std::expected<std::shared_ptr<QSaveFile>, BackupSealError> openBeside(const QString &destination)
{
    auto file = std::make_shared<QSaveFile>(destination);
    file->setDirectWriteFallback(false);
    // It holds the whole history in plain form: its owner's alone, as the
    // database is, whatever the umask or a file it replaces allowed.
    // Unbuffered, so that every write reaches the disk here, where a failure
    // keeps its reason.
    if (!file->open(QIODevice::WriteOnly | QIODevice::Unbuffered)
        || !file->setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return std::unexpected(BackupError::failedToWrite(file->errorString()));
    return file;
}

// Seals the payload into file and syncs it: off the main thread, which the
// key derivation and the disk's sync would hold up. The file takes the
// destination's place on the main thread, where a lock is never midway.
Written writeSealed(
    const BackupPayload &payload, const QString &password, qsizetype payloadLimit, QSaveFile &file)
{
    const auto sealed = sealBackup(payload.encode(), password, payloadLimit);
    if (!sealed)
        return std::unexpected(sealed.error());
    if (const auto written = FileWrites::writeAll(file, *sealed); !written)
        return std::unexpected(BackupError::failedToWrite(written.error()));
    if (const auto synced = FileWrites::syncToDisk(file); !synced)
        return std::unexpected(BackupError::failedToWrite(synced.error()));
    return {};
}

std::optional<QString> openedText(const EncryptionService &encryption, const std::optional<QByteArray> &box)
{
    if (!box)
        return std::nullopt;
    const auto bytes = encryption.decrypt(*box);
    return bytes ? Utf8Text::decode(*bytes) : std::nullopt;
}

BackupEntry record(
    const ClipboardEntry &entry, EntryContentReader::Opened opened, const EncryptionService &encryption)
{
    return {
        .id = entry.id,
        .contentType = entry.contentType,
        .createdAt = entry.createdAt,
        .isFavorite = entry.isFavorite,
        .isPinned = entry.isPinned,
        .sourceApp = entry.sourceApp,
        .isSensitive = entry.isSensitive,
        .content = std::move(opened.content),
        .preview = openedText(encryption, entry.encryptedPreview),
        .searchText = openedText(encryption, entry.encryptedSearchText),
        .rich = std::move(opened.rich),
    };
}

// One export, from the checks to the audit row. Every step continues on the
// main thread; a lock noticed after any wait ends it with locked.
class ExportJob final : public std::enable_shared_from_this<ExportJob> {
public:
    ExportJob(QString destination, QString password, AppStateController &appState, SettingsManager &settings,
        const Clock &clock, qsizetype payloadLimit)
        : m_destination(std::move(destination)), m_password(std::move(password)), m_appState(appState),
          m_settings(settings), m_clock(clock), m_payloadLimit(payloadLimit)
    {
        m_promise.start();
    }

    QFuture<ExportResult> start()
    {
        const QFuture<ExportResult> future = m_promise.future();
        m_store = m_appState.storageManager();
        if (!m_store || !m_store->encryptionService().isReady()) {
            fail(BackupError {BackupError::locked});
            return future;
        }
        m_session = m_store->encryptionService().keySession();
        m_reader.emplace(*m_store, EntryContentReader::Source::database);
        whenFinished(&m_appState, m_store->isRAMMode(), [self = shared_from_this()](bool memoryOnly) {
            if (memoryOnly)
                self->fail(BackupError {BackupError::privateSession});
            else if (self->stillUnlocked())
                self->fetchEntries();
        });
        return future;
    }

private:
    // From the database: a private session started from here on keeps
    // only what comes after it in memory, and the backup is of the vault
    // it began from, whole.
    void fetchEntries()
    {
        whenFinished(&m_appState, m_store->fetchAllEntriesOnDisk(),
            [self = shared_from_this()](const HistoryRead &read) {
                if (!self->stillUnlocked())
                    return;
                // Rows it could not even list would be missing uncounted: a
                // file that may replace a whole backup is not written then.
                if (read.unread.uncounted)
                    return self->fail(BackupError::unreadableHistory(read.unread.reason));
                self->m_unread = read.unread;
                for (const ClipboardEntry &entry : read.entries) {
                    if (!entry.expiresAt)
                        self->m_entries.append(entry);
                }
                self->m_records.resize(self->m_entries.size());
                self->readEntries();
            });
    }

    // Keeps a few reads queued on the store; content the published entry
    // holds opens at once, inside the loop.
    void readEntries()
    {
        if (m_reading)
            return;
        m_reading = true;
        while (!m_ended && m_inFlight < readsInFlight && m_next < m_entries.size()) {
            const qsizetype index = m_next++;
            ++m_inFlight;
            m_reader->open(
                m_entries.at(index), &m_appState,
                [self = shared_from_this(), index](
                    const EntryContentReader::Result &opened) { self->entryRead(index, opened); },
                EntryContentReader::Rich::include);
        }
        m_reading = false;
        if (!m_ended && m_inFlight == 0 && m_next == m_entries.size())
            fetchSnippets();
    }

    void entryRead(qsizetype index, const EntryContentReader::Result &opened)
    {
        --m_inFlight;
        if (m_ended)
            return;
        using Unavailable = EntryContentReader::Unavailable;
        if (opened)
            m_records[index] = record(m_entries.at(index), *opened, m_store->encryptionService());
        else if (opened.error().code == Unavailable::Code::locked)
            return fail(BackupError {BackupError::lockedDuringBackup});
        else if (opened.error().code == Unavailable::Code::unreadable)
            m_unread.add(opened.error().detail);
        readEntries();
    }

    void fetchSnippets()
    {
        SnippetManager *snippets = m_appState.snippetManager();
        if (!snippets)
            return seal();
        // Rows that do not open are dropped silently: a lock meanwhile would
        // pass for a vault without snippets.
        whenFinished(&m_appState, snippets->storageManager().fetchSnippets(),
            [self = shared_from_this()](const SnippetRead &read) {
                if (!self->stillUnlocked())
                    return;
                if (read.unread.uncounted)
                    return self->fail(BackupError::unreadableSnippets(read.unread.reason));
                self->m_snippets = read.snippets;
                self->m_unreadSnippets = read.unread;
                self->seal();
            });
    }

    void seal()
    {
        BackupPayload payload {
            .createdAt = m_clock.now(),
            .appVersion = QCoreApplication::applicationVersion(),
            .snippets = std::move(m_snippets),
            .excludedApps = m_settings.excludedApps(),
            .snippetFolders = m_settings.snippetFolders(),
        };
        for (std::optional<BackupEntry> &opened : m_records) {
            if (opened)
                payload.entries.append(std::move(*opened));
        }
        m_entries.clear();
        m_records.clear();
        m_counts = {payload.entries.size(), payload.snippets.size(), m_unread, m_unreadSnippets};
        auto opened = openBeside(m_destination);
        if (!opened)
            return fail(opened.error());
        std::shared_ptr<QSaveFile> file = std::move(*opened);
        auto writing = QtConcurrent::run(
            [payload = std::move(payload), password = m_password, limit = m_payloadLimit, file] {
                return writeSealed(payload, password, limit, *file);
            });
        whenFinished(&m_appState, writing, [self = shared_from_this(), file](const Written &written) {
            if (!written)
                self->fail(written.error());
            else if (self->stillUnlocked())
                self->commit(*file);
        });
    }

    // A lock or an erase before this turn leaves no file; the audit row is
    // queued in the same turn, ahead of any erase that follows.
    void commit(QSaveFile &file)
    {
        if (!file.commit())
            return fail(BackupError::failedToWrite(file.errorString()));
        audit();
    }

    void audit()
    {
        const AuditEvent event {
            QUuid::createUuid(), m_clock.now(), AuditEventType::exportPerformed, u"backup"_s};
        // The file is in place; a refused audit row takes nothing from it.
        whenFinished(&m_appState, m_store->logAuditEvent(event),
            [self = shared_from_this()](const StorageOutcome &) { self->finish(self->m_counts); });
    }

    // Under the key the backup began with: a lock, an erase or another key
    // since then ends it, also while a worker still holds the key.
    bool stillUnlocked()
    {
        if (m_store->encryptionService().isCurrent(m_session))
            return true;
        fail(BackupError {BackupError::lockedDuringBackup});
        return false;
    }

    void fail(const BackupSealError &error) { finish(std::unexpected(error)); }

    void finish(const ExportResult &result)
    {
        m_ended = true;
        m_promise.addResult(result);
        m_promise.finish();
    }

    const QString m_destination;
    const QString m_password;
    AppStateController &m_appState;
    SettingsManager &m_settings;
    const Clock &m_clock;
    const qsizetype m_payloadLimit;
    SecureStorageManager *m_store = nullptr;
    EncryptionService::KeySession m_session;
    std::optional<EntryContentReader> m_reader;
    QPromise<ExportResult> m_promise;

    // Those without an expiry time, newest first, and what each opened to.
    QList<ClipboardEntry> m_entries;
    QList<std::optional<BackupEntry>> m_records;
    // Rows the database could not list or read; content that it read but
    // that does not open is left out uncounted.
    UnreadRows m_unread;
    qsizetype m_next = 0;
    qsizetype m_inFlight = 0;
    bool m_reading = false;
    bool m_ended = false;
    QList<Snippet> m_snippets;
    UnreadRows m_unreadSnippets;
    ExportCounts m_counts;
};

} // namespace

QFuture<ExportResult> exportBackup(const QString &destination, const QString &password,
    AppStateController &appState, SettingsManager &settings, const Clock &clock, qsizetype payloadLimit)
{
    return std::make_shared<ExportJob>(destination, password, appState, settings, clock, payloadLimit)
        ->start();
}
