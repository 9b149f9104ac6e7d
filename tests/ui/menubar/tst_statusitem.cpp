#include "app/AppStateController.h"
#include "settings/SettingsManager.h"
#include "support/FakeDockPresence.h"
#include "support/FakeLoginItem.h"
#include "ui/menubar/StatusItem.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class StatusItemTest final : public QObject {
    Q_OBJECT

private slots:
    void symbolFollowsState_data()
    {
        QTest::addColumn<bool>("unlocked");
        QTest::addColumn<bool>("paused");
        QTest::addColumn<bool>("secureMode");
        QTest::addColumn<QString>("expected");
        QTest::newRow("locked whatever else") << false << true << true << u"lock.fill"_s;
        QTest::newRow("paused in a private session") << true << true << true << u"pause.circle"_s;
        QTest::newRow("private session") << true << false << true << u"eye.slash"_s;
    }

    void symbolFollowsState()
    {
        QFETCH(bool, unlocked);
        QFETCH(bool, paused);
        QFETCH(bool, secureMode);
        QFETCH(QString, expected);
        QCOMPARE(StatusItem::symbolName(unlocked, paused, secureMode, u"clipboard"_s), expected);
    }

    void iconChangesOnTheNextTurn()
    {
        QTemporaryDir home;
        FakeLoginItem loginItem;
        FakeDockPresence dock;
        SettingsManager settings(home.filePath(u"Vantorell.conf"_s), loginItem, dock);
        AppStateController appState;
        StatusItem item(appState, settings);
        QCOMPARE(item.shownSymbolName(), u"doc.on.clipboard"_s);
        QVERIFY(!item.icon().isNull());
        QTRY_COMPARE(item.shownSymbolName(), u"lock.fill"_s);
        const qint64 lockKey = item.icon().cacheKey();

        appState.setUnlocked(true);
        QCOMPARE(item.shownSymbolName(), u"lock.fill"_s);
        QTRY_COMPARE(item.shownSymbolName(), u"doc.on.clipboard"_s);
        QVERIFY(item.icon().cacheKey() != lockKey);
        settings.setMenubarIconName(u"clipboard"_s);
        QTRY_COMPARE(item.shownSymbolName(), u"clipboard"_s);
        appState.setPaused(true);
        QTRY_COMPARE(item.shownSymbolName(), u"pause.circle"_s);
        QVERIFY(!item.icon().isNull());
    }
};

QTEST_MAIN(StatusItemTest)
#include "tst_statusitem.moc"
