#include "base/FileWrites.h"

#include <cerrno>

#include <unistd.h>

namespace FileWrites {

std::expected<void, QString> writeAll(QFileDevice &file, QByteArrayView bytes)
{
    // A write that stops short has not failed yet: the next one says why.
    while (!bytes.isEmpty()) {
        const qint64 written = file.write(bytes.data(), bytes.size());
        if (written <= 0)
            return std::unexpected(file.errorString());
        bytes = bytes.sliced(written);
    }
    if (!file.flush())
        return std::unexpected(file.errorString());
    return {};
}

std::expected<void, QString> syncToDisk(QFileDevice &file)
{
    int result = 0;
    do
        result = ::fsync(file.handle());
    while (result != 0 && errno == EINTR);
    if (result != 0)
        return std::unexpected(qt_error_string(errno));
    return {};
}

} // namespace FileWrites
