#include "ui/menubar/MenuRenderer.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

QAction *findAction(const QMenu &menu, const QString &text)
{
    for (QAction *action : menu.findChildren<QAction *>()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

} // namespace

class MenuRendererTest final : public QObject {
    Q_OBJECT

    QStringList m_runs;
    bool m_current = true;
    MenuRenderer::ChoiceScope m_scope {this, [this] { return m_current; }};

    MenuItem item(const QString &title, const QKeySequence &shortcut = {})
    {
        MenuItem made;
        made.title = title;
        made.shortcut = shortcut;
        made.payload = title;
        made.action = [this](const QVariant &payload) { m_runs << payload.toString(); };
        return made;
    }

    // Ctrl+1 at the top, Ctrl+2 inside a folder, a disabled Ctrl+3.
    MenuModel model()
    {
        MenuItem folder;
        folder.title = u"Folder"_s;
        folder.submenu = {item(u"inner"_s, QKeySequence(Qt::CTRL | Qt::Key_2))};
        MenuItem disabled = item(u"off"_s, QKeySequence(Qt::CTRL | Qt::Key_3));
        disabled.enabled = false;
        return {item(u"top"_s, QKeySequence(Qt::CTRL | Qt::Key_1)), MenuItem::separator(), folder, disabled};
    }

private slots:
    void init()
    {
        m_runs.clear();
        m_current = true;
    }

    void titlesShowLiterally_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("shown");
        QTest::newRow("ampersand") << u"Tom & Jerry &x"_s << u"Tom && Jerry &&x"_s;
        QTest::newRow("tab") << u"a\tb"_s << u"a b"_s;
        QTest::newRow("carriage return") << u"a\rb"_s << u"a\rb"_s;
    }

    void titlesShowLiterally()
    {
        QFETCH(QString, title);
        QFETCH(QString, shown);
        const std::unique_ptr<QMenu> menu = MenuRenderer::render({item(title)}, m_scope);
        QCOMPARE(menu->actions().constFirst()->text(), shown);
    }

    void shortcutsRunOncePerPress_data()
    {
        QTest::addColumn<QString>("open");
        QTest::addColumn<int>("key");
        QTest::addColumn<QStringList>("runs");
        QTest::newRow("top level") << QString() << int(Qt::Key_1) << QStringList {u"top"_s};
        QTest::newRow("inside a folder, from the top")
            << QString() << int(Qt::Key_2) << QStringList {u"inner"_s};
        QTest::newRow("from inside the folder") << u"Folder"_s << int(Qt::Key_1) << QStringList {u"top"_s};
        QTest::newRow("disabled") << QString() << int(Qt::Key_3) << QStringList {};
    }

    void shortcutsRunOncePerPress()
    {
        QFETCH(QString, open);
        QFETCH(int, key);
        QFETCH(QStringList, runs);
        const std::unique_ptr<QMenu> menu = MenuRenderer::render(model(), m_scope);
        menu->popup(QPoint(10, 10));
        QVERIFY(QTest::qWaitForWindowExposed(menu.get()));
        QMenu *target = menu.get();
        if (!open.isEmpty()) {
            target = findAction(*menu, open)->menu();
            target->popup(QPoint(200, 10));
            QVERIFY(QTest::qWaitForWindowExposed(target));
        }
        QTest::keyPress(target, Qt::Key(key), Qt::ControlModifier);
        // A held key repeats without running the command again.
        QKeyEvent repeat(QEvent::KeyPress, key, Qt::ControlModifier, QString(), true);
        QApplication::sendEvent(target, &repeat);
        QCOMPARE(menu->isVisible(), runs.isEmpty());
        QCoreApplication::processEvents();
        QCOMPARE(m_runs, runs);
    }

    // A choice runs once the menu is done with the event that chose it, and
    // not at all when its scope has ended meanwhile.
    void choicesRunAfterTheMenusEvent_data()
    {
        QTest::addColumn<bool>("currentAtRun");
        QTest::addColumn<bool>("contextAlive");
        QTest::addColumn<QStringList>("runs");
        QTest::newRow("in scope") << true << true << QStringList {u"top"_s};
        QTest::newRow("scope ended") << false << true << QStringList {};
        QTest::newRow("context gone") << true << false << QStringList {};
    }

    void choicesRunAfterTheMenusEvent()
    {
        QFETCH(bool, currentAtRun);
        QFETCH(bool, contextAlive);
        QFETCH(QStringList, runs);
        auto context = std::make_unique<QObject>();
        std::unique_ptr<QMenu> menu
            = MenuRenderer::render(model(), {context.get(), [this] { return m_current; }});
        QPointer<QMenu> stillThere = menu.get();
        findAction(*menu, u"top"_s)->trigger();
        QVERIFY(m_runs.isEmpty());
        // Running, the choice may delete the menu: nothing of it may be on the stack.
        menu.reset();
        QVERIFY(!stillThere);
        m_current = currentAtRun;
        if (!contextAlive)
            context.reset();
        QCoreApplication::processEvents();
        QCOMPARE(m_runs, runs);
    }
};

QTEST_MAIN(MenuRendererTest)
#include "tst_menurenderer.moc"
