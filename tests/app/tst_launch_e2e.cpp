#include "crypto/KeyManager.h"
#include "platform/linux/DesktopKeychain.h"
#include "platform/linux/X11Workspace.h"
#include "support/FakeDeviceAuth.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

// The real program in a fresh home folder, with a vault in the session's
// keyring that needs no passcode. Its log is all it shows of its state.
class LaunchEndToEndTest final : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_home;
    DesktopKeychain m_keychain {KeyManager::service};
    FakeDeviceAuth m_deviceAuth;
    KeyManager m_keyManager {m_keychain, m_deviceAuth};

    // On the X display given; none when empty.
    std::unique_ptr<QProcess> start(const QString &display = qEnvironmentVariable("DISPLAY"))
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"HOME"_s, m_home.path());
        environment.insert(u"XDG_CONFIG_HOME"_s, m_home.filePath(u".config"_s));
        environment.insert(u"XDG_DATA_HOME"_s, m_home.filePath(u".local/share"_s));
        environment.remove(u"QT_QPA_PLATFORM"_s);
        // The program's own choice of renderer.
        environment.remove(u"QT_QUICK_BACKEND"_s);
        environment.insert(u"DISPLAY"_s, display);
        if (display.isEmpty())
            environment.remove(u"DISPLAY"_s);
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::MergedChannels);
        process->start(QStringLiteral(VANTORELL_EXECUTABLE), {});
        return process;
    }

    static bool waitForLine(QProcess &process, QByteArray &output, const QByteArray &line)
    {
        QDeadlineTimer deadline(30'000);
        while (!output.contains(line) && !deadline.hasExpired()) {
            process.waitForReadyRead(200);
            output += process.readAll();
        }
        return output.contains(line);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        m_keyManager.deleteAllKeys();
        QVERIFY(m_keyManager.setupPasscode(u"correct horse battery"_s).has_value());
        QVERIFY(m_keyManager.storeRawMasterKey().has_value());
        m_keyManager.dropMasterKey();
    }

    void cleanupTestCase() { m_keyManager.deleteAllKeys(); }

    void unlocksSilentlyHandsOverAndQuitsOnSigterm()
    {
        const std::unique_ptr<QProcess> running = start();
        QVERIFY(running->waitForStarted());
        QByteArray output;
        QVERIFY2(waitForLine(*running, output, "[Vantorell] Auto-unlocked (passcode not required)"), output);
        QVERIFY2(output.contains("[Vantorell] Clipboard monitoring started"), output);

        const std::unique_ptr<QProcess> second = start();
        QVERIFY(second->waitForFinished(30'000));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QVERIFY(
            second->readAll().contains("[Vantorell] Already running; handed over to the running instance"));
        // The hand-over opens the panel, which takes the focus.
        X11Workspace workspace;
        QTRY_COMPARE_WITH_TIMEOUT(
            workspace.frontmostApplication().value_or(RunningApplication {}).processIdentifier,
            running->processId(), 30'000);
        // The panel is drawn on the processor: no graphics driver is loaded.
        QFile maps(u"/proc/%1/maps"_s.arg(running->processId()));
        QVERIFY(maps.open(QIODevice::ReadOnly));
        const QByteArray mapped = maps.readAll();
        for (const char *driver : {"_dri.so", "libGLX_mesa", "libEGL_mesa", "libLLVM", "libvulkan"})
            QVERIFY2(!mapped.contains(driver), driver);

        running->terminate();
        QVERIFY(running->waitForFinished(30'000));
        output += running->readAll();
        QCOMPARE(running->exitStatus(), QProcess::NormalExit);
        QCOMPARE(running->exitCode(), 0);
        QCOMPARE(output.count("[Vantorell] Application terminated"), 1);
    }

    // Qt ends the program at once when the X server goes away; the program
    // still locks first, which saves the edits open in its windows.
    void shutsDownWhenTheXServerGoes()
    {
        QProcess server;
        server.start(u"Xvfb"_s,
            {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"800x600x24"_s, u"-nolisten"_s, u"tcp"_s});
        QVERIFY(server.waitForReadyRead(30'000));
        const std::unique_ptr<QProcess> running
            = start(u":"_s + QString::fromLatin1(server.readLine().trimmed()));
        QByteArray output;
        QVERIFY2(waitForLine(*running, output, "[Vantorell] Auto-unlocked (passcode not required)"), output);
        server.terminate();
        QVERIFY(server.waitForFinished(30'000));
        QVERIFY(running->waitForFinished(30'000));
        output += running->readAll();
        QVERIFY2(output.contains("[Vantorell] App locked"), output);
        QCOMPARE(output.count("[Vantorell] Application terminated"), 1);
    }

    void withoutAnXDisplayExitsSayingSo()
    {
        const std::unique_ptr<QProcess> process = start({});
        QVERIFY(process->waitForFinished(30'000));
        QCOMPARE(process->exitStatus(), QProcess::NormalExit);
        QCOMPARE(process->exitCode(), 1);
        QVERIFY(process->readAll().contains("[Vantorell] Cannot connect to an X display"));
    }
};

QTEST_MAIN(LaunchEndToEndTest)
#include "tst_launch_e2e.moc"
