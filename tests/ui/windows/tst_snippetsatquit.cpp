#include "../menubar/LaunchedApp.h"
#include "support/AwaitFuture.h"
#include "support/LogCapture.h"
#include "support/RawDatabase.h"
#include "ui/menubar/WindowHost.h"
#include "ui/windows/snippets/SnippetManagerViewModel.h"
#include "ui/windows/snippets/SnippetWindowRoot.h"

#include <QQuickItem>
#include <QQuickView>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

// Quitting while the Snippets window holds an unsaved edit, in the whole
// application, on a store that takes the edit or refuses it.
class SnippetsAtQuitTest final : public QObject {
    Q_OBJECT

    std::unique_ptr<LaunchedApp> m_app;
    SnippetManagerViewModel *m_editor = nullptr;
    const QString m_full = u"Database write failed: database or disk is full"_s;

    SecureStorageManager &store() { return *m_app->delegate->storageManager(); }

    QString storedTitle() { return awaitFuture(store().fetchSnippets()).snippets.value(0).title; }

    // The event loop as the application runs it: 0 once it quits, -1 once
    // an alert has come instead.
    int runQuit()
    {
        QTimer::singleShot(0, m_app->controller, &StatusBarController::quitApp);
        connect(
            &m_app->appState(), &AppStateController::showAlert, this, [] { QCoreApplication::exit(-1); },
            Qt::QueuedConnection);
        QTimer limit;
        limit.callOnTimeout([] { QCoreApplication::exit(-2); });
        limit.start(10'000);
        return QCoreApplication::exec();
    }

private slots:
    void initTestCase() { QCoreApplication::setApplicationName(u"Vantorell"_s); }

    void init()
    {
        m_app = std::make_unique<LaunchedApp>();
        QVERIFY(m_app->unlocked());
        const Snippet stored {.id = QUuid::createUuid(), .title = u"Stored"_s};
        QVERIFY(awaitFuture(store().insertSnippet(stored)));
        m_app->appState().loadSnippets();
        QTRY_COMPARE(m_app->appState().snippets().size(), 1);
        m_app->controller->windows().setSnippetManagerRoot(snippetWindowRoot());
        m_app->controller->openSnippetManagerWindow();
        QQuickView *window = m_app->controller->windows().snippetWindow();
        QVERIFY(window);
        m_editor = qobject_cast<SnippetManagerViewModel *>(
            window->rootObject()->property("viewModel").value<QObject *>());
        QVERIFY(m_editor);
        // The window's own reload has come back.
        QCOMPARE(storedTitle(), u"Stored"_s);
        m_editor->setSelectedSnippetID(stored.id);
        m_editor->setEditTitle(u"Edited"_s);
    }

    void cleanup() { m_app.reset(); }

    // The program ends only once the store has the edit; refused, it keeps
    // running with the window and the edit, and one alert says how to quit.
    void quitWaitsForTheStore_data()
    {
        QTest::addColumn<bool>("refused");
        QTest::newRow("stored") << false;
        QTest::newRow("refused") << true;
    }

    void quitWaitsForTheStore()
    {
        QFETCH(bool, refused);
        QVERIFY(!refused
            || awaitFuture(store().execute(u"CREATE TRIGGER full BEFORE INSERT ON snippets "
                                           u"BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END"_s)));
        QCOMPARE(runQuit(), refused ? -1 : 0);
        QCOMPARE(storedTitle(), refused ? u"Stored"_s : u"Edited"_s);
        QCOMPARE(m_app->alerts.events,
            refused ? QStringList {u"Your snippet edit couldn't be saved | "_s + m_full
                + u". Vantorell is still running, with the edit in the Snippets window: quit again "
                  u"once it can be saved, or close the Snippets window to give the edit up."_s}
                    : QStringList {});
        // Refused, the list shows the stored snippet again, the form the edit.
        QTRY_COMPARE(m_editor->canSave(), refused);
        if (!refused)
            return;
        // Closing the window gives the edit up: the end that follows saves
        // nothing, also once there is room.
        QQuickView *window = m_app->controller->windows().snippetWindow();
        QVERIFY(window->isVisible());
        window->close();
        QTRY_COMPARE(m_app->alerts.events.size(), 2);
        QTRY_VERIFY(m_editor->canSave());
        QVERIFY(awaitFuture(store().execute(u"DROP TRIGGER full"_s)));
        RawDatabase file(m_app->home.filePath(u"data/Vantorell/vantorell.db"_s));
        const QVariant saved = file.value("SELECT updated_at FROM snippets");
        m_app->delegate->applicationWillTerminate();
        QCOMPARE(file.value("SELECT updated_at FROM snippets"), saved);
    }

    // Ended from outside, the program saves the edit while it still has the
    // key, and logs a refusal, since nothing on screen can tell it any more.
    void endFromOutsideLogsARefusal()
    {
        QVERIFY(awaitFuture(store().execute(u"PRAGMA query_only = ON"_s)));
        LogCapture log;
        m_app->delegate->applicationWillTerminate();
        QVERIFY(log.contains(u"[Vantorell] A snippet edit was not saved at the end: Database write failed: "
                             u"attempt to write a readonly database"_s));
    }
};

QTEST_MAIN(SnippetsAtQuitTest)
#include "tst_snippetsatquit.moc"
