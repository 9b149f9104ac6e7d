#include "app/AppStateController.h"
#include "app/SecurityController.h"
#include "crypto/EncryptionService.h"
#include "crypto/KeyManager.h"
#include "crypto/MasterKeyHolder.h"
#include "paste/AutoPaste.h"
#include "paste/EntryTools.h"
#include "platform/PasteboardType.h"
#include "support/FakeAlerts.h"
#include "support/FakeClock.h"
#include "support/FakeDeviceAuth.h"
#include "support/FakeIdleTime.h"
#include "support/FakeKeySender.h"
#include "support/FakeKeychain.h"
#include "support/FakeMainQueue.h"
#include "support/FakePasteboard.h"
#include "support/FakeWorkspace.h"
#include "support/LogCapture.h"
#include "support/NoiseImage.h"
#include "support/StoreFixture.h"
#include "support/TestEntries.h"
#include "support/TestImages.h"
#include "tools/SettingsSnippetCounters.h"
#include "tools/TemplateExpander.h"

#include <QCoreApplication>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

using Posted = FakeKeySender::Posted;

const RunningApplication editor {u"org.example.Editor"_s, u"Editor"_s, 4242, 77};

QByteArray redPng()
{
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    return encodedImage(image);
}

} // namespace

class PasteControllerTest final : public QObject {
    Q_OBJECT

private:
    FakeClock m_clock;
    MasterKeyHolder m_key;
    EncryptionService m_encryption {m_key};
    FakeKeychain m_keychain;
    FakeDeviceAuth m_deviceAuth;
    FakeIdleTime m_idleTime;
    std::unique_ptr<StoreFixture> m_f;
    SecureStorageManager *m_store = nullptr;
    SettingsManager *m_settings = nullptr;
    std::unique_ptr<KeyManager> m_keyManager;
    std::unique_ptr<FakePasteboard> m_pasteboard;
    std::unique_ptr<FakeWorkspace> m_workspace;
    std::unique_ptr<FakeKeySender> m_keySender;
    std::unique_ptr<FakeAlerts> m_alerts;
    std::unique_ptr<FakeMainQueue> m_queue;
    std::unique_ptr<AutoPaste> m_autoPaste;
    std::unique_ptr<AppStateController> m_state;
    std::unique_ptr<SecurityController> m_security;
    QList<qint64> m_ownChanges;
    int m_dismissals = 0;
    std::optional<SettingsSnippetCounters> m_counters;
    std::optional<TemplateExpander> m_expander;
    // The fill-in dialog: how often it was shown, what it answers (none:
    // Cancel), whether the vault locks while it is open.
    int m_dialogs = 0;
    std::optional<PromptValues> m_typed;
    bool m_lockWhileAsking = false;

    ClipboardEntry entry(ContentType type, const QByteArray &content, bool sensitive = false) const
    {
        return sealedEntry(m_encryption, type, content, sensitive);
    }

    PasteController &paste() { return m_state->paste(); }

    void build(bool withSecurity)
    {
        m_state = std::make_unique<AppStateController>(m_clock, *m_queue);
        if (withSecurity) {
            m_security = std::make_unique<SecurityController>(
                *m_keyManager, *m_state, *m_settings, m_deviceAuth, m_idleTime, m_clock);
        }
        m_state->configure(nullptr, *m_store, m_f->snippets, m_security.get(), *m_settings);
        paste().configure({*m_pasteboard, *m_workspace, m_deviceAuth, *m_autoPaste,
            [this](qint64 changeCount) { m_ownChanges.append(changeCount); }});
        m_counters.emplace(*m_settings);
        m_expander.emplace(m_clock, *m_counters);
        paste().configureSnippetPaste(*m_expander, [this](const QStringList &) {
            ++m_dialogs;
            if (m_lockWhileAsking)
                m_state->setUnlocked(false);
            return m_typed;
        });
        connect(m_state.get(), &AppStateController::dismissPanel, this, [this] { ++m_dismissals; });
        m_state->setUnlocked(true);
        m_state->setShowQuickPicker(true);
        m_state->previousActiveApp = editor;
    }

