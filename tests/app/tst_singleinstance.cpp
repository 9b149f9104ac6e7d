#include "app/SingleInstance.h"
#include "support/FileMode.h"

#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <future>

#include <sys/file.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

using Claim = SingleInstance::Claim;

// Who keeps the lock file while another start claims it: nobody (a crash
// left it), a live process that locks it as Qt does but wrote no id, a live
// instance that does not listen, one that listens but is stopped or hung.
enum class Holder { none, unwritten, instance, stalled };

} // namespace

class SingleInstanceTest final : public QObject {
    Q_OBJECT

private slots:
    void secondStartHandsOver()
    {
        const QString home = u"/home/test-"_s + QString::number(QCoreApplication::applicationPid());
        SingleInstance running(home, 1000);
        QCOMPARE(running.claim(), Claim::running);
        // In a folder others may write to, another user could take the name first.
        QCOMPARE(fileMode(QFileInfo(running.serverName()).path()), 0700);
        QSignalSpy reopened(&running, &SingleInstance::reopenRequested);

        // The running one answers from its event loop, here on this thread.
        SingleInstance second(home, 1000);
        auto claimed = std::async(std::launch::async, [&second] { return second.claim(); });
        QTRY_VERIFY(claimed.wait_for(0s) == std::future_status::ready);
        QCOMPARE(claimed.get(), Claim::handedOver);
        QCOMPARE(reopened.size(), 1);

        // A line that never ends is no other start, and is not kept waiting for.
        QLocalSocket stranger;
        stranger.connectToServer(running.serverName());
        QVERIFY(stranger.waitForConnected(1000));
        stranger.write(QByteArray(SingleInstance::maxMessageLength + 1, 'x'));
        QTRY_COMPARE(stranger.state(), QLocalSocket::UnconnectedState);
    }

    void otherHomeOrUserRunsAlone_data()
    {
        QTest::addColumn<QString>("otherHome");
        QTest::addColumn<uint>("otherUser");
        QTest::newRow("other home") << u"/home/elsewhere"_s << 1000u;
        QTest::newRow("other user") << u"/home/shared"_s << 1001u;
    }

    void otherHomeOrUserRunsAlone()
    {
        QFETCH(QString, otherHome);
        QFETCH(uint, otherUser);
        const QString suffix = QString::number(QCoreApplication::applicationPid());
        SingleInstance first(u"/home/shared"_s + suffix, 1000);
        SingleInstance other(otherHome + suffix, otherUser);
        QCOMPARE(first.claim(), Claim::running);
        QCOMPARE(other.claim(), Claim::running);
    }

    // A lock file that names no live process is taken over, also one left
    // too recently to tell from a start still writing it; a live holder
    // keeps the lock, and its silence is no handover.
    void lockFileFound_data()
    {
        QTest::addColumn<Holder>("holder");
        QTest::addColumn<int>("ageSeconds");
        QTest::addColumn<Claim>("claim");
        QTest::newRow("empty, left by a crash") << Holder::none << 60 << Claim::running;
        QTest::newRow("empty, left just now") << Holder::none << 0 << Claim::running;
        QTest::newRow("empty, held by a live process") << Holder::unwritten << 60 << Claim::holderSilent;
        QTest::newRow("held by an instance that does not listen")
            << Holder::instance << 60 << Claim::holderSilent;
        QTest::newRow("held by an instance that does not answer")
            << Holder::stalled << 60 << Claim::holderSilent;
    }

    void lockFileFound()
    {
        QFETCH(Holder, holder);
        QFETCH(int, ageSeconds);
        SingleInstance starting(u"/home/"_s + QLatin1StringView(QTest::currentDataTag()), 1000);
        const QString path = starting.serverName() + u".lock"_s;
        QLockFile instanceLock(path);
        QLocalServer server;
        if (holder == Holder::instance || holder == Holder::stalled)
            QVERIFY(instanceLock.tryLock(0));
        if (holder == Holder::stalled)
            QVERIFY(server.listen(starting.serverName()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        if (holder == Holder::unwritten)
            QCOMPARE(flock(file.handle(), LOCK_EX | LOCK_NB), 0);
        QVERIFY(file.setFileTime(
            QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime));
        QTEST(starting.claim(), "claim");
    }

    // A lock that cannot be made at all has no holder to hand over to.
    void unmadeLockRunsWithoutOne()
    {
        QTemporaryDir runtime;
        const QByteArray runtimeBefore = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
        SingleInstance starting(u"/home/unmade"_s, 1000);
        qputenv("XDG_RUNTIME_DIR", runtimeBefore);
        QVERIFY(runtime.remove());
        QCOMPARE(starting.claim(), Claim::running);
    }
};

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "tst_singleinstance.moc"
