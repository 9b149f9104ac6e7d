#pragma once

#include "backup/BackupError.h"
#include "backup/BackupFile.h"
#include "backup/BackupPayload.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <deque>
#include <expected>
#include <functional>

class JsonStream;

// A payload as it was read, held so that it takes little more room than
// its JSON: the entries in blocks that never move (a list would copy them
// all each time it grows), and each snippet's content beside it as UTF-8
// (the snippet's own content left empty) until the snippet is stored.
struct ReadPayload {
    // Without its entries.
    BackupPayload payload;
    std::deque<BackupEntry> entries;
    QList<QByteArray> snippetContents;

    // The payload whole again.
    BackupPayload joined() &&;
};

namespace PayloadReader {

enum class Texts {
    // Every text as the file holds it.
    asWritten,
    // Texts cut to, and lists and snippets left out beyond, ImportBounds: a
    // longer text is never held whole.
    bounded,
};

// Reads the payload from json as it streams in, with the rules of Qt's
// parser and of the records' decoders: a newer payload format is reported
// as such even when the rest does not decode; anything else unreadable is
// damaged. A list that turns out damaged is dropped as soon as it is seen.
std::expected<ReadPayload, BackupError> read(JsonStream &json, Texts texts);

// The payload of the backup file at path, read as it is decrypted and
// inflated; the file's own errors come first. Slow: off the main thread.
// Asked before each piece, stop ends the read at once as interrupted.
std::expected<ReadPayload, BackupError> readFile(const QString &path, QStringView password, Texts texts,
    qsizetype payloadLimit = BackupFile::payloadLimit, const std::function<bool()> &stop = {});

} // namespace PayloadReader