    QStringList stackTexts() const
    {
        QStringList texts;
        for (const ClipboardEntry &stacked : m_state->pasteStack())
            texts.append(QString::fromUtf8(m_encryption.decrypt(stacked.encryptedContent).value()));
        return texts;
    }

    bool pasted() const { return m_dismissals > 0 || !m_state->showQuickPicker(); }

private slots:
    void initTestCase() { m_key.set(SecureBytes(QByteArray(32, 'k'))); }

    void init()
    {
        m_f = std::make_unique<StoreFixture>(m_encryption, m_clock);
        m_store = &m_f->store;
        m_settings = &m_f->settings;
        m_settings->setAutoPaste(true);
        m_keyManager = std::make_unique<KeyManager>(m_keychain, m_deviceAuth);
        m_pasteboard = std::make_unique<FakePasteboard>();
        m_pasteboard->copy(PasteboardItem::fromString(u"before"_s));
        m_workspace = std::make_unique<FakeWorkspace>();
        m_keySender = std::make_unique<FakeKeySender>();
        m_alerts = std::make_unique<FakeAlerts>();
        m_queue = std::make_unique<FakeMainQueue>();
        m_autoPaste = std::make_unique<AutoPaste>(*m_keySender, *m_workspace, *m_alerts, *m_queue);
        m_deviceAuth = FakeDeviceAuth();
        m_ownChanges.clear();
        m_dismissals = 0;
        m_dialogs = 0;
        build(true);
    }

    void cleanup()
    {
        m_security.reset();
        m_state.reset();
        m_autoPaste.reset();
        m_keyManager.reset();
        m_f.reset();
    }

    void writesEntryByKind_data()
    {
        QTest::addColumn<ContentType>("type");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("sensitive");
        QTest::addColumn<bool>("hasRich");
        // Empty: nothing may reach the pasteboard.
        QTest::addColumn<QStringList>("types");
        QTest::addColumn<QByteArray>("firstData");

        const QByteArray png = redPng();
        const QStringList string {PasteboardType::string};
        const QStringList concealedString {PasteboardType::string, PasteboardType::concealed};
        QTest::newRow("text") << ContentType::plainText << "héllo"_ba << false << false << string
                              << "héllo"_ba;
        QTest::newRow("sensitive text")
            << ContentType::plainText << "s3cret"_ba << true << false << concealedString << "s3cret"_ba;
        QTest::newRow("text not UTF-8")
            << ContentType::plainText << "\xff\xfe"_ba << false << false << QStringList() << QByteArray();
        QTest::newRow("rich text with its rich data, as its text")
            << ContentType::richText << "plain words"_ba << false << true << string << "plain words"_ba;
        QTest::newRow("rich text as RTF, as the document's text")
            << ContentType::richText << "{\\rtf1\\ansi Hello {\\b bold}\\par}"_ba << false << false << string
            << "Hello bold\n"_ba;
        QTest::newRow("rich text that is no document, as UTF-8")
            << ContentType::richText << "just text"_ba << false << false << string << "just text"_ba;
        QTest::newRow("png image") << ContentType::image << png << false << false
                                   << QStringList {PasteboardType::png} << png;
        QTest::newRow("image that does not decode")
            << ContentType::image << "not a picture"_ba << false << false << QStringList() << QByteArray();
        // Sniffed, it would be rendered, and an SVG may name local files.
        QTest::newRow("SVG") << ContentType::image
                             << "<svg xmlns='http://www.w3.org/2000/svg' width='8' height='6'/>"_ba << false
                             << false << QStringList() << QByteArray();
        QTest::newRow("files, empty lines dropped")
            << ContentType::fileURL << "/a\n\n/b\n"_ba << false << false
            << QStringList {PasteboardType::fileUrl} << "file:///a\r\nfile:///b\r\n"_ba;
        QTest::newRow("files, only line feeds")
            << ContentType::fileURL << "\n\n"_ba << true << false << QStringList() << QByteArray();
    }

