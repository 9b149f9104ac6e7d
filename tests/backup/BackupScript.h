#pragma once

#include <QProcess>
#include <QStringList>
#include <QTest>
#include <utility>

// Runs tests/data/make-backup.py: its exit code (-1 when it crashed) and
// what it printed.
inline std::pair<int, QByteArray> runBackupScript(const QStringList &arguments)
{
    QProcess process;
    process.start(u"python3"_qs, QStringList {QFINDTESTDATA("../data/make-backup.py")} + arguments);
    process.waitForFinished(60'000);
    const QByteArray errors = process.readAllStandardError();
    if (!errors.isEmpty())
        qWarning("%s", errors.constData());
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        process.readAllStandardOutput()};
}
