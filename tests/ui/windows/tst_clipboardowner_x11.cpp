#include "../menubar/LaunchedApp.h"
#include "SettingsWindowFixture.h"
#include "capture/ClipboardMonitor.h"
#include "platform/linux/X11Pasteboard.h"
#include "support/DesktopPeer.h"
#include "ui/menubar/PanelWindow.h"
#include "ui/menubar/WindowHost.h"
#include "ui/windows/snippets/SnippetWindowRoot.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QQuickItem>
#include <QTest>
#include <QTimer>

// Last: the X11 headers define names that Qt uses.
#include "../menubar/XUser.h"

using namespace Qt::StringLiterals;

// The program on the real X clipboard, with the panel and both windows made
// and every text field in them, as the user copies in those fields or
// another application takes the clipboard and hangs.
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

    qsizetype historyEntriesHolding(const QString &text)
    {
        const EncryptionService &encryption = m_app->delegate->storageManager()->encryptionService();
        return std::ranges::count_if(m_app->appState().clipboardEntries(), [&](const ClipboardEntry &entry) {
            return encryption.decrypt(entry.encryptedContent).value_or(QByteArray()) == text.toUtf8();
        });
    }

    // The search field of the panel, or the content of a new snippet, with
    // the keyboard in it.
    QQuickItem *focusedField(bool inSnippetEditor)
    {
        QQuickWindow *window = &m_app->controller->panel();
        if (inSnippetEditor) {
            window = m_app->controller->windows().snippetWindow();
            auto *form = window->contentItem()->findChild<QQuickItem *>(u"form"_s);
            QMetaObject::invokeMethod(form->property("viewModel").value<QObject *>(), "startNewSnippet");
            for (QQuickItem *item : form->findChildren<QQuickItem *>())
                if (item->inherits("QQuickTextEdit"))
                    item->forceActiveFocus();
            window->requestActivate();
        } else {
            m_app->controller->showPanel();
        }
        return QTest::qWaitForWindowActive(window) ? window->activeFocusItem() : nullptr;
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

    // A copy in one of our own fields is a copy like another application's,
    // even of the text we just pasted; our own paste of it is not taken back.
    void aCopyInOurOwnFieldIsCapturedOnce_data()
    {
        QTest::addColumn<bool>("inSnippetEditor");
        QTest::addColumn<KeySym>("key");
        QTest::addColumn<bool>("pastedFirst");
        QTest::newRow("search field, Ctrl+C") << false << KeySym(XK_c) << false;
        QTest::newRow("search field, Ctrl+X") << false << KeySym(XK_x) << false;
        QTest::newRow("snippet content, Ctrl+C") << true << KeySym(XK_c) << false;
        QTest::newRow("the text just pasted") << false << KeySym(XK_c) << true;
    }

    void aCopyInOurOwnFieldIsCapturedOnce()
    {
        QFETCH(bool, inSnippetEditor);
        QFETCH(KeySym, key);
        QFETCH(bool, pastedFirst);
        const QString text = u"invoice 42"_s;
        ClipboardMonitor &monitor = *m_app->delegate->clipboardMonitor();
        QQuickItem *field = focusedField(inSnippetEditor);
        QVERIFY(field && field->inherits(inSnippetEditor ? "QQuickTextEdit" : "QQuickTextInput"));
        if (pastedFirst) {
            m_clipboard->write(PasteboardItem::fromString(text));
            monitor.setOwnChangeCount(m_clipboard->changeCount());
        }
        XUser user;
        user.type(text);
        user.pressWithControl(XK_a);
        user.pressWithControl(key);
        QTRY_COMPARE(QGuiApplication::clipboard()->text(), text);
        QTRY_COMPARE_WITH_TIMEOUT(historyEntriesHolding(text), 1, 5'000);
        QCOMPARE(m_clipboard->string(), text);

        // With the repeat filter out of the way: that copy counts once, our paste
        // of it not at all.
        monitor.clearLastContentHash();
        QTest::qWait(1'500);
        m_app->appState().paste().reveal(m_app->appState().clipboardEntries().constFirst());
        QTest::qWait(1'500);
        QCOMPARE(m_app->appState().clipboardEntries().size(), 1);
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
