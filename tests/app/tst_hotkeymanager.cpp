#include "app/AppStateController.h"
#include "app/HotkeyManager.h"
#include "settings/SettingsManager.h"
#include "support/FakeDockPresence.h"
#include "support/FakeGlobalHotkey.h"
#include "support/FakeLoginItem.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

using Chord = FakeGlobalHotkey::Chord;

} // namespace

class HotkeyManagerTest final : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_home;
    FakeLoginItem m_loginItem;
    FakeDockPresence m_dock;
    std::unique_ptr<SettingsManager> m_settings;
    std::unique_ptr<AppStateController> m_state;
    std::unique_ptr<FakeGlobalHotkey> m_hotkey;

private slots:
    void init()
    {
        QFile::remove(m_home.filePath(u"Vantorell.conf"_s));
        m_settings
            = std::make_unique<SettingsManager>(m_home.filePath(u"Vantorell.conf"_s), m_loginItem, m_dock);
        m_state = std::make_unique<AppStateController>();
        m_hotkey = std::make_unique<FakeGlobalHotkey>();
    }

    void registration_data()
    {
        QTest::addColumn<qint64>("keyCode");
        QTest::addColumn<qint64>("modifiers");
        QTest::addColumn<std::optional<GlobalHotkeyError>>("refusal");
        QTest::addColumn<std::optional<Chord>>("registered");
        QTest::addColumn<QString>("error");

        const QString taken
            = u"Super+Shift+V is already used by another app or the desktop. Choose a different shortcut."_s;
        const GlobalHotkeyError alreadyUsed {
            GlobalHotkeyError::Code::alreadyUsed, GlobalHotkeyError::alreadyUsedStatus};
        QTest::newRow("only shift is enough")
            << qint64(9) << qint64(0x20000) << std::optional<GlobalHotkeyError>()
            << std::optional(Chord(9, 0x20000)) << QString();
        QTest::newRow("negative key code is 0")
            << qint64(-4) << qint64(0x100000) << std::optional<GlobalHotkeyError>()
            << std::optional(Chord(0, 0x100000)) << QString();
        QTest::newRow("no modifier") << qint64(9) << qint64(0) << std::optional<GlobalHotkeyError>()
                                     << std::optional<Chord>() << u"Add Super or Ctrl to the shortcut."_s;
        QTest::newRow("taken") << qint64(9) << qint64(0x120000) << std::optional(alreadyUsed)
                               << std::optional<Chord>() << taken;
    }

    void registration()
    {
        QFETCH(qint64, keyCode);
        QFETCH(qint64, modifiers);
        QFETCH(std::optional<GlobalHotkeyError>, refusal);
        QFETCH(std::optional<Chord>, registered);
        QFETCH(QString, error);

        HotkeyManager manager(*m_state, *m_settings, *m_hotkey);
        m_hotkey->refuse(refusal);
        m_settings->setHotkeyKeyCode(keyCode);
        m_settings->setHotkeyModifiers(modifiers);
        manager.registerHotkey();
        QCOMPARE(m_hotkey->registered(), registered);
        QCOMPARE(m_settings->hotkeyError(), error);
    }

    void changesRegisterOnceAfterTheLast()
    {
        HotkeyManager manager(*m_state, *m_settings, *m_hotkey);
        m_settings->setGlobalHotkey(u"⌃⌥K"_s);
        m_settings->setHotkeyKeyCode(40);
        m_settings->setHotkeyModifiers(0xC0000);
        QTRY_COMPARE(m_hotkey->registrations().size(), 2);
        QCOMPARE(m_hotkey->registered(), Chord(40, 0xC0000));
        QTest::qWait(3 * HotkeyManager::debounceInterval.count());
        QCOMPARE(m_hotkey->registrations().size(), 2);
    }

    void pressOpensTheMenu()
    {
        HotkeyManager manager(*m_state, *m_settings, *m_hotkey);
        QSignalSpy opened(m_state.get(), &AppStateController::presentClipboardMenuAtCursor);
        m_hotkey->press();
        QTRY_COMPARE(opened.size(), 1);
        QCoreApplication::processEvents();
        QCOMPARE(opened.size(), 1);
    }

    void destructionUnregisters()
    {
        std::make_unique<HotkeyManager>(*m_state, *m_settings, *m_hotkey).reset();
        QCOMPARE(m_hotkey->registered(), std::nullopt);
    }
};

QTEST_MAIN(HotkeyManagerTest)
#include "tst_hotkeymanager.moc"
