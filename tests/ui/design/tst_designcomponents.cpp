#include "DarkPalette.h"
#include "support/QuickScene.h"
#include "ui/design/ItemAccessibility.h"

#include <QAccessible>
#include <QDirIterator>
#include <QGuiApplication>
#include <QPalette>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class DesignComponentsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { ItemAccessibility::install(); }

    void cleanup() { QGuiApplication::setPalette(QPalette()); }

    void everyFileLoadsWithoutWarnings_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("dark");
        QDirIterator files(u":/qt-project.org/imports/Vantorell/Design"_s, {u"*.qml"_s});
        int count = 0;
        while (files.hasNext()) {
            const QString type = QFileInfo(files.next()).baseName();
            QTest::addRow("%s light", qPrintable(type)) << type << false;
            QTest::addRow("%s dark", qPrintable(type)) << type << true;
            ++count;
        }
        QVERIFY(count >= 12);
    }

    void everyFileLoadsWithoutWarnings()
    {
        QFETCH(QString, type);
        QFETCH(bool, dark);
        QTest::failOnWarning(QRegularExpression(u".*"_s));
        if (dark)
            QGuiApplication::setPalette(darkPalette());
        QuickScene scene;
        QVERIFY(scene.load(type + u" {}"_s));
        QVERIFY(!scene.grab().isNull());
    }

    void searchFieldClearButtonFollowsTheQuery_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<bool>("shown");
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("one space") << u" "_s << true;
    }

    void searchFieldClearButtonFollowsTheQuery()
    {
        QFETCH(QString, query);
        QFETCH(bool, shown);
        QuickScene scene;
        QQuickItem *field = scene.load(u"VTSearchField { width: 240; placeholder: 'Search' }"_s);
        QVERIFY(field);
        field->setProperty("text", query);
        auto *clear = field->findChild<QQuickItem *>(u"clearButton"_s);
        QCOMPARE(clear->isVisible(), shown);
        QCOMPARE(field->findChild<QQuickItem *>(u"field"_s)->property("text").toString(), query);
        if (!shown)
            return;
        scene.grab();
        QTest::mouseClick(&scene.window(), Qt::LeftButton, {},
            clear->mapToScene(QPointF(clear->width() / 2, clear->height() / 2)).toPoint());
        QCOMPARE(field->property("text").toString(), QString());
        QVERIFY(!clear->isVisible());
    }

    void searchFieldTakesAndKeepsFocus()
    {
        QuickScene scene;
        QQuickItem *field = scene.load(u"Column { property alias search: search\n"
                                       u"  VTSearchField { id: search; width: 240 }\n"
                                       u"  TextField { objectName: 'other'; width: 240 } }"_s);
        QVERIFY(field);
        QVERIFY(scene.showAndActivate());
        auto *search = field->property("search").value<QQuickItem *>();
        QTRY_VERIFY(search->property("focused").toBool());

        QTest::keyClick(&scene.window(), Qt::Key_A);
        QTest::keyClick(&scene.window(), Qt::Key_B);
        QCOMPARE(search->property("text").toString(), u"ab"_s);

        field->findChild<QQuickItem *>(u"other"_s)->forceActiveFocus();
        QVERIFY(!search->property("focused").toBool());

        search->setVisible(false);
        search->setVisible(true);
        QVERIFY(search->property("focused").toBool());

        // The panel is hidden and shown again: the caret is back in the field.
        field->findChild<QQuickItem *>(u"other"_s)->forceActiveFocus();
        scene.window().hide();
        QVERIFY(scene.showAndActivate());
        QTRY_VERIFY(search->property("focused").toBool());
    }

    void keyCapGrowsInsteadOfTruncating()
    {
        QuickScene scene;
        QQuickItem *row = scene.load(
            u"RowLayout { width: 20; property alias shortCap: shortCap; property alias longCap: longCap\n"
            u"  VTKeyCap { id: shortCap; text: '⌘1' }\n"
            u"  VTKeyCap { id: longCap; text: 'Control Option Shift 9' } }"_s);
        QVERIFY(row);
        scene.grab();
        auto *shortCap = row->property("shortCap").value<QQuickItem *>();
        auto *longCap = row->property("longCap").value<QQuickItem *>();
        QVERIFY(longCap->width() > shortCap->width() * 3);
        QCOMPARE(longCap->width(), longCap->implicitWidth());
        QCOMPARE(longCap->height(), shortCap->height());
    }

    // The margin between the label and the outline counts as the control;
    // a chip acts without selecting itself.
    void clickOnTheMarginActs_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QPoint>("click");
        QTest::newRow("chip") << u"VTChip { title: 'Pinned'; icon: 'pin.fill' }"_s << QPoint(13, 22);
        QTest::newRow("icon button") << u"VTIconButton { icon: 'star.fill'; help: 'Favorite' }"_s
                                     << QPoint(23, 23);
    }

    void clickOnTheMarginActs()
    {
        QFETCH(QString, source);
        QFETCH(QPoint, click);
        QuickScene scene;
        QQuickItem *control = scene.load(source, 10);
        QVERIFY(control);
        QSignalSpy action(control, SIGNAL(action()));
        QVERIFY(scene.showAndActivate());
        QTest::mouseClick(&scene.window(), Qt::LeftButton, {}, click);
        QCOMPARE(action.count(), 1);
        QVERIFY(!control->property("isSelected").toBool());
    }

    // A screen reader's press (or toggle) clicks a button as the pointer
    // does; a disabled one stays as it is.
    void accessibleActionClicks_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<bool>("checked");
        const QString press = QAccessibleActionInterface::pressAction();
        const QString toggle = QAccessibleActionInterface::toggleAction();
        QTest::newRow("button") << u"Button { text: 'Go' }"_s << press << 1 << false;
        QTest::newRow("disabled button") << u"Button { text: 'Go'; enabled: false }"_s << press << 0 << false;
        QTest::newRow("switch") << u"Switch { text: 'On' }"_s << toggle << 1 << true;
        QTest::newRow("checked box") << u"CheckBox { text: 'On'; checked: true }"_s << toggle << 1 << false;
    }

    void accessibleActionClicks()
    {
        QFETCH(QString, source);
        QFETCH(QString, action);
        QFETCH(int, clicks);
        QFETCH(bool, checked);
        QuickScene scene;
        QQuickItem *control = scene.load(source);
        QVERIFY(control);
        // The controls take part once an assistive tool listens.
        QAccessible::setActive(true);
        QSignalSpy clicked(control, SIGNAL(clicked()));
        QSignalSpy toggled(control, SIGNAL(toggled()));
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control);
        QVERIFY(accessible && accessible->actionInterface());
        QVERIFY(accessible->actionInterface()->actionNames().contains(action));
        accessible->actionInterface()->doAction(action);
        QAccessible::setActive(false);
        QCOMPARE(clicked.size(), clicks);
        QCOMPARE(control->property("checked").toBool(), checked);
        QCOMPARE(toggled.size(), control->property("checkable").toBool() ? clicks : 0);
    }
};

QTEST_MAIN(DesignComponentsTest)
#include "tst_designcomponents.moc"
