#include "PanelFixture.h"

#include "ui/design/ItemAccessibility.h"
#include "ui/menubar/OnboardingModel.h"
#include "ui/menubar/PanelWindow.h"
#include "ui/menubar/UnlockModel.h"

#include <QAccessible>
#include <QQmlEngine>
#include <QQuickItem>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString passcode = u"correct horse"_s;

// Typed as key presses into whatever has the window's focus.
void type(QWindow *window, const QString &text)
{
    for (const QChar c : text)
        QTest::keyClick(window, c.toLatin1());
}

void collect(QQuickItem *item, QList<QQuickItem *> &items)
{
    items.append(item);
    for (QQuickItem *child : item->childItems())
        collect(child, items);
}

bool isControl(QAccessible::Role role)
{
    return role == QAccessible::Button || role == QAccessible::EditableText || role == QAccessible::CheckBox;
}

// A control reads its own title.
bool insideControl(QQuickItem *item)
{
    for (QQuickItem *above = item->parentItem(); above; above = above->parentItem()) {
        const QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(above);
        if (accessible && isControl(accessible->role()))
            return true;
    }
    return false;
}

} // namespace

// The panel's view over the real state: which screen and banners show, the
// search field's binding, fresh screens, and screens switched from inside
// their own actions.
class PanelViewTest final : public QObject {
    Q_OBJECT

    std::unique_ptr<PanelFixture> m_f;
    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<PanelWindow> m_window;

    AppStateController &state() { return m_f->appState; }

    QQuickItem *screen() const
    {
        return findItem(m_window->rootItem(), u"screen"_s)->property("item").value<QQuickItem *>();
    }
    template<class Model> Model *model() const { return screen() ? screen()->findChild<Model *>() : nullptr; }
    QQuickItem *item(const QString &name) const { return findItem(screen(), name); }

    bool show()
    {
        m_window->showAt({0, 0});
        if (!QTest::qWaitForWindowExposed(m_window.get()))
            return false;
        m_window->grabWindow();
        return true;
    }

    void unlockWithoutVault()
    {
        state().setShowOnboarding(false);
        state().setUnlocked(true);
    }

    void click(const QString &name)
    {
        QQuickItem *target = item(name);
        QVERIFY(target && target->isVisible() && target->isEnabled());
        const QPointF centre = target->mapToScene(QPointF(target->width() / 2, target->height() / 2));
        QTest::mouseClick(m_window.get(), Qt::LeftButton, {}, centre.toPoint());
    }

private slots:
    void initTestCase() { ItemAccessibility::install(); }

    void init()
    {
        m_f = std::make_unique<PanelFixture>();
        m_engine = std::make_unique<QQmlEngine>();
        m_window = std::make_unique<PanelWindow>(*m_engine,
            QUrl(u"qrc:/qt-project.org/imports/Vantorell/MenuBar/MainPopoverView.qml"_s),
            QVariantMap {{u"panel"_s, QVariant::fromValue(&m_f->panel)}});
        QVERIFY(m_window->rootItem());
    }

    void cleanup()
    {
        m_window.reset();
        m_engine.reset();
        m_f.reset();
    }

    void bannersStandInOrderAboveTheList_data()
    {
        QTest::addColumn<bool>("paused");
        QTest::addColumn<bool>("permitted");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("neither") << false << true << QStringList {u"historyList"_s};
        QTest::newRow("no synthetic keys")
            << false << false << QStringList {u"clickToPasteBanner"_s, u"historyList"_s};
        QTest::newRow("both") << true << false
                              << QStringList {u"pausedBanner"_s, u"clickToPasteBanner"_s, u"historyList"_s};
    }

    void bannersStandInOrderAboveTheList()
    {
        QFETCH(bool, paused);
        QFETCH(bool, permitted);
        QFETCH(QStringList, shown);
        unlockWithoutVault();
        state().setPaused(paused);
        m_f->keySender.setPermitted(permitted);
        QVERIFY(show());

        QList<std::pair<qreal, QString>> visible;
        for (const QString &name : {u"pausedBanner"_s, u"clickToPasteBanner"_s, u"historyList"_s}) {
            QQuickItem *found = item(name);
            QVERIFY(found);
            if (found->isVisible())
                visible.append({found->mapToScene({0, 0}).y(), name});
        }
        std::ranges::sort(visible);
        QStringList order;
        for (const auto &[y, name] : visible)
            order << name;
        QCOMPARE(order, shown);
    }

