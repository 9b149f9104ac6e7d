#include "../menubar/LaunchedApp.h"
#include "SettingsWindowFixture.h"
#include "platform/linux/X11Pasteboard.h"
#include "support/DesktopPeer.h"
#include "ui/menubar/PanelWindow.h"
#include "ui/menubar/WindowHost.h"
#include "ui/windows/snippets/SnippetWindowRoot.h"

#include <QElapsedTimer>
#include <QQuickItem>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

// The program on the real X clipboard, with the panel and both windows made
// and every text field in them, while another application takes the
// clipboard and hangs.
class ClipboardOwnerX11Test final : public QObject {
    Q_OBJECT

    std::unique_ptr<X11Pasteboard> m_clipboard;
    std::unique_ptr<LaunchedApp> m_app;
    FakeKeyCodeMap m_keyCodeMap;
    FakeInstalledApplications m_applications;
    FakeBackupOperations m_backup;
    FakeBackupDialogs m_backupDialogs;
    QProcess m_owner;

    // Another application takes the clipboard, listing these targets when
    // asked and answering nothing else.
    bool hungOwnerTakesTheClipboard(const QStringList &listed)
    {
        m_owner.start(QStringLiteral(VT_SILENT_CLIPBOARD_OWNER), listed);
        return m_owner.waitForReadyRead(10'000) && m_owner.readLine() == "ready\n";
    }

private slots:
    void init()
    {
        m_clipboard = std::make_unique<X11Pasteboard>();
        m_app = std::make_unique<LaunchedApp>(nullptr, nullptr, m_clipboard.get());
        QVERIFY(m_app->unlocked());
        AppDelegate &delegate = *m_app->delegate;
        WindowHost &windows = m_app->controller->windows();
        auto *context = new SettingsWindowContext(
            {delegate.appState(), delegate.settingsManager(), m_app->deviceAuth, *delegate.autoPaste(),
                *delegate.keyManager(), *delegate.updateChecker(), m_keyCodeMap, m_app->workspace,
                m_applications, m_backup, m_backupDialogs},
            &windows);
        windows.setSettingsRoot(
            SettingsWindowContext::rootView, {{u"context"_s, QVariant::fromValue<QObject *>(context)}});
        windows.setSnippetManagerRoot(snippetWindowRoot());
        m_app->controller->showPanel();
        windows.openSettingsWindow(std::nullopt);
        windows.openSnippetManagerWindow();
        QVERIFY(QTest::qWaitForWindowExposed(windows.settingsWindow()));
        QVERIFY(QTest::qWaitForWindowExposed(windows.snippetWindow()));
    }

    void cleanup()
    {
        m_owner.closeWriteChannel();
        m_owner.waitForFinished();
        m_app.reset();
        m_clipboard.reset();
    }

    // Qt's text fields would each ask the owner for its types, up to 5 s a
    // question. Only capture's own reads of the copy may wait for it, each
    // request once: here one, so the loop never stops for two of Qt's waits.
    void aHungOwnerHoldsOnlyCapturesOwnReads_data()
    {
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("answering nothing") << QStringList {};
        QTest::newRow("answering its type list only")
            << QStringList {u"TARGETS"_s, u"UTF8_STRING"_s, u"text/plain;charset=utf-8"_s};
    }

    void aHungOwnerHoldsOnlyCapturesOwnReads()
    {
        QFETCH(QStringList, listed);
        QElapsedTimer clock;
        qint64 lastTurn = 0;
        qint64 longestHold = 0;
        QTimer turns;
        turns.setInterval(50);
        connect(&turns, &QTimer::timeout, this, [&] {
            longestHold = std::max(longestHold, clock.elapsed() - lastTurn);
            lastTurn = clock.elapsed();
        });
        QVERIFY(hungOwnerTakesTheClipboard(listed));
        clock.start();
        turns.start();
        // A poll and a read that waits the owner out.
        QTest::qWait(8'000);
        longestHold = std::max(longestHold, clock.elapsed() - lastTurn);

        while (m_owner.waitForReadyRead(500)) { }
        const QByteArrayList asked = m_owner.readAll().split('\n');
        QVERIFY2(longestHold < 10'000,
            (QByteArray("held ") + QByteArray::number(longestHold) + " ms; " + asked.join(' ')).constData());
        for (const QByteArray &request : asked)
            QVERIFY2(request.isEmpty() || asked.count(request) == 1, request);
    }

    // Qt's clipboard keeps up with owners its fields were not told of: the
    // next copy shows as pasteable and pastes into the search field.
    void theNextCopyPastesIntoTheSearchField()
    {
        QVERIFY(hungOwnerTakesTheClipboard({}));
        // Capture gives up on it.
        QTest::qWait(6'000);
        m_clipboard->clear();
        PanelWindow &panel = m_app->controller->panel();
        m_app->controller->showPanel();
        QVERIFY(QTest::qWaitForWindowActive(&panel));
        QQuickItem *field = panel.activeFocusItem();
        QVERIFY(field && field->inherits("QQuickTextInput"));
        QVERIFY(!field->property("canPaste").toBool());

        DesktopPeer peer;
        QVERIFY(peer.isReady());
        peer.own({{u"text/plain"_s, "invoice 42"_ba}});
        QTRY_VERIFY_WITH_TIMEOUT(field->property("canPaste").toBool(), 10'000);
        QTest::keySequence(&panel, QKeySequence::Paste);
        QTRY_COMPARE(m_app->appState().searchQuery(), u"invoice 42"_s);
    }
};

QTEST_MAIN(ClipboardOwnerX11Test)
#include "tst_clipboardowner_x11.moc"
