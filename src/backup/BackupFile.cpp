#include "backup/BackupFile.h"

#include "backup/BackupStream.h"
#include "backup/RawDeflate.h"
#include "crypto/AesGcm.h"
#include "crypto/Pbkdf2.h"
#include "crypto/SecureRandom.h"

#include <QtEndian>

#include <algorithm>
#include <climits>

using namespace Qt::StringLiterals;

namespace {

constexpr QByteArrayView magic = "VTBK";
constexpr quint8 writtenVersion = 1;
constexpr quint32 writtenRounds = 600000;
constexpr quint32 minimumRounds = 100000;
constexpr quint32 maximumRounds = 10000000;
constexpr qsizetype versionOffset = 4;
constexpr qsizetype roundsOffset = 5;
constexpr qsizetype saltSize = BackupFile::headerSize - BackupFile::saltOffset;
// The header and the box around at least one byte of ciphertext.
constexpr qsizetype minimumFileSize = BackupFile::headerSize + AesGcm::overhead + 1;

std::unexpected<BackupError> failure(BackupError::Code code)
{
    return std::unexpected(BackupError {code});
}

} // namespace

std::expected<quint32, BackupError> BackupFile::checkStart(
    QByteArrayView start, qint64 size, qsizetype payloadLimit)
{
    if (size < minimumFileSize || start.size() < saltOffset || !start.startsWith(magic))
        return failure(BackupError::notABackup);
    if (quint8(start.at(versionOffset)) > writtenVersion)
        return failure(BackupError::newerVersion);
    const quint32 rounds = qFromBigEndian<quint32>(start.data() + roundsOffset);
    if (rounds < minimumRounds || rounds > maximumRounds)
        return failure(BackupError::damaged);
    if (size > headerSize + AesGcm::overhead + RawDeflate::bound(payloadLimit))
        return failure(BackupError::damaged);
    return rounds;
}

std::expected<QByteArray, BackupSealError> sealBackup(
    QByteArrayView json, QStringView password, qsizetype payloadLimit)
{
    if (json.size() > payloadLimit)
        return std::unexpected(BackupError::failedToWrite(u"the history is too large for one backup file"_s));
    auto compressed = RawDeflate::compress(json);
    if (!compressed)
        return std::unexpected(compressed.error());
    const auto salt = SecureRandom::bytes(saltSize);
    const auto nonce = SecureRandom::bytes(AesGcm::nonceSize);
    if (!salt || !nonce)
        return std::unexpected(BackupError::failedToWrite(u"no secure random data"_s));
    QByteArray header(BackupFile::saltOffset, Qt::Uninitialized);
    std::copy(magic.begin(), magic.end(), header.begin());
    header[versionOffset] = char(writtenVersion);
    qToBigEndian(writtenRounds, header.data() + roundsOffset);
    header.append(salt->view());
    const auto key = deriveBackupKey(password, salt->view(), writtenRounds);
    if (!key)
        return std::unexpected(key.error());
    auto box = AesGcm::seal(key->view(), nonce->view(), *compressed, header);
    if (!box)
        return std::unexpected(box.error());
    return header + *box;
}

std::expected<QByteArray, BackupError> openBackup(
    QByteArrayView file, QStringView password, qsizetype payloadLimit)
{
    auto stream = BackupStream::openBytes(file, password, payloadLimit);
    if (!stream)
        return std::unexpected(stream.error());
    QByteArray json;
    constexpr qsizetype piece = 64 * 1024;
    for (qsizetype read = 1; read > 0;) {
        json.resize(json.size() + piece);
        read = (*stream)->read(json.data() + json.size() - piece, piece);
        json.resize(json.size() - piece + read);
    }
    if (auto finished = (*stream)->finish(); !finished)
        return std::unexpected(finished.error());
    return json;
}

std::expected<SecureBytes, BackupError> deriveBackupKey(
    QStringView password, QByteArrayView salt, quint32 rounds)
{
    if (rounds > INT_MAX)
        return failure(BackupError::damaged);
    auto key = Pbkdf2::hmacSha256(SecureBytes::fromUtf8(password).view(), salt, int(rounds), AesGcm::keySize);
    if (!key)
        return failure(BackupError::damaged);
    return std::move(*key);
}
