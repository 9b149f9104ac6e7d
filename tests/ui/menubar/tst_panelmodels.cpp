#include "PanelFixture.h"

#include "support/TestEntries.h"
#include "ui/menubar/OnboardingModel.h"
#include "ui/menubar/SettingsSection.h"
#include "ui/menubar/UnlockModel.h"

#include <QApplication>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

const QString passcode = u"correct horse"_s;

// Titles of a menu, separators as "-", submenus as "title>".
QStringList titles(const MenuModel &menu)
{
    QStringList shown;
    for (const MenuItem &item : menu)
        shown << (item.isSeparator ? u"-"_s : item.submenu.isEmpty() ? item.title : item.title + u'>');
    return shown;
}

const MenuItem *find(const MenuModel &menu, const QStringList &path)
{
    const MenuModel *level = &menu;
    const MenuItem *found = nullptr;
    for (const QString &title : path) {
        const auto item = std::ranges::find(*level, title, &MenuItem::title);
        if (item == level->end())
            return nullptr;
        found = &*item;
        level = &found->submenu;
    }
    return found;
}

enum class Vault { none, locked, keychainDown, lockedOut };

} // namespace

class PanelModelsTest final : public QObject {
    Q_OBJECT

    std::unique_ptr<PanelFixture> m_f;

    AppStateController &state() { return m_f->appState; }

private slots:
    void init() { m_f = std::make_unique<PanelFixture>(); }
    void cleanup() { m_f.reset(); }

    void screenFollowsTheState_data()
    {
        QTest::addColumn<bool>("showOnboarding");
        QTest::addColumn<bool>("unlocked");
        QTest::addColumn<MainPopoverModel::Screen>("screen");
        QTest::newRow("set-up wins over the lock") << true << false << MainPopoverModel::Screen::Onboarding;
        QTest::newRow("locked") << false << false << MainPopoverModel::Screen::Unlock;
        QTest::newRow("unlocked") << false << true << MainPopoverModel::Screen::Working;
    }

    void screenFollowsTheState()
    {
        QFETCH(bool, showOnboarding);
        QFETCH(bool, unlocked);
        QFETCH(MainPopoverModel::Screen, screen);
        state().setUnlocked(unlocked);
        state().setShowOnboarding(showOnboarding);
        QCOMPARE(m_f->panel.screen(), screen);
    }

    // The window is made once: a permission granted while the panel was
    // hidden must show at the next showing, and a hidden panel asks nothing.
    void pastePermissionIsTestedOnEachShowing()
    {
        m_f->keySender.setPermitted(false);
        MainPopoverModel panel(state(), m_f->keySender, m_f->mainQueue);
        QSignalSpy appeared(&panel, &MainPopoverModel::appeared);
        QVERIFY(!panel.canAutoPaste());
        m_f->keySender.setPermitted(true);
        state().setShowOnboarding(false);
        QVERIFY(!panel.canAutoPaste());
        panel.setShown(true);
        QVERIFY(panel.canAutoPaste());
        QCOMPARE(appeared.size(), 1);
        m_f->keySender.setPermitted(false);
        state().setUnlocked(true);
        QVERIFY(!panel.canAutoPaste());
        panel.setShown(false);
        panel.setShown(true);
        QCOMPARE(appeared.size(), 2);
    }

    void moreMenuFollowsPauseAndPrivacy_data()
    {
        QTest::addColumn<bool>("paused");
        QTest::addColumn<bool>("secure");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("capturing") << false << false
                                   << QStringList {u"Pause Capture>"_s, u"Start Private Session"_s};
        QTest::newRow("paused in a private session")
            << true << true << QStringList {u"Resume Capture"_s, u"End Private Session"_s};
    }

    void moreMenuFollowsPauseAndPrivacy()
    {
        QFETCH(bool, paused);
        QFETCH(bool, secure);
        QFETCH(QStringList, items);
        state().setPaused(paused);
        state().setSecureModeActive(secure);
        QCOMPARE(titles(m_f->panel.moreMenu()).mid(3, 2), items);
    }