    // Typing takes the field's text over from the binding; a query changed
    // elsewhere afterwards must still reach the field.
    void searchFieldAndQueryFollowEachOther()
    {
        unlockWithoutVault();
        QVERIFY(show());
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QQuickItem *field = findItem(item(u"search"_s), u"field"_s);
        QTRY_VERIFY(field->hasActiveFocus());
        type(m_window.get(), u"abc"_s);
        QCOMPARE(state().searchQuery(), u"abc"_s);
        state().clearPublishedLists();
        QCOMPARE(field->property("text").toString(), QString());
        state().setSearchQuery(u"xyz"_s);
        QCOMPARE(field->property("text").toString(), u"xyz"_s);
        QTest::keyClick(m_window.get(), Qt::Key_1);
        QCOMPARE(state().searchQuery(), u"xyz1"_s);
    }

    // Get Started paints its spinner before the key derivation starts, the
    // set-up's model lives through the switch its own action makes, and a
    // set-up entered again starts afresh.
    void setUpKeepsItsStateUntilItIsLeft()
    {
        QVERIFY(show());
        QPointer<OnboardingModel> first = model<OnboardingModel>();
        first->validateAndAdvance();
        first->validateAndAdvance();
        first->setEnableTouchID(false);
        m_window->hide();
        QVERIFY(show());
        QCOMPARE(model<OnboardingModel>(), first);
        QVERIFY(!first->error().isEmpty());

        first->setPasscode(passcode);
        first->setConfirmPasscode(passcode);
        first->validateAndAdvance();
        first->validateAndAdvance();
        QTRY_VERIFY(item(u"getStartedButton"_s) && item(u"getStartedButton"_s)->isVisible());
        click(u"getStartedButton"_s);
        QVERIFY(first->isSettingUp() && !state().isUnlocked());
        QTRY_COMPARE(m_f->panel.screen(), MainPopoverModel::Screen::Working);
        QTRY_VERIFY(!first);

        m_f->security.beginFullReset();
        QTRY_VERIFY(state().showOnboarding());
        OnboardingModel *fresh = model<OnboardingModel>();
        QVERIFY(fresh);
        QCOMPARE(fresh->currentStep(), 0);
        QVERIFY(fresh->enableTouchID() && fresh->error().isEmpty() && fresh->passcode().isEmpty());
    }

    // Assistive tools find the set-up's first page once.
    void setUpPageShowsOnce()
    {
        QVERIFY(show());
        const QString title = u"Welcome to Vantorell"_s;
        int found = 0;
        const std::function<void(QAccessibleInterface *)> count = [&](QAccessibleInterface *accessible) {
            if (accessible->text(QAccessible::Name) == title && !accessible->state().invisible)
                ++found;
            for (int i = 0; i < accessible->childCount(); ++i) {
                if (QAccessibleInterface *child = accessible->child(i))
                    count(child);
            }
        };
        count(QAccessible::queryAccessibleInterface(m_window.get()));
        QCOMPARE(found, 1);
    }

