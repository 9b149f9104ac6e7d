#pragma once

#include <QByteArrayView>
#include <QFileDevice>
#include <QString>

#include <expected>

// Writes to a file the user keeps, with the system's reason when they fail
// ("No space left on device"), where Qt reports a short write as "Unknown
// error" and QSaveFile drops what the sync to disk says.
namespace FileWrites {

// All of bytes, however many writes the file takes.
std::expected<void, QString> writeAll(QFileDevice &file, QByteArrayView bytes);

// What was written, on the disk; open files only.
std::expected<void, QString> syncToDisk(QFileDevice &file);

} // namespace FileWrites