    void moreMenuCommandsActOnce_data()
    {
        QTest::addColumn<QStringList>("path");
        QTest::addColumn<bool>("paused");
        QTest::addColumn<QStringList>("effects");
        QTest::newRow("settings without a section")
            << QStringList {u"Settings…"_s} << false << QStringList {u"settings none"_s};
        QTest::newRow("snippets") << QStringList {u"Edit Snippets…"_s} << false
                                  << QStringList {u"snippets"_s};
        QTest::newRow("an hour is sixty minutes")
            << QStringList {u"Pause Capture"_s, u"For 1 Hour"_s} << false << QStringList {u"paused 60"_s};
        QTest::newRow("until resumed") << QStringList {u"Pause Capture"_s, u"Until I Resume"_s} << false
                                       << QStringList {u"paused without end"_s};
        QTest::newRow("resume") << QStringList {u"Resume Capture"_s} << true << QStringList {u"resumed"_s};
        // Through the store's switch, which also empties the paste stack.
        QTest::newRow("private session")
            << QStringList {u"Start Private Session"_s} << false << QStringList {u"private, stack emptied"_s};
        QTest::newRow("lock") << QStringList {u"Lock Vantorell"_s} << false << QStringList {u"locked"_s};
        QTest::newRow("clear asks first") << QStringList {u"Clear History…"_s} << false
                                          << QStringList {u"asked: Clear clipboard history?"_s};
        QTest::newRow("quit") << QStringList {u"Quit Vantorell"_s} << false << QStringList {u"quit"_s};
    }

    void moreMenuCommandsActOnce()
    {
        QFETCH(QStringList, path);
        QFETCH(bool, paused);
        QFETCH(QStringList, effects);
        state().setShowOnboarding(false);
        state().setUnlocked(true);
        state().setPaused(paused);
        state().setPasteStack({entryAt(m_f->clock.now())});

        QStringList seen;
        connect(&state(), &AppStateController::openSettingsWindow, this,
            [&](std::optional<SettingsSection> section) {
                seen << u"settings "_s + (section ? rawValue(*section) : u"none"_s);
            });
        connect(&state(), &AppStateController::openSnippetManager, this, [&] { seen << u"snippets"_s; });
        connect(&m_f->panel, &MainPopoverModel::quitRequested, this, [&] { seen << u"quit"_s; });
        QTimer::singleShot(0, this, [&] {
            if (auto *alert = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                seen << u"asked: "_s + alert->text();
                alert->reject();
            }
        });

        const MenuModel menu = m_f->panel.moreMenu();
        const MenuItem *item = find(menu, path);
        QVERIFY(item && item->action);
        item->action(item->payload);
        QTest::qWait(20);
        m_f->store.settle();
        if (state().isPaused() != paused) {
            const QDateTime until = state().pausedUntil();
            seen << (!paused ? until.isNull() ? u"paused without end"_s
                                              : u"paused %1"_s.arg(m_f->clock.now().secsTo(until) / 60)
                             : u"resumed"_s);
        }
        if (state().isSecureModeActive())
            seen << (state().pasteStack().isEmpty() ? u"private, stack emptied"_s : u"private"_s);
        if (!state().isUnlocked())
            seen << u"locked"_s;
        QCOMPARE(seen, effects);
    }

