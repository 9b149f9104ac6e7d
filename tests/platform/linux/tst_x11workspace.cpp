#include "support/DesktopPeer.h"
#include "support/TestFiles.h"

#include "platform/linux/DesktopEntryIndex.h"
#include "platform/linux/X11Workspace.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

using DesktopFiles = QMap<QString, QByteArray>;

// The front application under a real window manager (openbox in the test
// session), with the peer's windows as the other applications.
class X11WorkspaceTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(QGuiApplication::platformName() == u"xcb"_s);
        QVERIFY(m_dataHome.isValid());
        QVERIFY(QDir(m_dataHome.path()).mkpath(u"applications"_s));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dataHome.path()));
    }

    void frontmostApplication_data()
    {
        QTest::addColumn<DesktopFiles>("desktopFiles");
        QTest::addColumn<QString>("flatpakId");
        QTest::addColumn<QByteArray>("wmClass");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("name");

        QTest::newRow("desktop file claims the class") << DesktopFiles {{u"org.example.ProbeEditor.desktop"_s,
            "[Desktop Entry]\nType=Application\nName=Probe Editor\n"
            "StartupWMClass=VtProbe\n"}} << QString() << "vtprobe VtProbe"_ba
                                                       << u"org.example.ProbeEditor"_s << u"Probe Editor"_s;
        QTest::newRow("no desktop file")
            << DesktopFiles {} << QString() << "vtlonely VtLonely"_ba << u"VtLonely"_s << u"VtLonely"_s;
        QTest::newRow("flatpak") << DesktopFiles {{u"org.example.Flat.desktop"_s,
            "[Desktop Entry]\nType=Application\nName=Flat Thing\n"}}
                                 << u"org.example.Flat"_s << "flatwin FlatWin"_ba << u"org.example.Flat"_s
                                 << u"Flat Thing"_s;
    }

    void frontmostApplication()
    {
        QFETCH(DesktopFiles, desktopFiles);
        QFETCH(QString, flatpakId);
        QFETCH(QByteArray, wmClass);
        QFETCH(QString, id);
        QFETCH(QString, name);

        for (auto it = desktopFiles.cbegin(); it != desktopFiles.cend(); ++it)
            QVERIFY(writeFile(m_dataHome.filePath(u"applications/"_s + it.key()), it.value()));
        X11Workspace workspace;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!flatpakId.isEmpty())
            environment.insert(u"FLATPAK_ID"_s, flatpakId);
        DesktopPeer peer(environment);
        QVERIFY(peer.isReady());
        const quint32 window = peer.ask("window " + wmClass).value(0).toUInt();
        QVERIFY(window != 0);

        QTRY_COMPARE_WITH_TIMEOUT(frontWindow(workspace), window, 10000);
        const RunningApplication front = workspace.frontmostApplication().value();
        QCOMPARE(front.bundleIdentifier, id);
        QCOMPARE(front.localizedName, name);
        QCOMPARE(front.processIdentifier, peer.processId());
        // Excluding the application through its launcher file names it the same.
        for (auto it = desktopFiles.cbegin(); it != desktopFiles.cend(); ++it) {
            const auto chosen
                = DesktopEntryIndex().applicationAt(m_dataHome.filePath(u"applications/"_s + it.key()));
            QVERIFY(chosen);
            QCOMPARE(chosen->bundleIdentifier, id);
        }
    }

    void activation()
    {
        X11Workspace workspace;
        DesktopPeer peer;
        QVERIFY(peer.isReady());
        const quint32 first = peer.ask("window vtfirst VtFirst").value(0).toUInt();
        QTRY_COMPARE_WITH_TIMEOUT(frontWindow(workspace), first, 10000);
        const RunningApplication firstApplication = workspace.frontmostApplication().value();
        const quint32 second = peer.ask("window vtsecond VtSecond").value(0).toUInt();
        QTRY_COMPARE_WITH_TIMEOUT(frontWindow(workspace), second, 10000);
        const RunningApplication secondApplication = workspace.frontmostApplication().value();

        QVERIFY(workspace.activate(firstApplication));
        QTRY_COMPARE_WITH_TIMEOUT(frontWindow(workspace), first, 10000);

        // A window that has gone is skipped, not asked for.
        peer.ask("close " + QByteArray::number(second));
        QVERIFY(!workspace.activate(secondApplication));
        QTest::qWait(300);
        QCOMPARE(frontWindow(workspace), first);
    }

private:
    quint32 frontWindow(X11Workspace &workspace)
    {
        const std::optional<RunningApplication> front = workspace.frontmostApplication();
        return front ? front->window : 0;
    }

    QTemporaryDir m_dataHome;
};

QTEST_MAIN(X11WorkspaceTest)
#include "tst_x11workspace.moc"
