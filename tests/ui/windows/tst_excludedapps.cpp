#include "SettingsWindowFixture.h"

#include "platform/linux/DesktopEntryIndex.h"
#include "support/TestFiles.h"
#include "ui/design/ItemAccessibility.h"
#include "ui/windows/settings/ExcludedAppsTab.h"

#include <QAccessible>
#include <QQuickItem>
#include <QQuickView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

// A row clicked, and the modifiers held.
using Clicks = QList<std::pair<int, Qt::KeyboardModifiers>>;
// A key pressed, and the modifiers held.
using Keys = QList<std::pair<Qt::Key, Qt::KeyboardModifiers>>;

namespace {

QByteArray application(const QByteArray &lines)
{
    return "[Desktop Entry]\nType=Application\n" + lines;
}

QStringList names(const QList<ExcludedApp> &apps)
{
    QStringList names;
    for (const ExcludedApp &app : apps)
        names.append(app.name);
    return names;
}

} // namespace

// The list over real launcher files in a temporary applications folder.
class ExcludedAppsTest final : public QObject {
    Q_OBJECT

    QTemporaryDir m_dataHome;
    std::unique_ptr<SettingsWindowFixture> m_f;
    std::unique_ptr<DesktopEntryIndex> m_index;
    std::unique_ptr<SettingsWindowContext> m_context;
    std::unique_ptr<ExcludedAppsTab> m_tab;

    QList<ExcludedApp> apps() { return m_f->settings().excludedApps(); }

