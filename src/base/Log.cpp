#include "base/Log.h"

#include <QMutex>
#include <QMutexLocker>

#include <cstdio>
#include <syslog.h>

namespace {

QMutex &sinkMutex()
{
    static QMutex mutex;
    return mutex;
}

Log::Sink &currentSink()
{
    static Log::Sink sink;
    return sink;
}

void writeToSystem(const QString &line)
{
    const QByteArray utf8 = line.toUtf8();
    std::fprintf(stderr, "%s\n", utf8.constData());
    std::fflush(stderr);
    syslog(LOG_USER | LOG_NOTICE, "%s", utf8.constData());
}

} // namespace

void Log::write(const QString &message)
{
    const QString line = prefix.toString() + message;
    QMutexLocker locker(&sinkMutex());
    if (currentSink())
        currentSink()(line);
    else
        writeToSystem(line);
}

Log::Sink Log::setSink(Sink sink)
{
    QMutexLocker locker(&sinkMutex());
    std::swap(currentSink(), sink);
    return sink;
}
