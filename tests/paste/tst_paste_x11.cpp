#include "app/AppStateController.h"
#include "crypto/EncryptionService.h"
#include "crypto/MasterKeyHolder.h"
#include "paste/AutoPaste.h"
#include "platform/linux/X11Pasteboard.h"
#include "platform/linux/X11Workspace.h"
#include "platform/linux/XTestKeySender.h"
#include "support/FakeAlerts.h"
#include "support/FakeDeviceAuth.h"
#include "support/StoreFixture.h"
#include "support/TestEntries.h"

#include <QLineEdit>
#include <QTest>

using namespace Qt::StringLiterals;

// The whole road of a paste on the real desktop: the entry is opened, put on
// the X11 clipboard and typed into the window in front with XTest.
class PasteX11Test final : public QObject {
    Q_OBJECT

private slots:
    void pastesIntoTheWindowInFront()
    {
        MasterKeyHolder key;
        key.set(SecureBytes(QByteArray(32, 'k')));
        EncryptionService encryption(key);
        StoreFixture fixture(encryption);
        fixture.settings.setAutoPaste(true);
        X11Pasteboard pasteboard;
        X11Workspace workspace;
        XTestKeySender keySender;
        FakeDeviceAuth deviceAuth;
        FakeAlerts alerts;
        AutoPaste autoPaste(keySender, workspace, alerts);
        AppStateController state;
        state.configure(nullptr, fixture.store, fixture.snippets, nullptr, fixture.settings);
        state.paste().configure({pasteboard, workspace, deviceAuth, autoPaste, {}});

        QLineEdit edit;
        edit.show();
        edit.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&edit));
        QTRY_VERIFY(edit.hasFocus());
        state.previousActiveApp = workspace.frontmostApplication();
        QVERIFY(state.previousActiveApp);

        state.paste().revealAndPaste(sealedEntry(encryption, ContentType::plainText, "pasted from history"));
        QTRY_COMPARE(edit.text(), u"pasted from history"_s);
        QCOMPARE(pasteboard.string(), u"pasted from history"_s);

        autoPaste.autoPaste(std::nullopt, 7);
        QTRY_COMPARE(edit.text(), u"pasted from historypasted from history"_s);
        QTRY_COMPARE(edit.cursorPosition(), edit.text().size() - 7);
        QVERIFY(alerts.events.isEmpty());
    }
};

QTEST_MAIN(PasteX11Test)
#include "tst_paste_x11.moc"