    // The section as the window shows it, alone in a window of its own.
    std::unique_ptr<QQuickView> showPage()
    {
        auto view = std::make_unique<QQuickView>();
        view->setInitialProperties({{u"settings"_s, QVariant::fromValue<QObject *>(&m_f->settings())},
            {u"context"_s, QVariant::fromValue<QObject *>(m_context.get())}});
        view->setResizeMode(QQuickView::SizeRootObjectToView);
        view->setSource(
            QUrl(u"qrc:/qt-project.org/imports/Vantorell/Windows/settings/ExcludedAppsPage.qml"_s));
        view->resize(540, 400);
        view->show();
        return view->rootObject() && QTest::qWaitForWindowExposed(view.get()) ? std::move(view) : nullptr;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dataHome.isValid());
        ItemAccessibility::install();
    }

    void init()
    {
        m_f = std::make_unique<SettingsWindowFixture>(false);
        m_index = std::make_unique<DesktopEntryIndex>(QStringList {m_dataHome.filePath(u"applications"_s)});
        SettingsWindowFixture &f = *m_f;
        m_context = std::make_unique<SettingsWindowContext>(
            SettingsWindowContext::Services {f.appState, f.settings(), f.deviceAuth, f.autoPaste, f.keys,
                f.updateChecker, f.keyCodeMap, f.workspace, *m_index, f.backup, f.backupDialogs});
        m_tab = std::make_unique<ExcludedAppsTab>();
        m_tab->setContext(m_context.get());
    }

    void cleanup()
    {
        m_tab.reset();
        m_context.reset();
        m_index.reset();
        m_f.reset();
    }

    // An application's launcher file adds it under the id capture knows it
    // by; anything else, or one already listed, changes nothing.
    void add_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("icon");
        QTest::newRow("named, with an icon")
            << u"applications/org.example.Editor.desktop"_s << application("Name=Editor\nIcon=gvim\n")
            << u"org.example.Editor"_s << u"Editor"_s << u"gvim"_s;
        QTest::newRow("no name") << u"applications/tool.desktop"_s << application("Exec=tool\n") << u"tool"_s
                                 << u"tool"_s << QString();
        QTest::newRow("in a subfolder") << u"applications/kde/editor.desktop"_s << application("Name=Kate\n")
                                        << u"kde-editor"_s << u"Kate"_s << QString();
        QTest::newRow("outside the folders")
            << u"elsewhere/sub/org.example.Loose.desktop"_s << application("Name=Loose\n")
            << u"org.example.Loose"_s << u"Loose"_s << QString();
        QTest::newRow("a link") << u"applications/site.desktop"_s
                                << "[Desktop Entry]\nType=Link\nName=Site\nURL=https://example.org\n"_ba
                                << QString() << QString() << QString();
        QTest::newRow("hidden") << u"applications/gone.desktop"_s << application("Name=Gone\nHidden=true\n")
                                << QString() << QString() << QString();
        QTest::newRow("junk") << u"applications/junk.desktop"_s
                              << "\x7f"
                                 "ELF\x02\x01\x01\n\0\0"_ba
                              << QString() << QString() << QString();
        QTest::newRow("not a launcher file") << u"applications/notes.txt"_s << application("Name=Notes\n")
                                             << QString() << QString() << QString();
        QTest::newRow("listed already, other name")
            << u"applications/com.bitwarden.desktop.desktop"_s << application("Name=Vault\n") << QString()
            << QString() << QString();
    }

    void add()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(QString, id);
        QFETCH(QString, name);
        QFETCH(QString, icon);
        const QString path = m_dataHome.filePath(file);
        QVERIFY(writeFile(path, content));
        const QList<ExcludedApp> before = apps();
        m_tab->addApplicationAt(path);
        if (id.isEmpty()) {
            QCOMPARE(apps(), before);
            return;
        }
        QCOMPARE(apps().sliced(0, before.size()), before);
        QCOMPARE(apps().size(), before.size() + 1);
        const ExcludedApp added = apps().constLast();
        QCOMPARE(added.bundleIdentifier, id);
        QCOMPARE(added.name, name);
        QVERIFY(!added.id.isNull() && std::ranges::find(before, added.id, &ExcludedApp::id) == before.end());
        QCOMPARE(m_tab->rows()->rowCount(), apps().size());
        const QModelIndex row = m_tab->rows()->index(int(before.size()));
        QCOMPARE(row.data(ExcludedAppRows::IconRole).toString(), icon);
    }

    // Removing keeps the order of the rest; the row menu removes its own row
    // and leaves the selection alone.
    void remove_data()
    {
        QTest::addColumn<Clicks>("clicks");
        QTest::addColumn<int>("menuRow");
        QTest::addColumn<QList<int>>("removed");
        QTest::addColumn<QList<int>>("selectedAfter");
        const Qt::KeyboardModifiers none = Qt::NoModifier;
        QTest::newRow("Delete, two selected")
            << Clicks {{1, none}, {3, Qt::ControlModifier}} << -1 << QList<int> {1, 3} << QList<int>();
        QTest::newRow("Delete, a range")
            << Clicks {{1, none}, {3, Qt::ShiftModifier}} << -1 << QList<int> {1, 2, 3} << QList<int>();
        QTest::newRow("Delete, one selected twice with Ctrl") << Clicks {{1, none}, {3, Qt::ControlModifier},
            {1, Qt::ControlModifier}} << -1 << QList<int> {3} << QList<int>();
        QTest::newRow("Delete, nothing selected") << Clicks {} << -1 << QList<int>() << QList<int>();
        QTest::newRow("row menu on another row")
            << Clicks {{0, none}, {4, Qt::ControlModifier}} << 2 << QList<int> {2} << QList<int> {0, 4};
    }

    void remove()
    {
        QFETCH(Clicks, clicks);
        QFETCH(int, menuRow);
        QFETCH(QList<int>, removed);
        QFETCH(QList<int>, selectedAfter);
        const QList<ExcludedApp> before = apps();
        for (const auto &[row, modifiers] : clicks)
            m_tab->selectRow(row, modifiers.toInt());
        if (menuRow >= 0)
            m_tab->removeExcludedApp(menuRow);
        else
            m_tab->deleteSelectedApps();
        QList<ExcludedApp> expected;
        QSet<QUuid> selected;
        for (int i = 0; i < before.size(); ++i) {
            if (!removed.contains(i))
                expected.append(before.at(i));
            if (selectedAfter.contains(i))
                selected.insert(before.at(i).id);
        }
        QCOMPARE(names(apps()), names(expected));
        QCOMPARE(m_tab->selection(), selected);
        QCOMPARE(m_tab->hasSelection(), !selected.isEmpty());
    }

    // The keyboard moves the selection with the row assistive tools report
    // as focused, and Delete or Remove take away what is selected.
    void keys_data()
    {
        QTest::addColumn<Clicks>("clicks");
        QTest::addColumn<Keys>("keys");
        QTest::addColumn<QList<int>>("selected");
        // The row reported as focused; -1 for the list itself.
        QTest::addColumn<int>("focused");
        QTest::addColumn<bool>("byRemoveButton");
        // The keyboard's row once they are gone: the next one kept, else the
        // one before.
        QTest::addColumn<QString>("currentAfter");
        const Qt::KeyboardModifiers none = Qt::NoModifier;
        const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
        const Qt::KeyboardModifiers control = Qt::ControlModifier;
        const std::pair tab {Qt::Key_Tab, none};
        const std::pair down {Qt::Key_Down, none};
        QTest::newRow("Tab reaches the list, no row yet")
            << Clicks {} << Keys {tab} << QList<int>() << -1 << false << QString();
        QTest::newRow("Down from no row takes the first")
            << Clicks {} << Keys {tab, down} << QList<int> {0} << 0 << false << u"Bravo"_s;
        QTest::newRow("Up from no row takes the last")
            << Clicks {} << Keys {tab, {Qt::Key_Up, none}} << QList<int> {4} << 4 << false << u"Delta"_s;
        QTest::newRow("a click, then Down twice")
            << Clicks {{1, none}} << Keys {down, down} << QList<int> {3} << 3 << false << u"Echo"_s;
        QTest::newRow("Shift+Down extends from the click")
            << Clicks {{1, none}} << Keys {{Qt::Key_Down, shift}, {Qt::Key_Down, shift}}
            << QList<int> {1, 2, 3} << 3 << false << u"Echo"_s;
        QTest::newRow("Space selects the row a Ctrl-click left")
            << Clicks {{1, none}, {1, control}} << Keys {{Qt::Key_Space, none}} << QList<int> {1} << 1
            << false << u"Charlie"_s;
        QTest::newRow("Remove, reached by Tab")
            << Clicks {{0, none}} << Keys {down} << QList<int> {1} << 1 << true << u"Charlie"_s;
    }

    void keys()
    {
        QFETCH(Clicks, clicks);
        QFETCH(Keys, keys);
        QFETCH(QList<int>, selected);
        QFETCH(int, focused);
        QFETCH(bool, byRemoveButton);
        QFETCH(QString, currentAfter);
        QList<ExcludedApp> before;
        for (const QString &name : {u"Alpha"_s, u"Bravo"_s, u"Charlie"_s, u"Delta"_s, u"Echo"_s})
            before.append({QUuid::createUuid(), u"org.example."_s + name, name});
        m_f->settings().setExcludedApps(before);
        const std::unique_ptr<QQuickView> page = showPage();
        QVERIFY(page);
        auto *list = page->rootObject()->findChild<QQuickItem *>(u"apps"_s);
        QVERIFY(list);
        for (const auto &[row, modifiers] : clicks) {
            QQuickItem *shown = nullptr;
            QMetaObject::invokeMethod(
                list, "itemAtIndex", Q_RETURN_ARG(QQuickItem *, shown), Q_ARG(int, row));
            QVERIFY(shown);
            const QPointF centre = shown->mapToScene(QPointF(shown->width() / 2, shown->height() / 2));
            QTest::mouseClick(page.get(), Qt::LeftButton, modifiers, centre.toPoint());
        }
        for (const auto &[key, modifiers] : keys)
            QTest::keyClick(page.get(), key, modifiers);

        auto *tab = page->rootObject()->findChild<ExcludedAppsTab *>();
        QSet<QUuid> expected;
        for (const int row : selected)
            expected.insert(before.at(row).id);
        QCOMPARE(tab->selection(), expected);
        QAccessibleInterface *shown = QAccessible::queryAccessibleInterface(page.get());
        QAccessibleInterface *focus = shown ? shown->focusChild() : nullptr;
        QVERIFY(focus);
        if (focused < 0) {
            QCOMPARE(focus->object(), list);
        } else {
            QCOMPARE(focus->role(), QAccessible::ListItem);
            QCOMPARE(focus->text(QAccessible::Name), before.at(focused).name);
            QCOMPARE(focus->state().selected, selected.contains(focused));
        }

        if (byRemoveButton) {
            // Past "Add App…" to Remove.
            QTest::keyClick(page.get(), Qt::Key_Tab);
            QTest::keyClick(page.get(), Qt::Key_Tab);
            QTest::keyClick(page.get(), Qt::Key_Space);
        } else {
            QTest::keyClick(page.get(), Qt::Key_Delete);
        }
        QList<ExcludedApp> kept = before;
        kept.removeIf([&expected](const ExcludedApp &app) { return expected.contains(app.id); });
        QCOMPARE(names(apps()), names(kept));
        QVERIFY(list->hasActiveFocus());
        const int current = tab->currentRow();
        QCOMPARE(current < 0 ? QString() : kept.at(current).name, currentAfter);
    }

    // A restore replaces the list: the rows follow, and a selected row that
    // went is no longer selected.
    void followsOutsideChanges()
    {
        m_tab->selectRow(0, Qt::NoModifier);
        const ExcludedApp restored {QUuid::createUuid(), u"org.example.Restored"_s, u"Restored"_s};
        m_f->settings().setExcludedApps({restored});
        QCOMPARE(m_tab->rows()->rowCount(), 1);
        QCOMPARE(m_tab->rows()->index(0).data(ExcludedAppRows::NameRole).toString(), restored.name);
        QVERIFY(!m_tab->hasSelection());
    }
};

QTEST_MAIN(ExcludedAppsTest)
#include "tst_excludedapps.moc"