    void writesEntryByKind()
    {
        QFETCH(ContentType, type);
        QFETCH(QByteArray, content);
        QFETCH(bool, sensitive);
        QFETCH(bool, hasRich);
        QFETCH(QStringList, types);
        QFETCH(QByteArray, firstData);

        ClipboardEntry made = entry(type, content, sensitive);
        if (hasRich)
            made.encryptedRich = m_encryption.encrypt("{\\rtf1 plain words}").value();
        paste().revealAndPaste(made);
        QCoreApplication::processEvents();
        m_queue->advance(1s);

        if (types.isEmpty()) {
            QVERIFY(m_pasteboard->writes().isEmpty());
            QCOMPARE(m_pasteboard->string(), u"before"_s);
            QVERIFY(m_ownChanges.isEmpty());
            QVERIFY(!pasted());
            QVERIFY(m_keySender->posted().isEmpty());
            return;
        }
        QCOMPARE(m_pasteboard->writes().size(), 1);
        QCOMPARE(m_pasteboard->contents().types(), types);
        QCOMPARE(m_pasteboard->contents().data(types.first()), firstData);
        if (sensitive)
            QCOMPARE(m_pasteboard->contents().data(PasteboardType::concealed), QByteArray());
        QCOMPARE(m_ownChanges, QList<qint64> {m_pasteboard->changeCount()});
        QVERIFY(pasted());
        QCOMPARE(m_keySender->posted(), QList<Posted> {{Posted::Kind::pasteChord}});
    }

    // Entries as the history holds them after a reload: large content and
    // rich text stay in the store until a paste, a copy or a tool reads them.
    void storedEntriesReachThePasteboard_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QByteArray>("written");

