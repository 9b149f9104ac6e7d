#include "backup/BackupStream.h"

#include "backup/BackupFile.h"
#include "base/RegularFile.h"

#include <algorithm>
#include <cstring>

namespace {

// Ciphertext decrypted, and inflated, this much at a time.
constexpr qsizetype chunkSize = 1024 * 1024;

std::unexpected<BackupError> failure(BackupError::Code code)
{
    return std::unexpected(BackupError {code});
}

} // namespace

// Where the file's bytes come from, read front to back but for the tag.
struct BackupStream::Source {
    virtual ~Source() = default;
    virtual qint64 size() const = 0;
    // Exactly size bytes from offset on; false when they cannot be read.
    virtual bool read(qint64 offset, char *out, qsizetype size) = 0;
};

namespace {

class FileSource final : public BackupStream::Source {
public:
    QFile file;

    qint64 size() const override { return file.size(); }
    bool read(qint64 offset, char *out, qsizetype size) override
    {
        if (file.pos() != offset && !file.seek(offset))
            return false;
        while (size > 0) {
            const qint64 read = file.read(out, size);
            if (read <= 0)
                return false;
            out += read;
            size -= read;
        }
        return true;
    }
};

class BytesSource final : public BackupStream::Source {
public:
    explicit BytesSource(QByteArrayView bytes) : m_bytes(bytes) { }

    qint64 size() const override { return m_bytes.size(); }
    bool read(qint64 offset, char *out, qsizetype size) override
    {
        if (offset < 0 || offset + size > m_bytes.size())
            return false;
        std::memcpy(out, m_bytes.data() + offset, size_t(size));
        return true;
    }

private:
    QByteArrayView m_bytes;
};

} // namespace

BackupStream::BackupStream(std::unique_ptr<Source> source, qsizetype payloadLimit)
    : m_source(std::move(source)), m_inflater(payloadLimit)
{
}

BackupStream::~BackupStream() = default;

std::expected<std::unique_ptr<BackupStream>, BackupError> BackupStream::openFile(
    const QString &path, QStringView password, qsizetype payloadLimit)
{
    auto source = std::make_unique<FileSource>();
    if (!RegularFile::openForReading(source->file, path))
        return failure(BackupError::notABackup);
    return open(std::move(source), password, payloadLimit);
}

std::expected<std::unique_ptr<BackupStream>, BackupError> BackupStream::openBytes(
    QByteArrayView file, QStringView password, qsizetype payloadLimit)
{
    return open(std::make_unique<BytesSource>(file), password, payloadLimit);
}

std::expected<std::unique_ptr<BackupStream>, BackupError> BackupStream::open(
    std::unique_ptr<Source> source, QStringView password, qsizetype payloadLimit)
{
    const qint64 size = source->size();
    QByteArray start(BackupFile::headerSize + AesGcm::nonceSize, Qt::Uninitialized);
    const qsizetype available = qsizetype(std::min<qint64>(size, start.size()));
    if (!source->read(0, start.data(), available))
        return failure(BackupError::notABackup);
    start.truncate(available);
    const auto rounds = BackupFile::checkStart(start, size, payloadLimit);
    if (!rounds)
        return std::unexpected(rounds.error());
    std::unique_ptr<BackupStream> stream(new BackupStream(std::move(source), payloadLimit));
    stream->m_tag.resize(AesGcm::tagSize);
    if (!stream->m_source->read(size - AesGcm::tagSize, stream->m_tag.data(), AesGcm::tagSize))
        return failure(BackupError::notABackup);
    const QByteArrayView header = QByteArrayView(start).first(BackupFile::headerSize);
    const auto key = deriveBackupKey(password, header.sliced(BackupFile::saltOffset), *rounds);
    if (!key)
        return std::unexpected(key.error());
    stream->m_opener = std::make_unique<AesGcm::Opener>(
        key->view(), QByteArrayView(start).sliced(BackupFile::headerSize), header);
    if (!stream->m_opener->isValid())
        return failure(BackupError::wrongPassword);
    stream->m_offset = start.size();
    stream->m_ciphertextLeft = size - start.size() - AesGcm::tagSize;
    return stream;
}

bool BackupStream::decryptNext()
{
    if (m_ciphertextLeft == 0 || m_readFailed)
        return false;
    const qsizetype size = qsizetype(std::min<qint64>(m_ciphertextLeft, chunkSize));
    m_chunk.resize(size);
    if (!m_source->read(m_offset, m_chunk.data(), size)) {
        m_readFailed = true;
        return false;
    }
    m_offset += size;
    m_ciphertextLeft -= size;
    m_decryptFailed = m_decryptFailed || !m_opener->update(m_chunk.data(), size);
    return !m_decryptFailed;
}

qsizetype BackupStream::read(char *out, qsizetype size)
{
    while (size > 0) {
        if (const qsizetype produced = m_inflater.inflate(out, size); produced > 0)
            return produced;
        if (m_inflater.hasEnded() || m_inflater.hasFailed())
            break;
        // Else the inflater took input without giving output yet.
        if (m_inflater.needsInput()) {
            if (!decryptNext())
                break;
            m_inflater.feed(m_chunk);
        }
    }
    return 0;
}

std::expected<void, BackupError> BackupStream::finish()
{
    const bool inflatedWhole = m_inflater.hasEnded() && !m_inflater.hasFailed() && m_ciphertextLeft == 0;
    // The tag covers every byte, also those the reader did not need.
    while (decryptNext()) { }
    if (m_readFailed)
        return failure(BackupError::notABackup);
    if (m_decryptFailed || !m_opener->finish(m_tag))
        return failure(BackupError::wrongPassword);
    if (!inflatedWhole)
        return failure(BackupError::damaged);
    return {};
}
