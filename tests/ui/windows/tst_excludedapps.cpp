#include "SettingsWindowFixture.h"

#include "platform/linux/DesktopEntryIndex.h"
#include "support/TestFiles.h"
#include "ui/windows/settings/ExcludedAppsTab.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

// A row clicked, and the modifiers held.
using Clicks = QList<std::pair<int, Qt::KeyboardModifiers>>;

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

private slots:
    void initTestCase() { QVERIFY(m_dataHome.isValid()); }

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