        const QByteArray longText = QByteArray("long ").repeated(400);
        const QByteArray picture = encodedImage(noiseImage(40, 30));
        const struct {
            const char *fixture;
            QByteArray written;
            QByteArray byTools;
        } fixtures[] = {
            {"short text", "short", "short"},
            {"long text", longText, longText.trimmed()},
            {"picture", picture, "seen in the picture"},
            // Rich text on record: the content is its text, never read as a document.
            {"rich text", "{\\rtf1 Hello}", "{\\rtf1 Hello}"},
            {"deleted meanwhile", {}, {}},
            {"locked and unlocked meanwhile", {}, {}},
            {"private session", longText, longText.trimmed()},
        };
        for (const auto &row : fixtures) {
            QTest::addRow("%s, paste", row.fixture) << row.fixture << u"paste"_s << row.written;
            QTest::addRow("%s, reveal", row.fixture) << row.fixture << u"reveal"_s << row.written;
            QTest::addRow("%s, entry tools", row.fixture) << row.fixture << u"tools"_s << row.byTools;
        }
    }

    void storedEntriesReachThePasteboard()
    {
        QFETCH(QString, fixture);
        QFETCH(QString, action);
        QFETCH(QByteArray, written);

        if (fixture == u"private session")
            awaitFuture(m_store->setSecureMode(true));
        ClipboardEntry whole = entry(ContentType::plainText, QByteArray("long ").repeated(400));
        if (fixture == u"short text")
            whole = entry(ContentType::plainText, "short");
        else if (fixture == u"picture")
            whole = entry(ContentType::image, encodedImage(noiseImage(40, 30)));
        else if (fixture == u"rich text")
            whole = entry(ContentType::richText, "{\\rtf1 Hello}");
        if (fixture == u"rich text")
            whole.encryptedRich = m_encryption.encrypt("{\\rtf1 Hello}").value();
        awaitFuture(m_store->insertEntry(whole));
        m_state->reloadEntries();
        m_f->settle();
        const ClipboardEntry shown = m_state->clipboardEntries().value(0);
        QCOMPARE(shown.id, whole.id);

        EntryTools tools(paste(), *m_state->entryContent(), *m_pasteboard, *m_alerts, [](const QByteArray &) {
            return QtFuture::makeReadyFuture(std::optional(u"seen in the picture"_s));
        });
        paste().configureEntryTools(tools);
        if (fixture == u"deleted meanwhile")
            (void)m_store->deleteEntry(whole.id);
        if (action == u"paste")
            paste().revealAndPaste(shown);
        else if (action == u"reveal")
            paste().reveal(shown);
        else if (shown.contentType == ContentType::image)
            paste().recognizeTextInEntry(shown, false);
        else
            paste().pasteTransformedEntry(shown, TextTransform::trim);
        if (fixture == u"locked and unlocked meanwhile") {
            m_key.drop();
            m_key.set(SecureBytes(QByteArray(32, 'k')));
        }
        m_f->settle();
        m_queue->advance(1s);

        const QList<PasteboardItem> writes = m_pasteboard->writes();
        QCOMPARE(writes.size(), written.isNull() ? 0 : 1);
        if (!written.isNull()) {
            const PasteboardItem &item = writes.first();
            QCOMPARE(item.data(item.types().first()), written);
        }
        QCOMPARE(pasted(), !written.isNull() && action != u"reveal");
    }

    // Views reach the entry tools through the paste controller, whose paste
    // they use.
    void entryToolsPasteThroughTheController()
    {
        paste().pasteTransformedText(u"  x  "_s, TextTransform::trim);
        QVERIFY(m_pasteboard->writes().isEmpty());

        EntryTools tools(paste(), *m_state->entryContent(), *m_pasteboard, *m_alerts);
        paste().configureEntryTools(tools);
        paste().pasteTransformedText(u"  x  "_s, TextTransform::trim);
        QCOMPARE(m_pasteboard->string(), u"x"_s);
        QCOMPARE(m_ownChanges, QList<qint64> {m_pasteboard->changeCount()});
        QVERIFY(pasted());
    }

    void damagedContentChangesNothing()
    {
        ClipboardEntry damaged = entry(ContentType::plainText, "text");
        damaged.encryptedContent[20] = char(damaged.encryptedContent[20] ^ 1);
        paste().revealAndPaste(damaged);
        m_queue->advance(1s);
        QVERIFY(m_pasteboard->writes().isEmpty());
        QVERIFY(!pasted());
        QVERIFY(m_keySender->posted().isEmpty());
    }

    void sensitiveEntryAsksTheOwner_data()
    {
        QTest::addColumn<bool>("available");
        QTest::addColumn<DeviceAuth::Reply>("answer");
        QTest::addColumn<bool>("fromAnotherThread");
        QTest::addColumn<bool>("prompted");
        QTest::addColumn<bool>("written");

        const DeviceAuth::Reply pamError
            = std::unexpected(DeviceAuthError {DeviceAuthError::Code::failed, u"PAM error"_s});
        QTest::newRow("authenticated") << true << DeviceAuth::Reply(true) << false << true << true;
        QTest::newRow("error during verification") << true << pamError << true << true << false;
        QTest::newRow("cannot be evaluated") << false << DeviceAuth::Reply(true) << false << false << false;
    }

    void sensitiveEntryAsksTheOwner()
    {
        QFETCH(bool, available);
        QFETCH(DeviceAuth::Reply, answer);
        QFETCH(bool, fromAnotherThread);
        QFETCH(bool, prompted);
        QFETCH(bool, written);

        m_deviceAuth.ownerAuthenticationAvailable = available;
        m_deviceAuth.answer = answer;
        m_deviceAuth.answerFromAnotherThread = fromAnotherThread;
        paste().revealAndPaste(entry(ContentType::plainText, "s3cret", true));
        QCoreApplication::processEvents();
        m_queue->advance(1s);

        QCOMPARE(m_deviceAuth.prompts,
            prompted ? QStringList {u"Reveal and paste this protected item"_s} : QStringList());
        QCOMPARE(m_pasteboard->writes().size(), written ? 1 : 0);
        QCOMPARE(m_pasteboard->hasType(PasteboardType::concealed), written);
        QCOMPARE(pasted(), written);
        QCOMPARE(m_keySender->posted().size(), written ? 1 : 0);
    }

    void sensitiveEntryWithoutSecurityDoesNothing()
    {
        m_security.reset();
        build(false);
        paste().revealAndPaste(entry(ContentType::plainText, "s3cret", true));
        QCoreApplication::processEvents();
        QVERIFY(m_deviceAuth.prompts.isEmpty());
        QVERIFY(m_pasteboard->writes().isEmpty());
        QVERIFY(!pasted());
    }

    void revealOnlyCopies()
    {
        paste().reveal(entry(ContentType::plainText, "s3cret", true));
        QCoreApplication::processEvents();
        paste().reveal(entry(ContentType::plainText, "open"));
        m_queue->advance(1s);
        QCOMPARE(m_deviceAuth.prompts, QStringList {u"Reveal this protected item"_s});
        QCOMPARE(m_pasteboard->writes().size(), 2);
        QCOMPARE(m_ownChanges.size(), 2);
        QVERIFY(!pasted());
        QVERIFY(m_workspace->activations().isEmpty());
        QVERIFY(m_keySender->posted().isEmpty());
    }

    void autoPasteOffOnlyBringsTheTargetBack()
    {
        m_settings->setAutoPaste(false);
        paste().pasteText(u"typed"_s);
        m_state->previousActiveApp.reset();
        QCOMPARE(m_workspace->activations(), QList<RunningApplication> {editor});
        m_queue->advance(1s);
        QCOMPARE(m_pasteboard->string(), u"typed"_s);
        QVERIFY(!m_pasteboard->hasType(PasteboardType::concealed));
        QCOMPARE(m_ownChanges, QList<qint64> {m_pasteboard->changeCount()});
        QCOMPARE(m_dismissals, 1);
        QVERIFY(m_keySender->posted().isEmpty());
    }

    void autoPasteTiming_data()
    {
        QTest::addColumn<qint64>("pid");
        QTest::addColumn<bool>("windowClosed");
        QTest::addColumn<bool>("activated");
        QTest::addColumn<int>("chordAtMs");

        QTest::newRow("another application") << qint64(4242) << false << true << 240;
        QTest::newRow("this application")
            << qint64(QCoreApplication::applicationPid()) << false << false << 220;
        QTest::newRow("closed window") << qint64(4242) << true << false << 220;
    }

    void autoPasteTiming()
    {
        QFETCH(qint64, pid);
        QFETCH(bool, windowClosed);
        QFETCH(bool, activated);
        QFETCH(int, chordAtMs);

        m_state->previousActiveApp->processIdentifier = pid;
        if (windowClosed)
            m_workspace->closeWindow(editor.window);
        paste().pasteText(u"typed"_s);
        // The target is taken when the paste finishes.
        m_state->previousActiveApp.reset();
        m_queue->advance(119ms);
        QVERIFY(m_workspace->activations().isEmpty());
        m_queue->advance(1ms);
        QCOMPARE(m_workspace->activations().size(), activated ? 1 : 0);
        m_queue->advance(std::chrono::milliseconds(chordAtMs - 121));
        QVERIFY(m_keySender->posted().isEmpty());
        m_queue->advance(1ms);
        QCOMPARE(m_keySender->posted(), QList<Posted> {{Posted::Kind::pasteChord}});
    }

    void missingPermissionAlertsOncePerRun()
    {
        m_keySender->setPermitted(false);
        LogCapture log;
        paste().pasteText(u"one"_s);
        m_queue->advance(1s);
        paste().pasteText(u"two"_s);
        m_queue->advance(1s);
        m_autoPaste->pasteNow();

        QCOMPARE(
            log.lines().count(u"[Vantorell] Accessibility permission not granted — cannot auto-paste"_s), 2);
        QCOMPARE(m_alerts->events.size(), 1);
        QCOMPARE(m_alerts->events.first(),
            u"Let Vantorell paste for you | The item is on your clipboard — press Ctrl+V to paste it.\n\nTo "
            u"paste automatically, the X server must offer its XTEST extension, which is on unless something "
            u"switched it off. Then log out and back in, and start Vantorell again. | How to Allow… | Not Now"_s);
        QCOMPARE(m_pasteboard->string(), u"two"_s);
        QVERIFY(m_workspace->activations().isEmpty());
    }

    // "Not Now" is missingPermissionAlertsOncePerRun's answer.
    void permissionAlertsFirstButtonShowsTheInstructions()
    {
        m_autoPaste->openAccessibilitySettings();
        const QString instructions = m_alerts->events.takeFirst();
        m_keySender->setPermitted(false);
        m_alerts->accept = true;
        paste().pasteText(u"one"_s);
        m_queue->advance(1s);
        QCOMPARE(m_alerts->events.size(), 2);
        QCOMPARE(m_alerts->events.last(), instructions);
    }

    void pasteStackTakesTextOnce()
    {
        const ClipboardEntry text = entry(ContentType::plainText, "one");
        paste().addToPasteStack(text);
        paste().addToPasteStack(entry(ContentType::richText, "two"));
        paste().addToPasteStack(text);
        paste().addToPasteStack(entry(ContentType::plainText, "secret", true));
        paste().addToPasteStack(entry(ContentType::image, redPng()));
        paste().addToPasteStack(entry(ContentType::fileURL, "/a"));
        QCOMPARE(stackTexts(), (QStringList {u"one"_s, u"two"_s}));
    }

    void pasteAllPacesTheStack()
    {
        ClipboardEntry damaged = entry(ContentType::plainText, "damaged");
        damaged.encryptedContent[20] = char(damaged.encryptedContent[20] ^ 1);
        for (const ClipboardEntry &stacked :
            {entry(ContentType::plainText, "one"), damaged, entry(ContentType::plainText, "\xff"),
                entry(ContentType::richText, "{\\rtf1 two}"), entry(ContentType::plainText, "three")})
            paste().addToPasteStack(stacked);
        paste().pasteAllFromStack();
        QCOMPARE(m_dismissals, 1);
        QCOMPARE(m_workspace->activations(), QList<RunningApplication> {editor});

        QStringList typed;
        for (const int at : {250, 600, 950}) {
            m_queue->advance(std::chrono::milliseconds(at - 1) - m_queue->now());
            QCOMPARE(m_keySender->posted().size(), typed.size());
            m_queue->advance(1ms);
            typed.append(*m_pasteboard->string());
            QCOMPARE(m_keySender->posted().size(), typed.size());
            QCOMPARE(m_ownChanges.last(), m_pasteboard->changeCount());
        }
        // A rich entry goes as the text it holds, never read as a document.
        QCOMPARE(typed, (QStringList {u"one"_s, u"{\\rtf1 two}"_s, u"three"_s}));
        m_queue->advance(1299ms - m_queue->now());
        QCOMPARE(m_state->pasteStack().size(), 5);
        m_queue->advance(1ms);
        QVERIFY(m_state->pasteStack().isEmpty());
    }

    void lockEndsPasteAll()
    {
        m_state->setUnlocked(true);
        paste().addToPasteStack(entry(ContentType::plainText, "one"));
        paste().addToPasteStack(entry(ContentType::plainText, "two"));
        paste().pasteAllFromStack();
        m_queue->advance(250ms);
        m_security->lockNow();
        QCoreApplication::processEvents();
        m_queue->advance(1s);
        // What was written stays: the pasteboard serves it as its owner.
        QCOMPARE(m_pasteboard->writes().size(), 1);
        QCOMPARE(m_keySender->posted().size(), 1);
    }

    void pasteAllWhileLockedOnlyEmptiesTheStack()
    {
        paste().pasteAllFromStack();
        QCOMPARE(m_dismissals, 0);

        paste().addToPasteStack(entry(ContentType::plainText, "one"));
        paste().addToPasteStack(entry(ContentType::plainText, "two"));
        m_key.drop();
        paste().pasteAllFromStack();
        m_key.set(SecureBytes(QByteArray(32, 'k')));
        m_queue->advance(249ms);
        QCOMPARE(m_state->pasteStack().size(), 2);
        m_queue->advance(1ms);
        QVERIFY(m_state->pasteStack().isEmpty());
        QVERIFY(m_pasteboard->writes().isEmpty());
        QVERIFY(m_keySender->posted().isEmpty());
    }

    void snippetPaste_data()
    {
        QTest::addColumn<QString>("content");
        // Of the dialog: "Insert", "Cancel", "Lock" (the vault locks while it
        // is open); empty when none may be shown.
        QTest::addColumn<QString>("ending");
        QTest::addColumn<PromptValues>("typed");
        QTest::addColumn<bool>("autoPaste");
        // Null: nothing may be written, pasted or counted.
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caretSteps");

        const PromptValues jo {{u"N"_s, u"Jo"_s}};
        QTest::newRow("the pasteboard's prompt filled")
            << u"{{clipboard}}{{cursor}}{{prompt:N}}"_s << u"Insert"_s << jo << true << u"JoJo"_s << 2;
        QTest::newRow("typed cursor, steps by character")
            << u"{{prompt:N}}AB{{cursor}}e\u0301"_s << u"Insert"_s << PromptValues {{u"N"_s, u"{{cursor}}"_s}}
            << true << u"ABe\u0301"_s << 3;
        QTest::newRow("auto-paste off only writes")
            << u"X{{cursor}}Y"_s << QString() << PromptValues() << false << u"XY"_s << 1;
        QTest::newRow("cancel") << u"{{prompt:N}}{{counter}}"_s << u"Cancel"_s << jo << true << QString()
                                << 0;
        QTest::newRow("locked while asking")
            << u"{{prompt:N}}{{counter}}"_s << u"Lock"_s << jo << true << QString() << 0;
    }

    void snippetPaste()
    {
        QFETCH(QString, content);
        QFETCH(QString, ending);
        QFETCH(PromptValues, typed);
        QFETCH(bool, autoPaste);
        QFETCH(QString, text);
        QFETCH(int, caretSteps);

        m_settings->setAutoPaste(autoPaste);
        m_typed = ending == u"Cancel" ? std::nullopt : std::optional(typed);
        m_lockWhileAsking = ending == u"Lock";
        const QString clipboard = u"{{prompt:N}}{{prompt:Other}}"_s;
        m_pasteboard->copy(PasteboardItem::fromString(clipboard));
        const Snippet snippet {.id = QUuid::createUuid(), .content = content};
        QVERIFY(awaitFuture(m_f->snippets.saveSnippet(snippet)));
        m_state->setUnlocked(true);
        paste().pasteSnippet(snippet);
        m_queue->advance(1s);

        const bool written = !text.isNull();
        QCOMPARE(m_dialogs, ending.isEmpty() ? 0 : 1);
        QCOMPARE(m_pasteboard->string(), written ? text : clipboard);
        QCOMPARE(m_ownChanges, written ? QList {m_pasteboard->changeCount()} : QList<qint64>());
        QCOMPARE(m_workspace->activations().size(), written && autoPaste ? 1 : 0);
        QList<Posted> keys;
        if (written && autoPaste)
            keys = {{Posted::Kind::pasteChord}, {Posted::Kind::caretLeft, caretSteps}};
        QCOMPARE(m_keySender->posted(), keys);
        QCOMPARE(m_settings->snippetCounter(u"default"_s), 0);
        // Counted after the paste, and the published list shows it.
        QTRY_COMPARE(m_state->snippets().value(0).usageCount, written ? 1 : 0);
        QCOMPARE(awaitFuture(m_store->fetchSnippets()).snippets.value(0).usageCount, written ? 1 : 0);
    }

    // A use that cannot be counted still refreshes the lists.
    void snippetsReloadedAfterAFailedCount()
    {
        m_state->setSnippets({Snippet {.id = QUuid::createUuid()}});
        awaitFuture(m_store->closeDatabase());
        paste().pasteSnippet(m_state->snippets().constFirst());
        QTRY_VERIFY(m_state->snippets().isEmpty());
    }
};

QTEST_MAIN(PasteControllerTest)
#include "tst_pastecontroller.moc"
