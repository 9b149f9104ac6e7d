#include "backup/BackupFile.h"

#include "backup/RawDeflate.h"
#include "crypto/AesGcm.h"
#include "crypto/Pbkdf2.h"
#include "crypto/SecureRandom.h"

#include <QFile>
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
constexpr qsizetype saltOffset = 9;
constexpr qsizetype saltSize = 16;
constexpr qsizetype headerSize = saltOffset + saltSize;
// The header and the box around at least one byte of ciphertext.
constexpr qsizetype minimumFileSize = headerSize + AesGcm::overhead + 1;

std::unexpected<BackupError> failure(BackupError::Code code)
{
    return std::unexpected(BackupError {code});
}

quint32 roundsOf(QByteArrayView file)
{
    return qFromBigEndian<quint32>(file.data() + roundsOffset);
}

// What the size and the bytes up to the salt tell, in the order a reader
// reports it; start holds at least those bytes when size allows it.
std::expected<void, BackupError> checkStart(QByteArrayView start, qint64 size, qsizetype payloadLimit)
{
    if (size < minimumFileSize || start.size() < saltOffset || !start.startsWith(magic))
        return failure(BackupError::notABackup);
    if (quint8(start.at(versionOffset)) > writtenVersion)
        return failure(BackupError::newerVersion);
    const quint32 rounds = roundsOf(start);
    if (rounds < minimumRounds || rounds > maximumRounds)
        return failure(BackupError::damaged);
    if (size > headerSize + AesGcm::overhead + RawDeflate::bound(payloadLimit))
        return failure(BackupError::damaged);
    return {};
}

} // namespace

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
    QByteArray header(saltOffset, Qt::Uninitialized);
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
    if (auto checked = checkStart(file, file.size(), payloadLimit); !checked)
        return std::unexpected(checked.error());
    const QByteArrayView header = file.first(headerSize);
    const auto key = deriveBackupKey(password, header.sliced(saltOffset), roundsOf(file));
    if (!key)
        return std::unexpected(key.error());
    const auto compressed = AesGcm::open(key->view(), file.sliced(headerSize), header);
    if (!compressed)
        return failure(BackupError::wrongPassword);
    auto json = RawDeflate::inflate(*compressed, payloadLimit);
    if (!json)
        return failure(BackupError::damaged);
    return std::move(*json);
}

std::expected<QByteArray, BackupError> openBackupFile(
    const QString &path, QStringView password, qsizetype payloadLimit)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(BackupError::notABackup);
    const qint64 size = file.size();
    if (auto checked = checkStart(file.read(saltOffset), size, payloadLimit); !checked)
        return std::unexpected(checked.error());
    const QByteArray bytes = file.seek(0) ? file.readAll() : QByteArray();
    if (file.error() != QFileDevice::NoError)
        return failure(BackupError::notABackup);
    return openBackup(bytes, password, payloadLimit);
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
