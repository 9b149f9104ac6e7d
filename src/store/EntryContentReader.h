#pragma once

#include "records/ClipboardEntry.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUuid>

#include <expected>
#include <functional>
#include <optional>

class EncryptionService;
class SecureStorageManager;

// Opens a history entry's content for whoever needs it: paste and copy,
// transforms, text recognition, a row's thumbnail, QR codes, the backup
// export. Content the published entry holds is opened at once, before
// open() returns; content left in the store is read by id on the store's
// worker and opened on the main thread when it arrives (milliseconds). The
// answer carries the id it belongs to and is never another entry's content;
// nothing is answered once context is gone.
//
// A view model, for a row's thumbnail:
//     reader.open(entry, this, [this](const EntryContentReader::Result &opened) {
//         if (opened && opened->id == m_entryId)
//             setThumbnail(opened->content);
//     });
// The backup export, one entry after another, with rich text, from the
// database whatever a private session started meanwhile keeps in memory:
//     const EntryContentReader fromDisk(store, EntryContentReader::Source::database);
//     fromDisk.open(entries[next], this, [this, next](const EntryContentReader::Result &opened) {
//         if (opened)
//             records.append(record(entries[next], *opened));
//         exportFrom(next + 1);
//     }, EntryContentReader::Rich::include);
// Lives on the main thread, as long as the store.
class EntryContentReader final {
    Q_DISABLE_COPY(EntryContentReader)

public:
    struct Unavailable {
        enum class Code {
            // Deleted meanwhile.
            gone,
            // Locked when asked, or while the content was read.
            locked,
            // Damaged: it does not open under the key.
            damaged,
            // The database could not read it; it stays there.
            unreadable,
        };
        Code code;
        // The database's words, for unreadable.
        QString detail {};
    };
    struct Opened {
        QUuid id {};
        QByteArray content {};
        // Only when asked for; none when the entry has none or it does not open.
        std::optional<QByteArray> rich {};
    };
    using Result = std::expected<Opened, Unavailable>;
    using Handler = std::function<void(const Result &)>;
    // Rich text always stays in the store: asking for it means a read.
    enum class Rich { skip, include };
    // Where content left in the store is read: the history as it is now, in
    // memory during a private session, or the database's.
    enum class Source { history, database };

    explicit EntryContentReader(SecureStorageManager &store, Source source = Source::history);

    void open(const ClipboardEntry &entry, QObject *context, Handler handler, Rich rich = Rich::skip) const;

private:
    SecureStorageManager &m_store;
    const EncryptionService &m_encryption;
    const Source m_source;
};
