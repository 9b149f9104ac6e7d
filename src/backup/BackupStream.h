#pragma once

#include "backup/BackupError.h"
#include "backup/RawDeflate.h"
#include "crypto/AesGcm.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <expected>
#include <memory>

// The payload's JSON as it comes out of a backup file, decrypted and
// inflated a piece at a time: neither the file, its compressed payload nor
// the JSON is ever held whole. Nothing read is authentic until finish() has
// checked the tag. Deriving the key takes hundreds of thousands of rounds:
// keep it off the main thread.
class BackupStream final {
    Q_DISABLE_COPY(BackupStream)

public:
    ~BackupStream();

    // The file at path, refused unless it is a regular file: a FIFO or a
    // device would block the reader for good.
    static std::expected<std::unique_ptr<BackupStream>, BackupError> openFile(
        const QString &path, QStringView password, qsizetype payloadLimit);
    // A file held in memory; it must outlive the stream.
    static std::expected<std::unique_ptr<BackupStream>, BackupError> openBytes(
        QByteArrayView file, QStringView password, qsizetype payloadLimit);

    // The next JSON bytes, up to size; 0 at the end of the payload, and from
    // the first failure on.
    qsizetype read(char *out, qsizetype size);

    // Reads what is left of the file and tells what decides, in the order
    // openBackup reports it: a failed read, a tag that does not match (a
    // wrong password), a payload that does not inflate whole.
    std::expected<void, BackupError> finish();

    // Where the file's bytes come from.
    struct Source;

private:
    BackupStream(std::unique_ptr<Source> source, qsizetype payloadLimit);
    static std::expected<std::unique_ptr<BackupStream>, BackupError> open(
        std::unique_ptr<Source> source, QStringView password, qsizetype payloadLimit);
    // The next piece of plaintext into the inflater; false at the end.
    bool decryptNext();

    std::unique_ptr<Source> m_source;
    std::unique_ptr<AesGcm::Opener> m_opener;
    RawDeflate::Inflater m_inflater;
    QByteArray m_tag;
    QByteArray m_chunk;
    qint64 m_offset = 0;
    qint64 m_ciphertextLeft = 0;
    bool m_readFailed = false;
    bool m_decryptFailed = false;
};
