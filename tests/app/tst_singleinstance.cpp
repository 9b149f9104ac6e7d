#include "app/SingleInstance.h"
#include "support/FileMode.h"

#include <QFileInfo>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class SingleInstanceTest final : public QObject {
    Q_OBJECT

private slots:
    void secondStartHandsOver()
    {
        const QString home = u"/home/test-"_s + QString::number(QCoreApplication::applicationPid());
        SingleInstance running(home, 1000);
        QVERIFY(running.claim());
        // In a folder others may write to, another user could take the name first.
        QCOMPARE(fileMode(QFileInfo(running.serverName()).path()), 0700);
        QSignalSpy reopened(&running, &SingleInstance::reopenRequested);

        SingleInstance second(home, 1000);
        QVERIFY(!second.claim());
        QTRY_COMPARE(reopened.size(), 1);

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
        QVERIFY(first.claim());
        QVERIFY(other.claim());
    }
};

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "tst_singleinstance.moc"
