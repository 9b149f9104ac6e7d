#include "SettingsWindowFixture.h"

#include "support/FakeLoginItem.h"
#include "ui/windows/settings/GeneralSettingsTab.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <utility>

using namespace Qt::StringLiterals;

using State = GeneralSettingsTab::BehaviourState;

class GeneralSettingsTest final : public QObject {
    Q_OBJECT

    std::unique_ptr<SettingsWindowFixture> m_f;

    std::unique_ptr<GeneralSettingsTab> showTab()
    {
        auto tab = std::make_unique<GeneralSettingsTab>();
        tab->setContext(&m_f->context);
        return tab;
    }

private slots:
    void init() { m_f = std::make_unique<SettingsWindowFixture>(false); }
    void cleanup() { m_f.reset(); }

    void behaviourRow_data()
    {
        QTest::addColumn<bool>("autoPaste");
        QTest::addColumn<bool>("permitted");
        QTest::addColumn<State>("state");
        QTest::newRow("auto-paste off, whatever the permission") << false << false << State::CopiesOnly;
        QTest::newRow("allowed") << true << true << State::PasteAllowed;
        QTest::newRow("not allowed") << true << false << State::PermissionMissing;
    }

    void behaviourRow()
    {
        QFETCH(bool, autoPaste);
        QFETCH(bool, permitted);
        QFETCH(State, state);
        m_f->settings().setAutoPaste(autoPaste);
        m_f->keySender.setPermitted(permitted);
        const auto tab = showTab();
        QCOMPARE(tab->behaviourState(), state);
    }

    // Granted while the section is shown: it shows without reopening.
    void permissionIsCheckedAgainWhileShown()
    {
        m_f->settings().setAutoPaste(true);
        m_f->keySender.setPermitted(false);
        const auto tab = showTab();
        QSignalSpy changed(tab.get(), &GeneralSettingsTab::behaviourStateChanged);
        m_f->keySender.setPermitted(true);
        QVERIFY(changed.wait(2 * int(GeneralSettingsTab::permissionInterval.count())));
        QCOMPARE(tab->behaviourState(), State::PasteAllowed);
    }

    // The button beside the missing permission tells how to allow it.
    void howToAllowShowsTheInstructions()
    {
        m_f->autoPaste.openAccessibilitySettings();
        const QStringList instructions = std::exchange(m_f->alerts.events, {});
        m_f->settings().setAutoPaste(true);
        m_f->keySender.setPermitted(false);
        showTab()->openAccessibilitySettings();
        QCOMPARE(m_f->alerts.events, instructions);
    }

    void showingReadsTheLoginItemWithoutOpeningSettings()
    {
        m_f->store.loginItem.currentStatus = LoginItem::Status::requiresApproval;
        const auto tab = showTab();
        QVERIFY(!m_f->settings().loginItemNote().isEmpty());
        QCOMPARE(m_f->store.loginItem.openSettingsCalls, 0);
    }

    void resetHotkey_data()
    {
        QTest::addColumn<qint64>("keyCode");
        QTest::addColumn<qint64>("modifiers");
        QTest::addColumn<QString>("display");
        QTest::newRow("from a recorded one") << qint64(40) << qint64(0x40000) << u"⌃K"_s;
        QTest::newRow("from the default") << qint64(9) << qint64(0x120000) << u"⌘⇧V"_s;
    }

    // Also from the default: each setter runs, so the hot key registers again.
    void resetHotkey()
    {
        QFETCH(qint64, keyCode);
        QFETCH(qint64, modifiers);
        QFETCH(QString, display);
        SettingsManager &settings = m_f->settings();
        settings.setHotkeyKeyCode(keyCode);
        settings.setHotkeyModifiers(modifiers);
        settings.setGlobalHotkey(display);
        QStringList order;
        connect(&settings, &SettingsManager::hotkeyKeyCodeChanged, this, [&] { order << u"key"_s; });
        connect(&settings, &SettingsManager::hotkeyModifiersChanged, this, [&] { order << u"modifiers"_s; });
        connect(&settings, &SettingsManager::globalHotkeyChanged, this, [&] { order << u"display"_s; });
        showTab()->resetHotkey();
        QCOMPARE(order, (QStringList {u"key"_s, u"modifiers"_s, u"display"_s}));
        QCOMPARE(settings.hotkeyKeyCode(), 9);
        QCOMPARE(settings.hotkeyModifiers(), 0x120000);
        QCOMPARE(settings.globalHotkey(), u"⌘⇧V"_s);
    }

    void versionIsTheApplications()
    {
        QCoreApplication::setApplicationVersion(u"1.0.0"_s);
        QCOMPARE(GeneralSettingsTab::versionText(), u"v1.0.0"_s);
    }
};

QTEST_MAIN(GeneralSettingsTest)
#include "tst_generalsettings.moc"