    void continueNeedsSixEqualCharacters_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("confirmed");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("error");
        QTest::newRow("five") << u"abcde"_s << u"abcde"_s << false
                              << u"Passcode must be at least 6 characters"_s;
        // Ten code units, five characters.
        QTest::newRow("five accented")
            << u"e\u0301e\u0301e\u0301e\u0301e\u0301"_s << u"e\u0301e\u0301e\u0301e\u0301e\u0301"_s << false
            << u"Passcode must be at least 6 characters"_s;
        QTest::newRow("six, not confirmed")
            << u"abcdef"_s << u"abcdeg"_s << false << u"Passcodes do not match"_s;
        QTest::newRow("six, confirmed") << u"abcdef"_s << u"abcdef"_s << true << QString();
    }

    void continueNeedsSixEqualCharacters()
    {
        QFETCH(QString, typed);
        QFETCH(QString, confirmed);
        QFETCH(bool, enabled);
        QFETCH(QString, error);
        OnboardingModel setup;
        setup.setPanel(&m_f->panel);
        setup.validateAndAdvance();
        setup.setPasscode(typed);
        setup.setConfirmPasscode(confirmed);
        QCOMPARE(setup.canContinue(), enabled);
        setup.validateAndAdvance();
        QCOMPARE(setup.error(), error);
        QCOMPARE(setup.currentStep(), enabled ? 2 : 1);
        setup.goBack();
        QVERIFY(setup.error().isEmpty());
    }

    void getStarted_data()
    {
        QTest::addColumn<bool>("biometrics");
        QTest::addColumn<bool>("touchIdChosen");
        QTest::addColumn<QString>("failingAccount");
        QTest::addColumn<bool>("unlocked");
        QTest::addColumn<bool>("biometricKey");
        QTest::newRow("no Touch ID here") << false << true << QString() << true << false;
        QTest::newRow("Touch ID chosen") << true << true << QString() << true << true;
        QTest::newRow("Touch ID declined") << true << false << QString() << true << false;
        QTest::newRow("vault not stored") << false << true << KeyManager::sealedKeyAccount << false << false;
        // The vault exists by then, so the set-up has ended.
        QTest::newRow("Touch ID key not stored")
            << true << true << KeyManager::biometricKeyAccount << true << false;
    }

    void getStarted()
    {
        QFETCH(bool, biometrics);
        QFETCH(bool, touchIdChosen);
        QFETCH(QString, failingAccount);
        QFETCH(bool, unlocked);
        QFETCH(bool, biometricKey);
        m_f->deviceAuth.biometricsAvailable = biometrics;
        m_f->keychain.biometricsSupported = biometrics;
        if (!failingAccount.isEmpty())
            m_f->keychain.storeFailures.insert(failingAccount, -25293);
        OnboardingModel setup;
        setup.setPanel(&m_f->panel);
        setup.setPasscode(passcode);
        setup.setConfirmPasscode(passcode);
        for (int step = 0; step < OnboardingModel::lastStep; ++step)
            setup.validateAndAdvance();
        setup.setEnableTouchID(touchIdChosen);
        QSignalSpy settingUp(&setup, &OnboardingModel::isSettingUpChanged);

        setup.startSetup(nullptr);

        QCOMPARE(settingUp.size(), 2);
        QCOMPARE(state().isUnlocked(), unlocked);
        QCOMPARE(state().showOnboarding(), !unlocked);
        QCOMPARE(m_f->keychain.items.contains(KeyManager::sealedKeyAccount), unlocked);
        QCOMPARE(m_f->keychain.items.contains(KeyManager::biometricKeyAccount), biometricKey);
        QCOMPARE(m_f->store.settings.useBiometrics(), biometricKey);
        QCOMPARE(setup.error().isEmpty(), failingAccount.isEmpty());
        QCOMPARE(setup.passcode().isEmpty(), failingAccount.isEmpty());
    }

    void passcodeOutcome_data()
    {
        QTest::addColumn<Vault>("vault");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("unlocked");
        // Empty: the controller's own message.
        QTest::addColumn<QString>("message");
        QTest::addColumn<qint64>("attempts");
        QTest::newRow("right") << Vault::locked << passcode << true << QString() << 0LL;
        QTest::newRow("empty Return")
            << Vault::locked << QString() << false << u"Incorrect passcode. 9 attempts remaining."_s << 1LL;
        QTest::newRow("locked out") << Vault::lockedOut << passcode << false
                                    << u"Too many failed attempts. Try again in 300s."_s << 0LL;
        QTest::newRow("keyring unreachable is no mistake")
            << Vault::keychainDown << passcode << false << QString() << 0LL;
        QTest::newRow("no vault: the fallback, then set-up")
            << Vault::none << passcode << false << u"Incorrect passcode"_s << 0LL;
    }

    void passcodeOutcome()
    {
        QFETCH(Vault, vault);
        QFETCH(QString, typed);
        QFETCH(bool, unlocked);
        QFETCH(QString, message);
        QFETCH(qint64, attempts);
        state().setShowOnboarding(false);
        if (vault != Vault::none)
            QVERIFY(m_f->createLockedVault(passcode));
        if (vault == Vault::keychainDown)
            m_f->keychain.unavailable = KeychainError {-25300, u"Cannot reach the keyring"_s};
        for (int failed = 0; vault == Vault::lockedOut && failed < SecurityController::maxFailedAttempts;
             ++failed)
            m_f->security.recordFailedAttempt();
        UnlockModel lock;
        lock.setPanel(&m_f->panel);
        lock.setPasscode(typed);

        lock.submitPasscode();

        QCOMPARE(state().isUnlocked(), unlocked);
        QCOMPARE(lock.showError(), !unlocked);
        if (!unlocked)
            QCOMPARE(lock.errorMessage(), message.isEmpty() ? m_f->security.authError() : message);
        QCOMPARE(m_f->security.failedAttempts(), attempts);
        QVERIFY(lock.passcode().isEmpty());
        QCOMPARE(lock.shakeOffset(), unlocked ? 0.0 : 10.0);
        QCOMPARE(state().showOnboarding(), vault == Vault::none);
    }

    // Two rejections within 0.2 s each run their own steps; the field ends
    // still.
    void shakeSteps()
    {
        UnlockModel lock;
        lock.setPanel(&m_f->panel);
        lock.shakeOnError();
        QList<qreal> seen {lock.shakeOffset()};
        for (int step = 0; step < 5; ++step) {
            m_f->mainQueue.advance(50ms);
            if (step == 0)
                lock.shakeOnError();
            seen << lock.shakeOffset();
        }
        QCOMPARE(seen, (QList<qreal> {10, 10, -10, -10, 0, 0}));
    }

    void touchIdOnShowing_data()
    {
        QTest::addColumn<bool>("useBiometrics");
        QTest::addColumn<bool>("available");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("unlocked");
        QTest::addColumn<bool>("error");
        QTest::newRow("not chosen: nothing starts") << false << true << true << false << false;
        // Started anyway; the button stays hidden.
        QTest::newRow("chosen, not available") << true << false << true << false << true;
        QTest::newRow("chosen, refused") << true << true << false << false << true;
        QTest::newRow("chosen, accepted") << true << true << true << true << false;
    }

    void touchIdOnShowing()
    {
        QFETCH(bool, useBiometrics);
        QFETCH(bool, available);
        QFETCH(bool, accepted);
        QFETCH(bool, unlocked);
        QFETCH(bool, error);
        state().setShowOnboarding(false);
        m_f->keychain.biometricsSupported = true;
        m_f->deviceAuth.biometricsAvailable = true;
        QVERIFY(m_f->security.completePasscodeSetup(passcode));
        QVERIFY(m_f->keys.storeBiometricKey());
        m_f->security.lockNow();
        m_f->store.settle();
        m_f->store.settings.setUseBiometrics(useBiometrics);
        m_f->deviceAuth.biometricsAvailable = available;
        m_f->deviceAuth.answer = accepted;
        UnlockModel lock;
        lock.setPanel(&m_f->panel);
        lock.setPasscode(u"typed so far"_s);

        lock.appear();
        QTRY_VERIFY(!lock.isAuthenticating());

        QCOMPARE(lock.showsTouchIdButton(), useBiometrics && available);
        QCOMPARE(state().isUnlocked(), unlocked);
        QCOMPARE(lock.showError(), error);
        if (error)
            QCOMPARE(lock.errorMessage(), m_f->security.authError());
        QCOMPARE(lock.passcode(), u"typed so far"_s);
        QCOMPARE(lock.shakeOffset(), 0.0);
    }

    void keyringMessageShowsBeforeAnyAttempt()
    {
        QVERIFY(m_f->createLockedVault(passcode));
        m_f->security.setAuthError(u"Keyring unavailable: KWallet did not answer in time"_s);
        UnlockModel lock;
        lock.setPanel(&m_f->panel);
        lock.appear();
        QVERIFY(lock.showError());
        QCOMPARE(lock.errorMessage(), m_f->security.authError());
    }

    // The screen may be gone before the prompt answers.
    void touchIdAnswerAfterTheScreenIsGone()
    {
        m_f->store.settings.setUseBiometrics(true);
        auto lock = std::make_unique<UnlockModel>();
        lock->setPanel(&m_f->panel);
        lock->appear();
        lock.reset();
        QTest::qWait(10);
        QVERIFY(!m_f->security.authError().isEmpty());
    }
};

QTEST_MAIN(PanelModelsTest)
#include "tst_panelmodels.moc"
