#include "app/AppStateController.h"
#include "crypto/EncryptionService.h"
#include "crypto/MasterKeyHolder.h"
#include "paste/AutoPaste.h"
#include "platform/linux/X11Pasteboard.h"
#include "platform/linux/X11Workspace.h"
#include "platform/linux/XTestKeySender.h"
#include "settings/SettingsManager.h"
#include "store/SecureStorageManager.h"
#include "store/SnippetManager.h"
#include "support/AwaitFuture.h"
#include "support/FakeAlerts.h"
#include "support/FakeDeviceAuth.h"
#include "support/FakeDockPresence.h"
#include "support/FakeLoginItem.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The whole road of a paste on the real desktop: the entry is opened, put on
// the X11 clipboard and typed into the window in front with XTest.
class PasteX11Test final : public QObject {
    Q_OBJECT

private slots:
    void pastesIntoTheWindowInFront()
    {
        QTemporaryDir home;
        qputenv("XDG_DATA_HOME", home.path().toUtf8());
        MasterKeyHolder key;
        key.set(SecureBytes(QByteArray(32, 'k')));
        EncryptionService encryption(key);
        SecureStorageManager store(encryption);
        SnippetManager snippets(store);
        FakeLoginItem loginItem;
        FakeDockPresence dock;
        SettingsManager settings(home.filePath(u"Vantorell.conf"_s), loginItem, dock);
        settings.setAutoPaste(true);
        X11Pasteboard pasteboard;
        X11Workspace workspace;
        XTestKeySender keySender;
        FakeDeviceAuth deviceAuth;
        FakeAlerts alerts;
        AutoPaste autoPaste(keySender, workspace, alerts);
        AppStateController state;
        state.configure(nullptr, store, snippets, nullptr, settings);
        state.configurePasting({encryption, pasteboard, workspace, deviceAuth, autoPaste, {}});

        QLineEdit edit;
        edit.show();
        edit.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&edit));
        QTRY_VERIFY(edit.hasFocus());
        state.previousActiveApp = workspace.frontmostApplication();
        QVERIFY(state.previousActiveApp);

        ClipboardEntry entry;
        entry.id = QUuid::createUuid();
        entry.encryptedContent = encryption.encrypt("pasted from history").value();
        state.revealAndPaste(entry);
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
