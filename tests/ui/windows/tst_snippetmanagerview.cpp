#include "app/AppStateController.h"
#include "app/SecurityController.h"
#include "crypto/EncryptionService.h"
#include "crypto/KeyManager.h"
#include "crypto/SecureRandom.h"
#include "support/FakeDeviceAuth.h"
#include "support/FakeIdleTime.h"
#include "support/FakeKeychain.h"
#include "support/RawDatabase.h"
#include "support/StoreFixture.h"
#include "ui/windows/snippets/SnippetManagerViewModel.h"
#include "ui/windows/snippets/SnippetWindowRoot.h"

#include <QAccessible>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

using Group = std::optional<QString>;
using Groups = QList<Group>;

const QDateTime longAgo = QDateTime::fromSecsSinceEpoch(1'600'000'000, Qt::UTC);

Snippet snippet(const QString &title, const Group &group = std::nullopt, const QStringList &tags = {})
{
    return {.id = QUuid::createUuid(),
        .title = title,
        .content = title + u" body"_s,
        .tags = tags,
        .group = group,
        .createdAt = longAgo,
        .updatedAt = longAgo};
}

QStringList titlesOf(const QList<Snippet> &snippets)
{
    QStringList titles;
    for (const Snippet &each : snippets)
        titles.append(each.title);
    return titles;
}

} // namespace

class SnippetManagerViewTest final : public QObject {
    Q_OBJECT

    FakeKeychain m_keychain;
    FakeDeviceAuth m_deviceAuth;
    FakeIdleTime m_idle;
    KeyManager m_keys {m_keychain, m_deviceAuth};
    EncryptionService m_encryption {m_keys.masterKey()};
    std::unique_ptr<StoreFixture> m_f;
    std::unique_ptr<AppStateController> m_appState;
    std::unique_ptr<SecurityController> m_security;
    std::unique_ptr<SnippetManagerViewModel> m_view;

    // The window as the window host opens it, over the test's state.
    struct Window {
        QQmlEngine engine;
        QQuickView view {&engine, nullptr};
        SnippetManagerViewModel *model = nullptr;
    };

    // Store continuations hop between the worker and the main thread.
    void settle()
    {
        for (int i = 0; i < 4; ++i)
            m_f->settle();
    }

    // Stores the snippets; the published list is what the store gives back.
    void seed(const QList<Snippet> &snippets, const QStringList &folders = {})
    {
        for (const Snippet &each : snippets)
            awaitFuture(m_f->store.insertSnippet(each));
        m_f->settings.setSnippetFolders(folders);
        m_appState->loadSnippets();
        settle();
    }

    QList<Snippet> stored() { return awaitFuture(m_f->store.fetchSnippets()).snippets; }

    Snippet storedSnippet(const QUuid &id)
    {
        const QList<Snippet> snippets = stored();
        const auto found = std::ranges::find(snippets, id, &Snippet::id);
        return found == snippets.end() ? Snippet() : *found;
    }

    std::unique_ptr<Window> openWindow()
    {
        auto window = std::make_unique<Window>();
        window->view.setInitialProperties({{u"appState"_s, QVariant::fromValue<QObject *>(m_appState.get())},
            {u"settings"_s, QVariant::fromValue<QObject *>(&m_f->settings)}});
        window->view.setSource(snippetWindowRoot());
        if (window->view.status() != QQuickView::Ready)
            return nullptr;
        window->view.show();
        window->model = qobject_cast<SnippetManagerViewModel *>(
            window->view.rootObject()->property("viewModel").value<QObject *>());
        return window->model ? std::move(window) : nullptr;
    }

    // As the window host does once the vault has locked.
    void closeOnLock(Window &window)
    {
        connect(m_appState.get(), &AppStateController::isUnlockedChanged, &window.view, [&window](bool open) {
            if (!open)
                window.view.close();
        });
    }

    // Which column has the keyboard: "folders", "snippets", "form" or "".
    static QString focusedColumn(const Window &window)
    {
        for (const QQuickItem *item = window.view.activeFocusItem(); item; item = item->parentItem()) {
            if (!item->objectName().isEmpty())
                return item->objectName();
        }
        return {};
    }

