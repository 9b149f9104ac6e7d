#pragma once

#include <QFile>
#include <QString>

namespace RegularFile {

// Opens path for reading only when it is a regular file (after symbolic
// links): a FIFO would block the open until a writer came, a device might
// never end. The check and the open are one, so nothing can be swapped in
// between.
bool openForReading(QFile &file, const QString &path);

} // namespace RegularFile
