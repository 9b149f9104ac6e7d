#include "support/LogCapture.h"
#include "ui/menubar/PanelPlacement.h"
#include "ui/menubar/PanelWindow.h"
#include "ui/menubar/WindowHost.h"

#include <QQmlEngine>
#include <QQuickItem>
#include <QRasterWindow>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class MenuBarWindowsTest final : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    QQmlEngine m_engine;
    QObject m_appState;

    // A view that shows what it was made with.
    QUrl testRoot()
    {
        const QString path = m_folder.filePath(u"TestRoot.qml"_s);
        QFile file(path);
        if (!file.exists() && file.open(QIODevice::WriteOnly)) {
            file.write("import QtQuick\n"
                       "Item { property QtObject appState; property QtObject settings;"
                       " property string section }\n");
        }
        return QUrl::fromLocalFile(path);
    }

    static QString sectionOf(const QQuickView *window)
    {
        return window->rootObject()->property("section").toString();
    }

private slots:
    void placement_data()
    {
        QTest::addColumn<QRect>("icon");
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QPoint>("topLeft");
        const QRect top(900, 0, 24, 24);
        QTest::newRow("centred under the icon") << top << QPoint() << QPoint(712, 24);
        QTest::newRow("above an icon at the bottom")
            << QRect(900, 1056, 24, 24) << QPoint() << QPoint(712, 496);
        QTest::newRow("kept inside at the right edge")
            << QRect(1896, 0, 24, 24) << QPoint() << QPoint(1520, 24);
        QTest::newRow("at the pointer without an icon") << QRect() << QPoint(100, 300) << QPoint(0, 301);
        QTest::newRow("pointer near the bottom") << QRect() << QPoint(1000, 1000) << QPoint(800, 440);
    }

    void placement()
    {
        QFETCH(QRect, icon);
        QFETCH(QPoint, pointer);
        QFETCH(QPoint, topLeft);
        QCOMPARE(PanelPlacement::position(icon, {400, 560}, QRect(0, 0, 1920, 1080), pointer), topLeft);
    }

    void panelIsMadeOnceAndStaysForOurOwnWindows()
    {
        PanelWindow panel(m_engine, testRoot(), {{u"appState"_s, QVariant::fromValue(&m_appState)}});
        QVERIFY(panel.rootItem());
        QQuickItem *root = panel.rootItem();
        panel.showAt({30, 40});
        QVERIFY(QTest::qWaitForWindowActive(&panel));
        QVERIFY(panel.isKey());
        QCOMPARE(panel.position(), QPoint(30, 40));

        auto alert = std::make_unique<QRasterWindow>();
        alert->show();
        alert->requestActivate();
        QVERIFY(QTest::qWaitForWindowActive(alert.get()));
        QVERIFY(panel.isVisible());
        QVERIFY(!panel.isKey());

        panel.hide();
        panel.showAt({50, 60});
        QVERIFY(QTest::qWaitForWindowActive(&panel));
        QCOMPARE(panel.rootItem(), root);
    }

    void windowsOpenOnceRegistered()
    {
        LogCapture log;
        WindowHost host(m_engine, {{u"appState"_s, QVariant::fromValue(&m_appState)}});
        host.openSettingsWindow(SettingsSection::security);
        host.openSnippetManagerWindow();
        QVERIFY(!host.settingsWindow() && !host.snippetWindow());
        QCOMPARE(log.lines().size(), 2);

        host.setSettingsRoot(testRoot());
        host.setSnippetManagerRoot(testRoot());
        host.openSettingsWindow(std::nullopt);
        QQuickView *settings = host.settingsWindow();
        QVERIFY(settings && settings->isVisible());
        QCOMPARE(sectionOf(settings), u"general"_s);
        QCOMPARE(settings->rootObject()->property("appState").value<QObject *>(), &m_appState);
        QCOMPARE(
            settings->geometry().center(), QGuiApplication::primaryScreen()->availableGeometry().center());

        // Open: a section switches it, none keeps what it shows.
        host.openSettingsWindow(SettingsSection::backup);
        QCOMPARE(host.settingsWindow(), settings);
        QCOMPARE(sectionOf(settings), u"backup"_s);
        host.openSettingsWindow(std::nullopt);
        QCOMPARE(sectionOf(settings), u"backup"_s);

        // Minimised counts as open.
        settings->showMinimized();
        host.openSettingsWindow(std::nullopt);
        QCOMPARE(host.settingsWindow(), settings);
        QVERIFY(!(settings->windowStates() & Qt::WindowMinimized));

        host.openSnippetManagerWindow();
        QQuickView *snippets = host.snippetWindow();
        QVERIFY(snippets && snippets->isVisible());
        host.closeWindows();
        QVERIFY(!settings->isVisible() && !snippets->isVisible());

        // Closed: a new window on the first section.
        host.openSettingsWindow(std::nullopt);
        QVERIFY(host.settingsWindow() != settings);
        QCOMPARE(sectionOf(host.settingsWindow()), u"general"_s);
    }
};

QTEST_MAIN(MenuBarWindowsTest)
#include "tst_menubarwindows.moc"
