#include "support/LogCapture.h"

#include <QMutexLocker>

LogCapture::LogCapture()
{
    m_previous = Log::setSink([this](const QString &line) {
        QMutexLocker locker(&m_mutex);
        m_lines.append(line);
    });
}

LogCapture::~LogCapture()
{
    Log::setSink(std::move(m_previous));
}

QStringList LogCapture::lines() const
{
    QMutexLocker locker(&m_mutex);
    return m_lines;
}

void LogCapture::clear()
{
    QMutexLocker locker(&m_mutex);
    m_lines.clear();
}
