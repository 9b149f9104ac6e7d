#include "../menubar/LaunchedApp.h"
#include "support/AwaitFuture.h"
#include "support/LogCapture.h"
#include "ui/menubar/WindowHost.h"
#include "ui/windows/snippets/SnippetManagerViewModel.h"
#include "ui/windows/snippets/SnippetWindowRoot.h"

#include <QQuickItem>
#include <QQuickView>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QString full = u"Database write failed: database or disk is full"_s;

} // namespace

// Quitting while the Snippets window holds an edit not yet saved, in the
// whole application on a store that takes the edit or refuses it.
class SnippetsAtQuitTest final : public QObject {
    Q_OBJECT

    std::unique_ptr<LaunchedApp> m_app;
    SnippetManagerViewModel *m_editor = nullptr;
    Snippet m_stored {.id = QUuid::createUuid(), .title = u"Stored"_s, .content = u"body"_s};

    SecureStorageManager &store() { return *m_app->delegate->storageManager(); }

    QString storedTitle()
    {
        const QList<Snippet> snippets = awaitFuture(store().fetchSnippets()).snippets;
        return snippets.size() == 1 ? snippets.first().title : QString();
    }

    void refuseSnippetWrites()
    {
        QVERIFY(
            awaitFuture(store().execute(u"CREATE TRIGGER full BEFORE INSERT ON snippets "
                                        u"BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END"_s)));
    }

    // The application's event loop: what ends it, 0 for Quit, or -1 once an
    // alert has come instead.
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
        QVERIFY(awaitFuture(store().insertSnippet(m_stored)));
        m_app->appState().loadSnippets();
        QTRY_COMPARE(m_app->appState().snippets().size(), 1);
        WindowHost &windows = m_app->controller->windows();
        windows.setSnippetManagerRoot(snippetWindowRoot());
        m_app->controller->openSnippetManagerWindow();
        QVERIFY(windows.snippetWindow());
        m_editor = qobject_cast<SnippetManagerViewModel *>(
            windows.snippetWindow()->rootObject()->property("viewModel").value<QObject *>());
        QVERIFY(m_editor);
        m_editor->setSelectedSnippetID(m_stored.id);
        m_editor->setEditTitle(u"Edited"_s);
    }

    void cleanup()
    {
        m_editor = nullptr;
        m_app.reset();
    }

    // Quit ends the program only once the store has the edit; when the
    // store refuses it, the program keeps running with the window and the
    // edit, and one alert says how to quit.
    void quitWaitsForTheStore_data()
    {
        QTest::addColumn<bool>("refused");
        QTest::addColumn<int>("ended");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("alerts");
        QTest::newRow("stored") << false << 0 << u"Edited"_s << QStringList {};
        QTest::newRow("refused") << true << -1 << u"Stored"_s
                                 << QStringList {u"Your snippet edit couldn't be saved | "_s + full
                                        + u". Vantorell is still running, with the edit in the Snippets "
                                          u"window: quit again once it can be saved, or close the Snippets "
                                          u"window to give the edit up."_s};
    }

    void quitWaitsForTheStore()
    {
        QFETCH(bool, refused);
        if (refused)
            refuseSnippetWrites();
        QTEST(runQuit(), "ended");
        QTEST(storedTitle(), "title");
        QTEST(m_app->alerts.events, "alerts");
        if (!refused)
            return;
        QVERIFY(m_app->controller->windows().snippetWindow()->isVisible());
        QCOMPARE(m_editor->editTitle(), u"Edited"_s);
        QVERIFY(m_editor->canSave());
    }

    // Ended from outside, the program saves what it can while it still has
    // the key; a refusal, which nothing on screen can tell any more, is
    // logged.
    void endFromOutsideLogsARefusal()
    {
        refuseSnippetWrites();
        LogCapture log;
        m_app->delegate->applicationWillTerminate();
        QVERIFY(log.contains(u"[Vantorell] A snippet edit was not saved at the end: "_s + full));
    }
};

QTEST_MAIN(SnippetsAtQuitTest)
#include "tst_snippetsatquit.moc"
