#include "support/DesktopPeer.h"

#include <QDeadlineTimer>
#include <QTest>

DesktopPeer::DesktopPeer(const QProcessEnvironment &environment)
{
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(VT_DESKTOP_PEER), {});
    m_ready = m_process.waitForStarted() && ask({}) == QByteArrayList {"ready"};
}

DesktopPeer::~DesktopPeer()
{
    if (m_process.state() == QProcess::Running) {
        ask("quit");
        if (!m_process.waitForFinished(5000))
            m_process.kill();
    }
    m_process.waitForFinished();
}

QByteArrayList DesktopPeer::ask(const QByteArray &command)
{
    if (!command.isEmpty())
        m_process.write(command + '\n');
    QByteArrayList lines;
    const QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
        if (!m_process.canReadLine()) {
            if (m_process.state() != QProcess::Running)
                break;
            QTest::qWait(5);
            continue;
        }
        const QByteArray line = m_process.readLine().chopped(1);
        if (line == "end")
            return lines;
        lines.append(line);
    }
    qWarning("desktop peer gave no answer to \"%s\"", command.constData());
    return lines;
}

void DesktopPeer::own(const QList<std::pair<QString, QByteArray>> &formats)
{
    QByteArray command = "own";
    for (const auto &[format, data] : formats)
        command += ' ' + format.toUtf8() + ' ' + (data.isEmpty() ? "-" : data.toBase64());
    ask(command);
}
