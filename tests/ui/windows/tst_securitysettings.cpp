#include "SettingsWindowFixture.h"

#include "support/LogCapture.h"
#include "ui/windows/settings/SecuritySettingsTab.h"

#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

using Reply = DeviceAuth::Reply;

class SecuritySettingsTest final : public QObject {
    Q_OBJECT

    std::unique_ptr<SettingsWindowFixture> m_f;
    std::unique_ptr<SecuritySettingsTab> m_tab;

    void makeTab(bool withSecurityController)
    {
        m_tab.reset();
        m_f = std::make_unique<SettingsWindowFixture>(withSecurityController);
        m_tab = std::make_unique<SecuritySettingsTab>();
        m_tab->setContext(&m_f->context);
        m_f->settings().setRequirePasscode(true);
    }
    bool hasRawKey() const { return m_f->keychain.items.contains(KeyManager::rawKeyAccount); }

private slots:
    void init() { makeTab(true); }
    void cleanup()
    {
        m_tab.reset();
        m_f.reset();
    }

    void passcodeOff_data()
    {
        QTest::addColumn<bool>("securityController");
        QTest::addColumn<bool>("promptAvailable");
        QTest::addColumn<Reply>("answer");
        QTest::addColumn<bool>("required");
        QTest::addColumn<QStringList>("prompts");
        const auto error = [](DeviceAuthError::Code code) {
            return Reply(std::unexpected(DeviceAuthError {code, {}}));
        };
        const QStringList asked {u"turn off the Vantorell passcode"_s};
        QTest::newRow("cancelled") << true << true << error(DeviceAuthError::Code::userCancel) << true
                                   << asked;
        QTest::newRow("refused") << true << true << error(DeviceAuthError::Code::authenticationFailed) << true
                                 << asked;
        QTest::newRow("authenticated") << true << true << Reply(true) << false << asked;
        QTest::newRow("no prompt possible") << true << false << Reply(false) << false << QStringList();
        QTest::newRow("no security controller") << false << true << Reply(true) << true << QStringList();
    }

    void passcodeOff()
    {
        QFETCH(bool, securityController);
        QFETCH(bool, promptAvailable);
        QFETCH(Reply, answer);
        QFETCH(bool, required);
        QFETCH(QStringList, prompts);
        makeTab(securityController);
        m_f->deviceAuth.ownerAuthenticationAvailable = promptAvailable;
        m_f->deviceAuth.answer = answer;
        m_f->deviceAuth.answerFromAnotherThread = true;
        m_tab->setRequirePasscode(false);
        QCoreApplication::processEvents();
        QCOMPARE(m_f->deviceAuth.prompts, prompts);
        QCOMPARE(m_f->settings().requirePasscode(), required);
        // The raw key exists exactly while no passcode is required.
        QCOMPARE(hasRawKey(), !required);
    }

    // The answer arrives after the user switched sections or closed the
    // window: it still takes effect.
    void lateReplyOutlivesTheTab()
    {
        m_f->deviceAuth.answer = true;
        m_tab->setRequirePasscode(false);
        m_tab.reset();
        QTRY_VERIFY(!m_f->settings().requirePasscode());
        QVERIFY(hasRawKey());
    }

    void failedRawKeyWriteLeavesThePasscodeOff()
    {
        m_f->keychain.storeFailures.insert(KeyManager::rawKeyAccount, -25293);
        m_tab->setRequirePasscode(false);
        QTRY_VERIFY(!m_f->settings().requirePasscode());
        QVERIFY(!hasRawKey());
    }

    void passcodeOn_data()
    {
        QTest::addColumn<bool>("keychainAnswers");
        QTest::addColumn<bool>("rawKeyLeft");
        QTest::addColumn<QString>("logged");
        QTest::newRow("removed") << true << false
                                 << u"[Vantorell] Raw master key removed (passcode now required)"_s;
        QTest::newRow("keychain refuses")
            << false << true << u"[Vantorell] Raw master key could not be removed: locked"_s;
    }

    void passcodeOn()
    {
        QFETCH(bool, keychainAnswers);
        QFETCH(bool, rawKeyLeft);
        QFETCH(QString, logged);
        m_f->settings().setRequirePasscode(false);
        m_f->keychain.items.insert(KeyManager::rawKeyAccount, QByteArray(KeyManager::keySize, 'k'));
        if (!keychainAnswers)
            m_f->keychain.unavailable = KeychainError {-1, u"locked"_s};
        LogCapture log;
        m_tab->setRequirePasscode(true);
        QVERIFY(m_f->settings().requirePasscode());
        QVERIFY(m_f->deviceAuth.prompts.isEmpty());
        QCOMPARE(hasRawKey(), rawKeyLeft);
        QCOMPARE(log.lines(), QStringList {logged});
    }

    void touchIDErrorUntilTheNextChange()
    {
        m_f->settings().setUseBiometrics(false);
        m_tab->setUseBiometrics(true);
        QCOMPARE(m_tab->touchIDError(),
            u"Couldn't turn on fingerprint unlock: Biometric authentication not available"_s);
        QVERIFY(!m_f->settings().useBiometrics());
        QVERIFY(!m_f->keychain.items.contains(KeyManager::biometricKeyAccount));

        m_tab->setRequirePasscode(true);
        QVERIFY(!m_tab->touchIDError().isNull());
        m_tab->setUseBiometrics(false);
        QVERIFY(m_tab->touchIDError().isNull());
        QVERIFY(!m_f->settings().useBiometrics());
    }

    void touchIDEnabled_data()
    {
        QTest::addColumn<bool>("securityController");
        QTest::addColumn<bool>("biometrics");
        QTest::addColumn<bool>("requirePasscode");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("all three") << true << true << true << true;
        QTest::newRow("no biometrics, as on Linux") << true << false << true << false;
        QTest::newRow("passcode off") << true << true << false << false;
        QTest::newRow("no security controller") << false << true << true << false;
    }

    void touchIDEnabled()
    {
        QFETCH(bool, securityController);
        QFETCH(bool, biometrics);
        QFETCH(bool, requirePasscode);
        QFETCH(bool, enabled);
        makeTab(securityController);
        m_f->deviceAuth.biometricsAvailable = biometrics;
        m_f->settings().setRequirePasscode(requirePasscode);
        QCOMPARE(m_tab->touchIDEnabled(), enabled);
    }
};

QTEST_MAIN(SecuritySettingsTest)
#include "tst_securitysettings.moc"