    // What assistive tools call the focused control; Qt Quick names a
    // control by its title only while one listens, so that stands in.
    static QString focusedName(const Window &window)
    {
        QQuickItem *item = window.view.activeFocusItem();
        const QAccessibleInterface *accessible = item ? QAccessible::queryAccessibleInterface(item) : nullptr;
        if (accessible && !accessible->text(QAccessible::Name).isEmpty())
            return accessible->text(QAccessible::Name);
        return item ? item->property("text").toString() : QString();
    }

    void open(const Snippet &opened)
    {
        m_view->changeSelection({FolderSelection::Kind::all});
        m_view->setSelectedSnippetID(opened.id);
        QCOMPARE(m_view->editingID(), std::optional(opened.id));
    }

private slots:
    void init()
    {
        // A fresh keyring: the key check of the last test's key would refuse
        // this one.
        m_keychain = FakeKeychain();
        m_keychain.items.insert(KeyManager::rawKeyAccount, SecureRandom::bytes(32).value().toByteArray());
        QVERIFY(m_keys.unlockFromKeychain());
        m_f = std::make_unique<StoreFixture>(m_encryption);
        m_appState = std::make_unique<AppStateController>();
        m_security
            = std::make_unique<SecurityController>(m_keys, *m_appState, m_f->settings, m_deviceAuth, m_idle);
        m_appState->configure(nullptr, m_f->store, m_f->snippets, m_security.get(), m_f->settings);
        m_appState->setUnlocked(true);
        m_view = std::make_unique<SnippetManagerViewModel>();
        m_view->setAppState(m_appState.get());
        m_view->setSettings(&m_f->settings);
    }

    void cleanup()
    {
        m_view.reset();
        m_security.reset();
        m_appState.reset();
        m_f.reset();
    }

    void folderNames_data()
    {
        QTest::addColumn<Groups>("groups");
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("union of groups and stored names, once each")
            << Groups {u"Work"_s, u"Email"_s, std::nullopt} << QStringList {u"Email"_s, u"Templates"_s}
            << QStringList {u"Email"_s, u"Templates"_s, u"Work"_s};
        QTest::newRow("canonically equal names are one folder")
            << Groups {u"Cafe\u0301"_s} << QStringList {u"Café"_s} << QStringList {u"Cafe\u0301"_s};
        QTest::newRow("code points, not UTF-16 units nor case")
            << Groups {} << QStringList {u"\U0001D49C"_s, u"a"_s, u"\uE000"_s, u"B"_s, u"A"_s}
            << QStringList {u"A"_s, u"B"_s, u"a"_s, u"\uE000"_s, u"\U0001D49C"_s};
        QTest::newRow("an empty group is a folder")
            << Groups {u""_s} << QStringList {} << QStringList {u""_s};
    }

    void folderNames()
    {
        QFETCH(QStringList, names);
        QFETCH(Groups, groups);
        QFETCH(QStringList, folders);
        QList<Snippet> snippets;
        for (const Group &group : groups)
            snippets.append(snippet(u"s"_s, group));
        seed(snippets, folders);
        QCOMPARE(m_view->allFolderNames(), names);
    }

    void filteredSnippets_data()
    {
        QTest::addColumn<FolderSelection>("selection");
        QTest::addColumn<QStringList>("titles");
        // As published: most recently updated first.
        QTest::newRow("all, equal titles in list order")
            << FolderSelection {} << QStringList {u"Beta 1"_s, u"Beta 2"_s, u"Delta"_s, u"alpha"_s, u"Ω"_s};
        QTest::newRow("ungrouped leaves out the empty folder")
            << FolderSelection {FolderSelection::Kind::ungrouped} << QStringList {u"alpha"_s};
        QTest::newRow("the empty folder") << FolderSelection::folder(u""_s) << QStringList {u"Delta"_s};
        QTest::newRow("a folder by its canonical name")
            << FolderSelection::folder(u"Cafe\u0301"_s) << QStringList {u"Beta 1"_s, u"Beta 2"_s, u"Ω"_s};
    }

