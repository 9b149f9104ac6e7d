#include "PanelFixture.h"

#include "ui/menubar/OnboardingModel.h"
#include "ui/menubar/PanelWindow.h"
#include "ui/menubar/UnlockModel.h"

#include <QAccessible>
#include <QQmlEngine>
#include <QQuickItem>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString passcode = u"correct horse"_s;

QQuickItem *findItem(QQuickItem *root, const QString &name)
{
    if (!root || root->objectName() == name)
        return root;
    for (QQuickItem *child : root->childItems()) {
        if (QQuickItem *found = findItem(child, name))
            return found;
    }
    return nullptr;
}

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
        QTest::newRow("paused") << true << true << QStringList {u"pausedBanner"_s, u"historyList"_s};
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
        state().pauseCapture(paused ? std::optional(15) : std::nullopt);
        if (!paused)
            state().resumeCapture();
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

    void setUpStartsFreshAfterAFullReset()
    {
        QVERIFY(show());
        OnboardingModel *first = model<OnboardingModel>();
        QVERIFY(first);
        first->validateAndAdvance();
        first->setPasscode(u"short"_s);
        first->validateAndAdvance();
        first->setEnableTouchID(false);
        QVERIFY(!first->error().isEmpty());
        m_window->hide();
        QVERIFY(show());
        QCOMPARE(model<OnboardingModel>(), first);
        QCOMPARE(first->currentStep(), 1);

        unlockWithoutVault();
        m_f->security.beginFullReset();
        QTRY_VERIFY(state().showOnboarding());
        OnboardingModel *fresh = model<OnboardingModel>();
        QVERIFY(fresh && fresh != first);
        QCOMPARE(fresh->currentStep(), 0);
        QVERIFY(fresh->enableTouchID());
        QVERIFY(fresh->error().isEmpty() && fresh->passcode().isEmpty());
    }

    void lockScreenStartsWithoutAMessage()
    {
        state().setShowOnboarding(false);
        QVERIFY(m_f->createLockedVault(passcode));
        QVERIFY(show());
        UnlockModel *first = model<UnlockModel>();
        QVERIFY(first);
        first->submitPasscode();
        QVERIFY(first->showError());
        QVERIFY(item(u"error"_s)->isVisible());

        first->setPasscode(passcode);
        first->submitPasscode();
        QCOMPARE(m_f->panel.screen(), MainPopoverModel::Screen::Working);
        m_f->security.lockNow();
        QTRY_COMPARE(m_f->panel.screen(), MainPopoverModel::Screen::Unlock);
        UnlockModel *fresh = model<UnlockModel>();
        QVERIFY(fresh && fresh != first);
        QVERIFY(!fresh->showError());
        QVERIFY(!item(u"error"_s)->isVisible());
    }

    // The spinner is on screen before the key derivation starts, and the
    // screen's model lives through the switch its own action makes.
    void getStartedPaintsFirstAndOutlivesTheSwitch()
    {
        QVERIFY(show());
        QPointer<OnboardingModel> setup = model<OnboardingModel>();
        setup->setPasscode(passcode);
        setup->setConfirmPasscode(passcode);
        for (int step = 0; step < OnboardingModel::lastStep; ++step)
            setup->validateAndAdvance();
        QTRY_VERIFY(item(u"getStartedButton"_s) && item(u"getStartedButton"_s)->isVisible());

        click(u"getStartedButton"_s);
        QVERIFY(setup->isSettingUp());
        QVERIFY(!state().isUnlocked());
        QTRY_COMPARE(m_f->panel.screen(), MainPopoverModel::Screen::Working);
        QTRY_VERIFY(!setup);
        QVERIFY(item(u"historyList"_s));
    }

    void unlockOutlivesTheSwitch_data()
    {
        QTest::addColumn<bool>("vault");
        QTest::addColumn<MainPopoverModel::Screen>("next");
        QTest::newRow("right passcode") << true << MainPopoverModel::Screen::Working;
        QTest::newRow("no vault any more") << false << MainPopoverModel::Screen::Onboarding;
    }

    void unlockOutlivesTheSwitch()
    {
        QFETCH(bool, vault);
        QFETCH(MainPopoverModel::Screen, next);
        state().setShowOnboarding(false);
        QVERIFY(m_f->createLockedVault(passcode));
        if (!vault)
            m_f->keychain.items.clear();
        QVERIFY(show());
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QPointer<UnlockModel> lock = model<UnlockModel>();
        QTRY_VERIFY(findItem(screen(), u"passcodeField"_s)->hasActiveFocus());
        type(m_window.get(), passcode);
        QTest::keyClick(m_window.get(), Qt::Key_Return);
        QCOMPARE(m_f->panel.screen(), next);
        QTRY_VERIFY(!lock);
    }

    // Each control is named for assistive technology: by its title, its
    // tooltip or its placeholder.
    void everyControlHasAnAccessibleName_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<MainPopoverModel::Screen>("shown");
        for (int step = 0; step < OnboardingModel::totalSteps; ++step)
            QTest::addRow("set-up step %d", step) << step << MainPopoverModel::Screen::Onboarding;
        QTest::newRow("lock screen") << 0 << MainPopoverModel::Screen::Unlock;
        QTest::newRow("working") << 0 << MainPopoverModel::Screen::Working;
    }

    void everyControlHasAnAccessibleName()
    {
        QFETCH(int, step);
        QFETCH(MainPopoverModel::Screen, shown);
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
            QTRY_VERIFY(!findItem(screen(), u"steps"_s)->property("busy").toBool());
        }

        QList<QQuickItem *> items;
        collect(screen(), items);
        int controls = 0;
        for (QQuickItem *candidate : std::as_const(items)) {
            QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(candidate);
            if (!candidate->isVisible() || !accessible)
                continue;
            const QAccessible::Role role = accessible->role();
            if (role != QAccessible::Button && role != QAccessible::EditableText
                && role != QAccessible::CheckBox)
                continue;
            ++controls;
            QVERIFY2(!accessible->text(QAccessible::Name).isEmpty(), qPrintable(candidate->objectName()));
        }
        QVERIFY(controls > 0);
    }
};

QTEST_MAIN(PanelViewTest)
#include "tst_panelview.moc"
