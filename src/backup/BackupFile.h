#pragma once

#include "backup/BackupError.h"
#include "backup/BackupSealError.h"
#include "crypto/SecureBytes.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <expected>

// The backup file: "VTBK", a version byte, the PBKDF2 round count (32 bits,
// big-endian) and a 16-byte salt make the header; an AES-256-GCM box (nonce,
// ciphertext, tag) of the raw-DEFLATE-compressed JSON payload follows, with
// the header as associated data. Sealing and opening derive a key with
// hundreds of thousands of rounds: keep them off the main thread.

namespace BackupFile {

// The most JSON a backup carries. Export writes its JSON with Qt's, which
// fails between 2,040 and 2,100 MiB: a larger payload could be written but
// never read back.
inline constexpr qsizetype payloadLimit = 2000LL * 1024 * 1024;

inline constexpr qsizetype saltOffset = 9;
inline constexpr qsizetype headerSize = saltOffset + 16;

// What the file's size and its first bytes (at least up to the salt when
// the size allows) tell, in the order a reader reports it: its round count,
// or why it cannot be opened.
std::expected<quint32, BackupError> checkStart(QByteArrayView start, qint64 size, qsizetype payloadLimit);

} // namespace BackupFile

std::expected<QByteArray, BackupSealError> sealBackup(
    QByteArrayView json, QStringView password, qsizetype payloadLimit = BackupFile::payloadLimit);

// The payload's JSON bytes, not yet decoded.
std::expected<QByteArray, BackupError> openBackup(
    QByteArrayView file, QStringView password, qsizetype payloadLimit = BackupFile::payloadLimit);

std::expected<SecureBytes, BackupError> deriveBackupKey(
    QStringView password, QByteArrayView salt, quint32 rounds);