    void filteredSnippets()
    {
        QFETCH(QStringList, titles);
        QFETCH(FolderSelection, selection);
        QList<Snippet> snippets {snippet(u"Ω"_s, u"Café"_s), snippet(u"alpha"_s),
            snippet(u"Beta"_s, u"Café"_s), snippet(u"Delta"_s, u""_s), snippet(u"Beta"_s, u"Café"_s)};
        for (qsizetype i = 0; i < snippets.size(); ++i)
            snippets[i].updatedAt = longAgo.addSecs(-i);
        snippets[2].content = u"1"_s;
        snippets[4].content = u"2"_s;
        seed(snippets);
        m_view->changeSelection(selection);
        QStringList shown;
        for (const Snippet &each : m_view->filteredSnippets())
            shown.append(each.title == u"Beta"_s ? u"Beta "_s + each.content : each.title);
        QCOMPARE(shown, titles);
    }

    void createFolder_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<FolderSelection>("selection");
        const QStringList existing {u"Email"_s};
        QTest::newRow("trimmed of blanks") << u" \tRecipes\u00A0"_s << QStringList {u"Email"_s, u"Recipes"_s}
                                           << FolderSelection::folder(u"Recipes"_s);
        QTest::newRow("line breaks stay") << u"Notes\n"_s << QStringList {u"Email"_s, u"Notes\n"_s}
                                          << FolderSelection::folder(u"Notes\n"_s);
        QTest::newRow("an existing name changes nothing") << u"Email "_s << existing << FolderSelection {};
        QTest::newRow("a name of blanks changes nothing") << u" \t "_s << existing << FolderSelection {};
        QTest::newRow("other case is another folder")
            << u"email"_s << QStringList {u"Email"_s, u"email"_s} << FolderSelection::folder(u"email"_s);
    }

    void createFolder()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, folders);
        QFETCH(FolderSelection, selection);
        seed({}, {u"Email"_s});
        m_view->showNewFolderSheet();
        m_view->setNewFolderName(typed);
        m_view->createFolder();
        QVERIFY(!m_view->showNewFolder());
        QCOMPARE(m_f->settings.snippetFolders(), folders);
        QCOMPARE(m_view->selection(), selection);
    }

    void folderOperations_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QStringList>("foldersAfter");
        QTest::addColumn<Group>("groupAfter");
        QTest::addColumn<FolderSelection>("selectionAfter");
        // typed: the rename prompt's answer; none deletes the folder.
        const QStringList both {u"Email"_s, u"Work"_s};
        QTest::newRow("rename merges into an existing folder")
            << u" Email "_s << u"Work"_s << both << QStringList {u"Email"_s, u"Email"_s} << Group(u"Email"_s)
            << FolderSelection::folder(u"Email"_s);
        QTest::newRow("rename stores a name only snippets carried")
            << u"Notes"_s << u"Drafts"_s << QStringList {} << QStringList {u"Notes"_s} << Group(u"Notes"_s)
            << FolderSelection::folder(u"Notes"_s);
        QTest::newRow("delete moves the members to Ungrouped")
            << QString() << u"Work"_s << both << QStringList {u"Email"_s} << Group() << FolderSelection {};
    }

    // The open member's folder follows the operation: no later save puts it
    // back under the old name.
    void folderOperations()
    {
        QFETCH(QStringList, foldersAfter);
        QFETCH(FolderSelection, selectionAfter);
        QFETCH(QStringList, folders);
        QFETCH(QString, typed);
        QFETCH(QString, folder);
        QFETCH(Group, groupAfter);
        const Snippet member = snippet(u"Member"_s, folder);
        seed({member, snippet(u"Other"_s, u"Email"_s)}, folders);
        m_view->changeSelection(FolderSelection::folder(folder));
        m_view->setSelectedSnippetID(member.id);
        const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);

        m_view->setRenamePrompt([&typed](const QString &) { return std::optional(typed); });
        if (typed.isNull())
            m_view->deleteFolder(folder);
        else
            m_view->promptRenameFolder(folder);
        QCOMPARE(m_view->editFolder(), groupAfter.value_or(QString()));
        settle();
        QCOMPARE(m_f->settings.snippetFolders(), foldersAfter);
        QCOMPARE(m_view->selection(), selectionAfter);
        QVERIFY(!m_view->hasUnsavedChanges());
        QCOMPARE(storedSnippet(member.id).group, groupAfter);
        QVERIFY(storedSnippet(member.id).updatedAt > before);

        m_view->changeSelection({FolderSelection::Kind::ungrouped});
        settle();
        QCOMPARE(storedSnippet(member.id).group, groupAfter);
        QVERIFY(!m_view->allFolderNames().contains(folder));
    }

    void renameThatChangesNothing_data()
    {
        QTest::addColumn<std::optional<QString>>("typed");
        QTest::newRow("cancelled") << std::optional<QString>();
        QTest::newRow("blank") << std::optional(u" \t"_s);
        QTest::newRow("the same name") << std::optional(u" Work"_s);
    }

    void renameThatChangesNothing()
    {
        QFETCH(std::optional<QString>, typed);
        const Snippet member = snippet(u"Member"_s, u"Work"_s);
        seed({member}, {u"Work"_s});
        m_view->setRenamePrompt([&typed](const QString &) { return typed; });
        m_view->promptRenameFolder(u"Work"_s);
        settle();
        QCOMPARE(m_f->settings.snippetFolders(), QStringList {u"Work"_s});
        QCOMPARE(storedSnippet(member.id), member);
    }

    void rowsShowOnlyTheStartOfALargeSnippet()
    {
        Snippet large = snippet(u"Large"_s);
        large.content = QString(100'000, u'x');
        seed({large});
        const QString preview = m_view->snippetRows()->index(0).data(SnippetRows::PreviewRole).toString();
        QVERIFY(!preview.isEmpty());
        QVERIFY(preview.size() < 1000);
    }

    void dirtyCheck_data()
    {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("dirty");
        QTest::addColumn<bool>("canSave");
        QTest::newRow("tags as shown") << "editTags"_ba << QVariant(u"a, b"_s) << false << false;
        QTest::newRow("tags with a bare comma") << "editTags"_ba << QVariant(u"a,b"_s) << true << true;
        QTest::newRow("a canonically equal title")
            << "editTitle"_ba << QVariant(u"Cafe\u0301"_s) << false << false;
        QTest::newRow("a title of spaces") << "editTitle"_ba << QVariant(u"  "_s) << true << true;
        QTest::newRow("an empty title") << "editTitle"_ba << QVariant(QString()) << true << false;
        QTest::newRow("content") << "editContent"_ba << QVariant(u"Café body "_s) << true << true;
        QTest::newRow("folder to Ungrouped") << "editFolder"_ba << QVariant(QString()) << true << true;
        QTest::newRow("favourite") << "editFavorite"_ba << QVariant(true) << true << true;
    }

    void dirtyCheck()
    {
        QFETCH(QByteArray, field);
        QFETCH(QVariant, value);
        QFETCH(bool, dirty);
        QFETCH(bool, canSave);
        const Snippet shown = snippet(u"Café"_s, u"Work"_s, {u"a"_s, u"b"_s});
        seed({shown});
        open(shown);
        QVERIFY(m_view->setProperty(field.constData(), value));
        QCOMPARE(m_view->hasUnsavedChanges(), dirty);
        QCOMPARE(m_view->canSave(), canSave);
    }

    void tagsAreParsedOnSave_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("tags");
        QTest::newRow("empty pieces and blanks dropped")
            << u" a\t,, b ,  ,c"_s << QStringList {u"a"_s, u"b"_s, u"c"_s};
        QTest::newRow("one comma between blanks") << u" , "_s << QStringList {};
        QTest::newRow("duplicates and line breaks kept")
            << u"x, x ,x\n"_s << QStringList {u"x"_s, u"x"_s, u"x\n"_s};
    }

    void tagsAreParsedOnSave()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, tags);
        const Snippet shown = snippet(u"Tagged"_s);
        seed({shown});
        open(shown);
        m_view->setEditTags(typed);
        m_view->saveSnippetEdits();
        QCOMPARE(m_view->editTags(), tags.join(u", "_s));
        QVERIFY(!m_view->hasUnsavedChanges());
        settle();
        QCOMPARE(storedSnippet(shown.id).tags, tags);
    }

    void loadingAMissingSnippetClearsOnlyTheEditingID()
    {
        const Snippet shown = snippet(u"Kept"_s, u"Work"_s);
        seed({shown});
        open(shown);
        m_view->setEditContent(u"typed"_s);
        m_view->setSelectedSnippetID(QUuid::createUuid());
        QVERIFY(!m_view->editingID());
        QCOMPARE(m_view->editTitle(), u"Kept"_s);
        QCOMPARE(m_view->editContent(), u"typed"_s);
        QVERIFY(!m_view->canSave());
    }

    void failedSaveShowsWhyAndTheStoredSnippetReturns()
    {
        const Snippet shown = snippet(u"Stored"_s);
        seed({shown});
        open(shown);
        m_view->setEditTitle(u"Edited"_s);
        // Back before the reload that follows the failure.
        connect(m_view.get(), &SnippetManagerViewModel::saveErrorChanged, this,
            [this] { QVERIFY(m_keys.unlockFromKeychain()); });
        m_keys.dropMasterKey();
        m_view->saveSnippetEdits();
        QCOMPARE(titlesOf(m_appState->snippets()), QStringList {u"Edited"_s});
        settle();
        QCOMPARE(m_view->saveError(), u"Couldn't save “Edited”: App is locked. Master key not available."_s);
        QCOMPARE(titlesOf(m_appState->snippets()), QStringList {u"Stored"_s});
        QCOMPARE(m_view->editTitle(), u"Edited"_s);
        QVERIFY(m_view->canSave());
    }

    void twoQuickAddsMakeOneSnippetInTheSelectedFolder()
    {
        seed({}, {u"Work"_s});
        m_view->changeSelection(FolderSelection::folder(u"Work"_s));
        m_view->startNewSnippet();
        m_view->startNewSnippet();
        settle();
        const QList<Snippet> snippets = stored();
        QCOMPARE(snippets.size(), 1);
        QCOMPARE(snippets.first().title, u"New snippet"_s);
        QCOMPARE(snippets.first().group, Group(u"Work"_s));
        QCOMPARE(m_view->selectedSnippetID(), std::optional(snippets.first().id));
        QCOMPARE(m_view->editTitle(), u"New snippet"_s);
        QVERIFY(!m_view->isCreating());
        RawDatabase raw(m_f->databasePath());
        QCOMPARE(raw.texts("SELECT event_type || ' ' || quote(detail) FROM audit_log"),
            QStringList {u"snippet_created NULL"_s});
    }

    void deletingTheOpenSnippetLeavesNothingToSave()
    {
        const Snippet doomed = snippet(u"Doomed"_s);
        const Snippet other = snippet(u"Other"_s);
        seed({doomed, other, snippet(u"A row"_s)});
        open(other);
        m_view->deleteSnippetRow(0);
        QCOMPARE(m_view->selectedSnippetID(), std::optional(other.id));
        open(doomed);
        m_view->setEditTitle(u"Edited"_s);
        m_view->deleteSelectedSnippet();
        QVERIFY(!m_view->selectedSnippetID());
        m_view->setSelectedSnippetID(other.id);
        m_view->changeSelection({FolderSelection::Kind::ungrouped});
        settle();
        QCOMPARE(titlesOf(stored()), QStringList {u"Other"_s});
        QCOMPARE(titlesOf(m_appState->snippets()), QStringList {u"Other"_s});
        QCOMPARE(m_view->editTitle(), u"Other"_s);
    }

    void sidebarChangeSavesOnlyTitledEdits_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("storedTitle");
        QTest::newRow("titled edit saved") << u"Edited"_s << u"Edited"_s;
        QTest::newRow("untitled edit dropped") << QString() << u"Stored"_s;
    }

    void sidebarChangeSavesOnlyTitledEdits()
    {
        QFETCH(QString, title);
        QFETCH(QString, storedTitle);
        const Snippet shown = snippet(u"Stored"_s);
        seed({shown});
        open(shown);
        m_view->setEditTitle(title);
        m_view->selectSidebarRow(1);
        QVERIFY(!m_view->selectedSnippetID());
        settle();
        QCOMPARE(storedSnippet(shown.id).title, storedTitle);
    }

    // Every view of the window loads without a warning, and closing the
    // window keeps what was typed.
    void closingTheWindowSaves()
    {
        const Snippet shown = snippet(u"Stored"_s, u"Work"_s, {u"a"_s});
        seed({shown});
        QTest::failOnWarning(QRegularExpression(u".*"_s));
        const std::unique_ptr<Window> window = openWindow();
        QVERIFY(window);
        SnippetManagerViewModel *view = window->model;
        view->showNewFolderSheet();
        view->setShowNewFolder(false);
        view->setSelectedSnippetID(shown.id);
        view->setEditContent(u"typed before closing"_s);
        QTest::qWait(50);
        window->view.close();
        settle();
        QCOMPARE(storedSnippet(shown.id).content, u"typed before closing"_s);
    }

    // A save that the store refuses once the window has closed, by the user
    // or by a lock, is told outside it, once; over the lock screen without
    // the title.
    void refusedSaveOnClosingIsTold_data()
    {
        QTest::addColumn<bool>("byLock");
        QTest::addColumn<QString>("alert");
        const QString why = u": Database write failed: database or disk is full"_s;
        QTest::newRow("closed by the user") << false << u"Couldn't save “Edited”"_s + why;
        QTest::newRow("closed by a lock") << true << u"Couldn't save a snippet"_s + why;
    }

    void refusedSaveOnClosingIsTold()
    {
        QFETCH(bool, byLock);
        const Snippet shown = snippet(u"Stored"_s);
        seed({shown});
        QVERIFY(RawDatabase(m_f->databasePath())
                    .run("CREATE TRIGGER full BEFORE INSERT ON snippets "
                         "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END"));
        const std::unique_ptr<Window> window = openWindow();
        QVERIFY(window);
        closeOnLock(*window);
        window->model->setSelectedSnippetID(shown.id);
        window->model->setEditTitle(u"Edited"_s);
        QSignalSpy alerts(m_appState.get(), &AppStateController::showAlert);
        if (byLock)
            m_security->lockNow();
        else
            window->view.close();
        QTRY_COMPARE(alerts.size(), 1);
        settle();
        QCOMPARE(alerts.size(), 1);
        QTEST(alerts.first().first().toString(), "alert");
        QVERIFY(m_keys.unlockFromKeychain());
        QCOMPARE(storedSnippet(shown.id).title, u"Stored"_s);
    }

    // The arrow keys move each list's selection the way a click does, saving
    // the open snippet's titled edits first; Tab walks the three columns.
    void selectionKeys_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QString>("typedTitle");
        QTest::addColumn<int>("sidebarRow");
        QTest::addColumn<QString>("selectedTitle");
        QTest::addColumn<QString>("focused");
        QTest::addColumn<QString>("storedTitle");
        const QString none;
        const int tab = Qt::Key_Tab;
        const int up = Qt::Key_Up;
        const int down = Qt::Key_Down;
        QTest::newRow("the window opens on the sidebar")
            << QList<int> {} << none << 0 << none << u"folders"_s << u"Alpha"_s;
        QTest::newRow("sidebar down, down, up")
            << QList<int> {down, down, up} << none << 1 << none << u"folders"_s << u"Alpha"_s;
        QTest::newRow("sidebar stays at the top")
            << QList<int> {up} << none << 0 << none << u"folders"_s << u"Alpha"_s;
        QTest::newRow("sidebar stays at the bottom")
            << QList<int> {down, down, down} << none << 2 << none << u"folders"_s << u"Alpha"_s;
        QTest::newRow("list down from no row takes the first")
            << QList<int> {tab, tab, tab, down} << none << 0 << u"Alpha"_s << u"snippets"_s << u"Alpha"_s;
        QTest::newRow("list up from no row takes the last")
            << QList<int> {tab, tab, tab, up} << none << 0 << u"Gamma"_s << u"snippets"_s << u"Alpha"_s;
        QTest::newRow("list down saves a titled edit") << QList<int> {tab, tab, tab, down} << u"Alpha 2"_s
                                                       << 0 << u"Beta"_s << u"snippets"_s << u"Alpha 2"_s;
        QTest::newRow("list up drops an untitled edit") << QList<int> {tab, tab, tab, down, up} << u""_s << 0
                                                        << u"Alpha"_s << u"snippets"_s << u"Alpha"_s;
        QTest::newRow("sidebar down saves a titled edit")
            << QList<int> {down} << u"Alpha 2"_s << 1 << none << u"folders"_s << u"Alpha 2"_s;
        QTest::newRow("sidebar down drops an untitled edit")
            << QList<int> {down} << u""_s << 1 << none << u"folders"_s << u"Alpha"_s;
        QTest::newRow("tab from the list reaches the form")
            << QList<int> {tab, tab, tab, tab} << u"Alpha 2"_s << 0 << u"Alpha"_s << u"form"_s << u"Alpha"_s;
        QTest::newRow("shift-tab from the form is back on the list")
            << QList<int> {tab, tab, tab, tab, Qt::Key_Backtab} << u"Alpha 2"_s << 0 << u"Alpha"_s
            << u"snippets"_s << u"Alpha"_s;
    }

    void selectionKeys()
    {
        QFETCH(QList<int>, keys);
        QFETCH(QString, typedTitle);
        QFETCH(int, sidebarRow);
        QFETCH(QString, selectedTitle);
        QFETCH(QString, focused);
        QFETCH(QString, storedTitle);
        const Snippet alpha = snippet(u"Alpha"_s);
        seed({alpha, snippet(u"Beta"_s), snippet(u"Gamma"_s, u"Work"_s)});
        const std::unique_ptr<Window> window = openWindow();
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(&window->view));
        SnippetManagerViewModel &view = *window->model;
        if (!typedTitle.isNull()) {
            view.setSelectedSnippetID(alpha.id);
            view.setEditTitle(typedTitle);
        }
        for (const int key : keys)
            QTest::keyClick(&window->view, Qt::Key(key));
        QCOMPARE(view.selectedSidebarRow(), sidebarRow);
        const std::optional<Snippet> selected = view.selectedSnippet();
        QCOMPARE(selected ? selected->title : QString(), selectedTitle);
        QCOMPARE(focusedColumn(*window), focused);
        settle();
        QCOMPARE(storedSnippet(alpha.id).title, storedTitle);
    }

    // Tab reaches every control of the window in reading order, and comes
    // back round to the folders.
    void everyControlByTab()
    {
        const Snippet shown = snippet(u"Alpha"_s);
        seed({shown});
        const std::unique_ptr<Window> window = openWindow();
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(&window->view));
        window->model->setSelectedSnippetID(shown.id);
        QStringList reached;
        do {
            reached << focusedName(*window);
            // The content editor keeps Tab for the template.
            QTest::keyClick(&window->view, Qt::Key_Tab,
                reached.constLast() == u"Content" ? Qt::ControlModifier : Qt::NoModifier);
        } while (reached.size() < 20 && focusedColumn(*window) != u"folders");
        QCOMPARE(reached,
            QStringList({u"Folders"_s, u"New Folder"_s, u"New Snippet"_s, u"Alpha"_s, u"Title"_s,
                u"Content"_s, u"Folder"_s, u"Tags (comma-separated)"_s, u"Favorite"_s, u"Delete"_s}));

        // The New Folder sheet hands the keyboard back to its button.
        QTest::keyClick(&window->view, Qt::Key_Tab);
        QQuickItem *newFolder = window->view.activeFocusItem();
        QTest::keyClick(&window->view, Qt::Key_Space);
        QTRY_VERIFY(window->model->showNewFolder() && !newFolder->hasActiveFocus());
        QTest::keyClick(&window->view, Qt::Key_Escape);
        QTRY_VERIFY(newFolder->hasActiveFocus());
    }

    // The Menu key or Shift+F10 opens the selected row's menu, its first
    // item ready for Return.
    void rowMenuByKeyboard_data()
    {
        QTest::addColumn<int>("sidebarRow");
        QTest::addColumn<bool>("inList");
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        // The folder renamed or the snippet deleted by the menu's first item;
        // empty for no menu.
        QTest::addColumn<QString>("acted");
        const Qt::KeyboardModifiers none = Qt::NoModifier;
        QTest::newRow("Menu on a folder") << 3 << false << Qt::Key_Menu << none << u"Work"_s;
        QTest::newRow("F10 alone") << 3 << false << Qt::Key_F10 << none << QString();
        QTest::newRow("All Snippets has no menu") << 0 << false << Qt::Key_Menu << none << QString();
        QTest::newRow("Shift+F10 on a snippet")
            << 0 << true << Qt::Key_F10 << Qt::KeyboardModifiers(Qt::ShiftModifier) << u"Beta"_s;
    }

    void rowMenuByKeyboard()
    {
        QFETCH(int, sidebarRow);
        QFETCH(bool, inList);
        QFETCH(Qt::Key, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QString, acted);
        seed({snippet(u"Alpha"_s), snippet(u"Beta"_s, u"Work"_s)}, {u"Email"_s});
        const std::unique_ptr<Window> window = openWindow();
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(&window->view));
        QString renamed;
        window->model->setRenamePrompt([&renamed](const QString &name) {
            renamed = name;
            return std::optional<QString>();
        });
        window->model->selectSidebarRow(sidebarRow);
        // Past New Folder and the add button to the list's second row.
        const QList<Qt::Key> toList {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Down, Qt::Key_Down};
        for (const Qt::Key each : inList ? toList : QList<Qt::Key>())
            QTest::keyClick(&window->view, each);
        const QString column = focusedColumn(*window);
        QTest::keyClick(&window->view, key, modifiers);
        QTest::keyClick(&window->view, Qt::Key_Return);
        QCoreApplication::processEvents();
        settle();
        QCOMPARE(renamed, inList ? QString() : acted);
        QStringList kept {u"Alpha"_s, u"Beta"_s};
        if (inList)
            kept.removeOne(acted);
        QCOMPARE(titlesOf(m_appState->snippets()), kept);
        QCOMPARE(focusedColumn(*window), column);
    }

    // The lock saves as a selection change does, before the key goes: the
    // window's own save on closing comes after it and could seal nothing.
    void lockWithPendingEdits_data()
    {
        QTest::addColumn<QString>("typedTitle");
        QTest::addColumn<QString>("storedTitle");
        QTest::addColumn<QString>("storedContent");
        QTest::newRow("titled edits are saved") << u"Edited"_s << u"Edited"_s << u"typed before the lock"_s;
        QTest::newRow("untitled edits are dropped") << u""_s << u"Stored"_s << u"Stored body"_s;
    }

    void lockWithPendingEdits()
    {
        QFETCH(QString, typedTitle);
        QFETCH(QString, storedTitle);
        QFETCH(QString, storedContent);
        const Snippet shown = snippet(u"Stored"_s);
        seed({shown});
        const std::unique_ptr<Window> window = openWindow();
        QVERIFY(window);
        closeOnLock(*window);
        window->model->setSelectedSnippetID(shown.id);
        window->model->setEditTitle(typedTitle);
        window->model->setEditContent(u"typed before the lock"_s);
        m_security->lockNow();
        QVERIFY(!m_keys.hasMasterKey());
        QVERIFY(QTest::qWaitFor([&] { return !window->view.isVisible(); }));
        settle();
        QVERIFY(m_appState->snippets().isEmpty());
        QVERIFY(m_keys.unlockFromKeychain());
        const Snippet stored = storedSnippet(shown.id);
        QCOMPARE(stored.title, storedTitle);
        QCOMPARE(stored.content, storedContent);
    }
};

QTEST_MAIN(SnippetManagerViewTest)
#include "tst_snippetmanagerview.moc"
