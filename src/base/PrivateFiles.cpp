#include "base/PrivateFiles.h"

#include "base/Log.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr mode_t othersMask = S_IRWXG | S_IRWXO;

// Drops the permissions of group and others from what status describes.
bool removeOthersAccess(const QByteArray &path, const struct stat &status)
{
    return (status.st_mode & othersMask) == 0
        || ::chmod(path.constData(), status.st_mode & ALLPERMS & ~othersMask) == 0;
}

} // namespace

bool PrivateFiles::makeFolder(const QString &path)
{
    QDir().mkpath(path);
    const QByteArray native = QFile::encodeName(path);
    struct stat status { };
    return ::stat(native.constData(), &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == ::geteuid()
        && removeOthersAccess(native, status);
}

void PrivateFiles::restrictFile(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat status { };
    if (::stat(native.constData(), &status) == 0 && !removeOthersAccess(native, status))
        Log::write(u"Cannot make the file private: "_s + path);
}