    // Return with an empty field is a wrong passcode; the lock screen's model
    // lives through the unlock it makes, and the next lock has no message.
    void lockScreenUnlocksAndStartsAfresh()
    {
        state().setShowOnboarding(false);
        QVERIFY(m_f->createLockedVault(passcode));
        QVERIFY(show());
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QPointer<UnlockModel> first = model<UnlockModel>();
        QTRY_VERIFY(item(u"passcodeField"_s)->hasActiveFocus());
        QTest::keyClick(m_window.get(), Qt::Key_Return);
        QVERIFY(item(u"error"_s)->isVisible());
        const QAccessibleInterface *error = QAccessible::queryAccessibleInterface(item(u"error"_s));
        QVERIFY(error && error->role() == QAccessible::Notification);
        QCOMPARE(error->text(QAccessible::Name), first->errorMessage());
        // A refusal while the line shows shows it anew (hidden, then shown),
        // which is what tells assistive tools to read it.
        QSignalSpy shownAgain(item(u"error"_s), &QQuickItem::visibleChanged);
        QTest::keyClick(m_window.get(), Qt::Key_Return);
        QTRY_COMPARE(shownAgain.size(), 2);
        QVERIFY(item(u"error"_s)->isVisible());
        QCOMPARE(error->text(QAccessible::Name), first->errorMessage());
        type(m_window.get(), passcode);
        QTest::keyClick(m_window.get(), Qt::Key_Return);
        QCOMPARE(m_f->panel.screen(), MainPopoverModel::Screen::Working);
        QTRY_VERIFY(!first);

        m_f->security.lockNow();
        QTRY_COMPARE(m_f->panel.screen(), MainPopoverModel::Screen::Unlock);
        QVERIFY(!model<UnlockModel>()->showError());
        QVERIFY(!item(u"error"_s)->isVisible());
    }

    // What assistive tools find: each control named (by its title, its
    // tooltip or its placeholder) and disabled exactly when it is, and each
    // text either read under its words or part of a control that is.
    void everyControlAndTextIsReachable_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<MainPopoverModel::Screen>("shown");
        QTest::addColumn<bool>("filled");
        for (int step = 0; step < OnboardingModel::totalSteps; ++step)
            QTest::addRow("set-up step %d", step) << step << MainPopoverModel::Screen::Onboarding << true;
        QTest::newRow("set-up, passcode fields empty") << 1 << MainPopoverModel::Screen::Onboarding << false;
        QTest::newRow("lock screen, field empty") << 0 << MainPopoverModel::Screen::Unlock << false;
        QTest::newRow("working") << 0 << MainPopoverModel::Screen::Working << false;
    }

    void everyControlAndTextIsReachable()
    {
        QFETCH(int, step);
        QFETCH(MainPopoverModel::Screen, shown);
        QFETCH(bool, filled);
        m_f->keySender.setPermitted(false);
        state().setPaused(true);
        state().setShowOnboarding(shown == MainPopoverModel::Screen::Onboarding);
        state().setUnlocked(shown == MainPopoverModel::Screen::Working);
        QVERIFY(show());
        if (OnboardingModel *setup = model<OnboardingModel>()) {
            setup->setPasscode(passcode);
            setup->setConfirmPasscode(passcode);
            for (int at = 0; at < step; ++at)
                setup->validateAndAdvance();
            if (!filled) {
                setup->setPasscode({});
                setup->setConfirmPasscode({});
            }
            QTRY_VERIFY(!findItem(screen(), u"steps"_s)->property("busy").toBool());
        }

        QList<QQuickItem *> items;
        collect(screen(), items);
        int controls = 0;
        int disabled = 0;
        QStringList unread;
        for (QQuickItem *candidate : std::as_const(items)) {
            if (!candidate->isVisible())
                continue;
            QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(candidate);
            const QString text
                = candidate->inherits("QQuickText") ? candidate->property("text").toString() : QString();
            if (!text.isEmpty() && (!accessible || accessible->text(QAccessible::Name) != text)
                && !insideControl(candidate))
                unread << text;
            if (!accessible || !isControl(accessible->role()))
                continue;
            ++controls;
            QVERIFY2(!accessible->text(QAccessible::Name).isEmpty(), qPrintable(candidate->objectName()));
            QCOMPARE(accessible->state().disabled, !candidate->isEnabled());
            disabled += accessible->state().disabled ? 1 : 0;
        }
        QVERIFY(controls > 0);
        QCOMPARE(unread, QStringList());
        // Continue with nothing typed; Unlock with nothing typed.
        QCOMPARE(disabled > 0, !filled && shown != MainPopoverModel::Screen::Working);
    }
};

QTEST_MAIN(PanelViewTest)
#include "tst_panelview.moc"
